#include "folders/type_list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/error.h"

namespace orvela {

namespace {

std::optional<std::size_t> writeLimit;

// Closes the descriptor when the scope ends, whatever happens.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int Release() {
    int released = fd;
    fd = -1;
    return released;
  }
};

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
  // O_NONBLOCK: a FIFO in the file's place must not hold up start-up waiting for a
  // writer; only a regular file is read (a device could deliver without end).
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
  struct stat st;
  if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string content;
  char buffer[4096];
  for (;;) {
    ssize_t got = ::read(file.fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return ParseTypeList(content);
}

void WriteTypeListFile(const std::string& path, const std::vector<std::string>& entries) {
  // O_NONBLOCK: a FIFO in the file's place fails at once instead of holding up the close.
  Descriptor file{
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666)};
  if (file.fd < 0) throw CannotCreateFile(path);
  const std::string text = FormatTypeList(entries);
  std::size_t done = 0;
  while (done < text.size()) {
    std::size_t room = text.size() - done;
    if (writeLimit) room = done < *writeLimit ? std::min(room, *writeLimit - done) : 0;
    ssize_t put = room == 0 ? 0 : ::write(file.fd, text.data() + done, room);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw StreamWriteError();
    done += static_cast<std::size_t>(put);
  }
  // A delayed write error (quota, network file system) shows only at close.
  if (::close(file.Release()) != 0) throw StreamWriteError();
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
