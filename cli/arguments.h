// The command line of orvela-convert.
#pragma once

#include <string>
#include <vector>

#include "conversion/modes.h"

namespace orvela::cli {

enum class Action { kHelp, kConvertFiles, kFilter, kBadUsage };

struct Arguments {
  Action action = Action::kBadUsage;
  ConversionMode mode = ConversionMode::RbGB2GBK;
  bool alterCharsetTag = true;
  CharMapping mapping = CharMapping::kPhrases;
  bool force = false;  // convert without the encoding check
  bool quiet = false;  // no progress line on a terminal
  std::vector<std::string> files;
  std::string problem;  // what is wrong, for kBadUsage
};

Arguments ParseArguments(const std::vector<std::string>& args);  // without the program name

extern const char* const kUsage;

}  // namespace orvela::cli
