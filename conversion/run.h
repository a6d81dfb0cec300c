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

struct RunReport {
  std::vector<LeftAlone> leftAlone;
};

// Converts every path in order, in place. Throws Error("Cannot create file <path>")
// when a file may not be written; the files before it stay converted, it and the
// rest are untouched.
RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        bool alterCharsetTag, CharMapping mapping = CharMapping::kPhrases);

// "编码转换完成！" followed by one line per file left alone, with its reason.
std::string CompletionMessage(const RunReport& report);

}  // namespace orvela
