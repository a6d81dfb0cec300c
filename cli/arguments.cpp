#include "cli/arguments.h"

namespace orvela::cli {

const char* const kUsage =
    "Usage: orvela-convert --mode MODE [--no-charset-tag] [--by-char] [--force] [--quiet] FILE...\n"
    "       orvela-convert --mode MODE [--by-char] [--force] -\n"
    "       orvela-convert --help\n"
    "\n"
    "Converts each FILE in place, in the order given. With '-' converts standard input\n"
    "to standard output (the charset tag is never touched there).\n"
    "\n"
    "MODE is one of (the captions of the window's six modes):\n"
    "  gb2gbk    简体中文GB2312转换为GBK码繁体中文\n"
    "  gbk2gb    GBK码繁体中文转达换为简体中文GB2312\n"
    "  gb2big5   简体中文GB2312转换为Big5码繁体中文\n"
    "  big52gb   Big5码繁体中文转换为简体中文GB2312\n"
    "  big52gbk  Big5码繁体中文转换为GBK码繁体中文\n"
    "  gbk2big5  GBK码繁体中文转换为Big5码繁体中文\n"
    "\n"
    "In the four modes that change the code page, the charset a web page declares in its\n"
    "head (META or XML declaration) is changed to match, unless --no-charset-tag is given.\n"
    "\n"
    "Simplified and traditional characters are converted by phrase, as OpenCC's s2tw\n"
    "and tw2s do (头发 -> 頭髮, 皇后 stays 皇后); --by-char maps each character on its\n"
    "own, whatever its neighbours.\n"
    "\n"
    "A file that is not text in the mode's source code page (GBK for gb2gbk, gbk2gb,\n"
    "gb2big5 and gbk2big5; Big5 for big52gb and big52gbk) is left alone with the reason:\n"
    "invalid byte sequences, a UTF-8, UTF-16 or UTF-32 byte-order mark, UTF-8 text, or\n"
    "text of the other code page (a file converted already). --force converts it all\n"
    "the same. With '-' a refused input gives its reason and no output, status 1.\n"
    "\n"
    "Files are read, converted and written a piece at a time, whatever their size. When\n"
    "standard error is a terminal and the run lasts more than a second, one line there\n"
    "shows the files and megabytes done and the rate; --quiet turns it off.\n"
    "\n"
    "Exit status: 0 when every FILE was converted (or needed no change); 1 when any FILE\n"
    "was left alone (a missing file, a folder, a refused file: each is listed with its\n"
    "reason) or the run stopped on an error; 2 for bad usage, such as a repeated --mode.\n";

namespace {
Arguments Bad(std::string problem) {
  Arguments bad;
  bad.problem = std::move(problem);
  return bad;
}
}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  std::string modeName;
  bool haveMode = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      parsed.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      parsed.action = Action::kHelp;
      return parsed;
    } else if (arg == "--no-charset-tag") {
      parsed.alterCharsetTag = false;
    } else if (arg == "--by-char") {
      parsed.mapping = CharMapping::kByCharacter;
    } else if (arg == "--force") {
      parsed.force = true;
    } else if (arg == "--quiet") {
      parsed.quiet = true;
    } else if (arg == "--mode" || arg.starts_with("--mode=")) {
      if (haveMode) return Bad("--mode given more than once");
      if (arg == "--mode") {
        if (i + 1 == args.size()) return Bad("--mode needs a MODE");
        modeName = args[++i];
      } else {
        modeName = arg.substr(7);
      }
      haveMode = true;
    } else {
      return Bad("unknown option '" + arg + "'");
    }
  }
  if (!haveMode) return Bad("no --mode given");
  std::optional<ConversionMode> mode = ModeFromName(modeName);
  if (!mode) return Bad("unknown mode '" + modeName + "'");
  parsed.mode = *mode;
  if (parsed.files.empty()) return Bad("no FILE given");
  bool filter = false;
  for (const std::string& file : parsed.files) filter |= file == "-";
  if (filter && parsed.files.size() > 1) return Bad("'-' cannot be combined with files");
  parsed.action = filter ? Action::kFilter : Action::kConvertFiles;
  return parsed;
}

}  // namespace orvela::cli
