#include "folders/type_list_file.h"

#include <unistd.h>

#include <cerrno>

#include "base/error.h"
#include "base/safe_rewrite.h"
#include "base/whole_file.h"

namespace orvela {

std::vector<std::string> ParseTypeList(std::string_view content) {
  content = content.substr(0, content.find('\0'));
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = content.size();
    lines.emplace_back(content.substr(pos, end - pos));
    pos = end;
    if (pos == content.size()) break;
    // CR LF is one line end; a lone CR or a lone LF is one too.
    pos += content.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
  }
  return lines;
}

std::string FormatTypeList(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& entry : entries) {
    text += entry;
    text += "\r\n";
  }
  return text;
}

std::optional<std::vector<std::string>> ReadTypeListFile(const std::string& path) {
  // Only a regular file is read: a FIFO in the file's place must not hold up start-up,
  // and a device could deliver without end.
  const WholeFile file = ReadWholeFile(path);
  if (!file.bytes) return std::nullopt;
  return ParseTypeList(*file.bytes);
}

void WriteTypeListFile(const std::string& path, const std::vector<std::string>& entries) {
  const std::string text = FormatTypeList(entries);
  // Written whole beside the old list and renamed over it: a full disk or a crash keeps one.
  SaveFile(path, text);
}

std::string ChooseTypeListPath(const std::string& exeDir, const std::string& configDir) {
  const std::string besideExe = exeDir + "/" + kTypeListFileName;
  if (::access(besideExe.c_str(), F_OK) == 0 || ::access(exeDir.c_str(), W_OK) == 0)
    return besideExe;
  return configDir + "/" + kTypeListFileName;
}

void SetTypeListWriteLimitForTest(std::optional<std::size_t> limit) {
  FailWritesAfterForTesting(limit);
}

}  // namespace orvela
