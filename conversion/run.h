// The conversion run over a list of files.
#pragma once

#include <string>
#include <vector>

#include "conversion/modes.h"

namespace orvela {

struct LeftAlone {
  std::string path;
  std::string reason;  // why the file was not rewritten
};

// The reason given for a file listed again, under the same or another name.
inline constexpr const char* kSameFileAsBefore = "与前面列出的文件是同一个文件";

struct RunReport {
  std::size_t listed = 0;  // paths handed to the run
  std::vector<LeftAlone> leftAlone;
};

struct RunOptions {
  bool alterCharsetTag = true;  // the charset tag step of the two GB2312/Big5 modes
  CharMapping mapping = CharMapping::kPhrases;
  bool checkEncoding = true;  // leave alone a file not in the mode's source code page
};

// Converts every path in order, in place, each file at most once. A file that cannot be read,
// is not text, was listed before, was replaced or changed during the run, or has a recovery
// copy left by an interrupted run, or (when checked) is not text in the mode's source code
// page is left alone and reported; one whose converted bytes equal
// its bytes is not written. Throws Error("Cannot create file <path>: <reason>") when a file may
// not be written; the files before it stay converted, it and the rest are untouched.
RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        const RunOptions& options);

// "编码转换完成！" and, when files were left alone, how many were converted and how many not.
std::string CompletionSummary(const RunReport& report);

// "以下文件未改动：" and a line per file left alone with its reason; empty when none was.
// With displayNames the paths are decoded for showing, else they are the bytes listed.
std::string LeftAloneList(const RunReport& report, bool displayNames);

// The summary and, after an empty line, the list.
std::string CompletionMessage(const RunReport& report);

}  // namespace orvela
