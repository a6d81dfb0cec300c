#include "folders/type_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/error.h"
#include "base/unique_fd.h"
#include "base/whole_file.h"

namespace orvela {

namespace {

std::optional<std::size_t> writeLimit;

}  // namespace

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
  // O_NONBLOCK: a FIFO in the file's place fails at once instead of holding up the close.
  UniqueFd file(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
  if (!file.valid()) throw CannotCreateFile(path);
  const std::string text = FormatTypeList(entries);
  std::size_t done = 0;
  while (done < text.size()) {
    std::size_t room = text.size() - done;
    if (writeLimit) room = done < *writeLimit ? std::min(room, *writeLimit - done) : 0;
    ssize_t put = room == 0 ? 0 : ::write(file.get(), text.data() + done, room);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw StreamWriteError();
    done += static_cast<std::size_t>(put);
  }
  // A delayed write error (quota, network file system) shows only at close.
  if (!file.Close()) throw StreamWriteError();
}

std::string ChooseTypeListPath(const std::string& exeDir, const std::string& configDir) {
  const std::string besideExe = exeDir + "/" + kTypeListFileName;
  if (::access(besideExe.c_str(), F_OK) == 0 || ::access(exeDir.c_str(), W_OK) == 0)
    return besideExe;
  return configDir + "/" + kTypeListFileName;
}

void SetTypeListWriteLimitForTest(std::optional<std::size_t> limit) {
  writeLimit = limit;
}

}  // namespace orvela
