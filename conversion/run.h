// The conversion run over a list of files.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "conversion/modes.h"
#include "conversion/piece_converter.h"

namespace orvela {

struct LeftAlone {
  std::string path;
  std::string reason;  // why the file was not rewritten
};

// The reason given for a file listed again, under the same or another name.
inline constexpr const char* kSameFileAsBefore = "与前面列出的文件是同一个文件";

struct RunReport {
  std::vector<LeftAlone> leftAlone;
  std::size_t converted = 0;            // files done: rewritten, or already as converted
  std::vector<std::string> notReached;  // when the run was stopped: the files after it
};

// Where a run has got to: the file being converted (its index, from 0, and path) and the bytes
// read of all the listed files.
struct RunProgress {
  std::size_t file = 0, files = 0;
  std::string path = {};
  std::uint64_t bytesDone = 0, bytesTotal = 0;
  bool fileStarts = false;  // the file is about to be read
};

struct RunOptions {
  bool alterCharsetTag = true;  // the charset tag step of the two GB2312/Big5 modes
  CharMapping mapping = CharMapping::kPhrases;
  bool checkEncoding = true;  // leave alone a file not in the mode's source code page
  PieceLimits pieces = {};
  // Called at the start of each file and after each piece read, on the run's thread.
  std::function<void(const RunProgress&)> progress = {};
  // Set from any thread: the run stops before the next file; the file being written is
  // finished.
  const std::atomic<bool>* stop = nullptr;
};

// Converts every path in order, in place, each file at most once, in pieces of bounded size. A file
// that cannot be read, is not text, was listed before, was replaced or changed during the run, or
// has a recovery copy left by an interrupted run, or (when checked) is not text in the mode's
// source code page is left alone and reported; one whose converted bytes equal its bytes is not
// written. Throws Error("Cannot create file <path>: <reason>") when a file may not be written; the
// files before it stay converted, it and the rest are untouched.
RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        const RunOptions& options);

// "编码转换完成！" and, when files were left alone, how many were converted and how many
// not; for a stopped run, "编码转换已停止" and how many files were converted.
std::string CompletionSummary(const RunReport& report);

// "以下文件未改动：" and a line per file left alone with its reason, then for a stopped run
// "以下文件未转换：" and the files not reached; empty when there is neither. With
// displayNames the paths are decoded for showing, else they are the bytes listed.
std::string CompletionDetails(const RunReport& report, bool displayNames);

// The summary and, after an empty line, the details.
std::string CompletionMessage(const RunReport& report);

}  // namespace orvela
