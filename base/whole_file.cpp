#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/unique_fd.h"

namespace orvela {

namespace {

std::string ReasonFor(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return "文件不存在";
    case EACCES:
    case EPERM:
      return "没有读取权限";
    case ELOOP:
      return "符号链接循环";
    default:
      return std::string("无法读取（") + std::strerror(error) + "）";
  }
}

WholeFile Refused(std::string why) {
  return {std::nullopt, std::move(why)};
}

}  // namespace

WholeFile ReadWholeFile(const std::string& path) {
  // O_NONBLOCK so that opening a FIFO does not wait for a writer; it is refused below.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) return Refused(ReasonFor(errno));
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return Refused(ReasonFor(errno));
  if (!S_ISREG(st.st_mode)) return Refused(S_ISDIR(st.st_mode) ? "是文件夹" : "不是普通文件");

  // The size is a hint: the file is read until its end, whatever its size turns out to be.
  // One spare byte lets the read that meets the end find it without growing the buffer.
  std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Refused(ReasonFor(errno));
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  return {std::move(bytes), {}, st.st_dev, st.st_ino};
}

}  // namespace orvela
