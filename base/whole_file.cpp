#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

namespace orvela {

std::string ReadFailureReason(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return "文件不存在";
    case EACCES:
    case EPERM:
      return "没有读取权限";
    case ELOOP:
      return "符号链接循环";
    case ENOMEM:
      return std::string("内存不足，无法读入（") + std::strerror(error) + "）";
    default:
      return std::string("无法读取（") + std::strerror(error) + "）";
  }
}

namespace {

std::string ReasonFor(int error) {
  return ReadFailureReason(error);
}

WholeFile Refused(std::string why) {
  WholeFile refused;
  refused.whyNot = std::move(why);
  return refused;
}

// "a/b/c" gives "a/b/" and "c"; a name without a folder gives "" and itself.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::optional<std::string> ReadLinkAt(int folder, const std::string& name, std::size_t hint) {
  std::string target(hint + 1, '\0');
  for (;;) {
    ssize_t n = ::readlinkat(folder, name.c_str(), target.data(), target.size());
    if (n < 0) return std::nullopt;
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

}  // namespace

std::optional<FileAt> LocateFile(const std::string& path) {
  if (path.empty()) {
    errno = ENOENT;
    return std::nullopt;
  }
  auto [folderPath, name] = SplitPath(path);
  FileAt at;
  // O_PATH: a folder the user may search but not list is still a folder to work in.
  at.folder = UniqueFd(
      ::open(folderPath.empty() ? "." : folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!at.folder.valid()) return std::nullopt;
  at.folderShown = folderPath;
  for (int hops = 0;; ++hops) {
    if (name.empty()) name.push_back('.');  // "a/" names the folder a itself
    if (::fstatat(at.folder.get(), name.c_str(), &at.st, AT_SYMLINK_NOFOLLOW) != 0)
      return std::nullopt;
    if (!S_ISLNK(at.st.st_mode)) break;
    if (hops == 40) {
      errno = ELOOP;
      return std::nullopt;
    }
    std::optional<std::string> target =
        ReadLinkAt(at.folder.get(), name, static_cast<std::size_t>(at.st.st_size));
    if (!target) return std::nullopt;
    auto [targetFolder, targetName] = SplitPath(*target);
    if (!targetFolder.empty()) {
      const bool absolute = targetFolder[0] == '/';
      UniqueFd next(::openat(absolute ? AT_FDCWD : at.folder.get(), targetFolder.c_str(),
                             O_PATH | O_DIRECTORY | O_CLOEXEC));
      if (!next.valid()) return std::nullopt;
      at.folder = std::move(next);
      at.folderShown = absolute ? targetFolder : at.folderShown + targetFolder;
    }
    name = targetName;
  }
  if (::fstat(at.folder.get(), &at.folderStat) != 0) return std::nullopt;
  at.name = name;
  return at;
}

OpenedFile OpenListedFile(const std::string& path,
                          const std::function<std::string(const FileAt&)>& refuse) {
  OpenedFile opened;
  auto refused = [&](std::string why) {
    opened.fd.Close();
    opened.whyNot = std::move(why);
    return std::move(opened);
  };
  std::optional<FileAt> at = LocateFile(path);
  if (!at) return refused(ReasonFor(errno));
  // O_NONBLOCK so that opening a FIFO does not wait for a writer; it is refused below.
  // O_NOFOLLOW: the name was found not to be a link; if it is one now, it is not followed.
  opened.fd = UniqueFd(::openat(at->folder.get(), at->name.c_str(),
                                O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
  if (!opened.fd.valid()) return refused(ReasonFor(errno));
  if (::fstat(opened.fd.get(), &at->st) != 0) return refused(ReasonFor(errno));
  if (!S_ISREG(at->st.st_mode))
    return refused(S_ISDIR(at->st.st_mode) ? "是文件夹" : "不是普通文件");
  if (refuse) {
    std::string why = refuse(*at);
    if (!why.empty()) return refused(std::move(why));
  }
  opened.at = std::move(*at);
  return opened;
}

WholeFile ReadWholeFile(const std::string& path,
                        const std::function<std::string(const FileAt&)>& refuse) {
  OpenedFile opened = OpenListedFile(path, refuse);
  if (!opened.fd.valid()) return Refused(std::move(opened.whyNot));
  UniqueFd& fd = opened.fd;
  std::optional<FileAt> at(std::move(opened.at));

  // The size is a hint: the file is read until its end, whatever its size turns out to be.
  // One spare byte lets the read that meets the end find it without growing the buffer.
  std::string bytes;
  std::size_t have = 0;
  try {
    bytes.resize(static_cast<std::size_t>(at->st.st_size) + 1);
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
  } catch (const std::bad_alloc&) {
    return Refused(ReasonFor(ENOMEM));
  } catch (const std::length_error&) {
    return Refused(ReasonFor(ENOMEM));
  }
  bytes.resize(have);
  const dev_t device = at->st.st_dev;
  const ino_t inode = at->st.st_ino;
  return {std::move(bytes), {}, device, inode, std::move(*at)};
}

}  // namespace orvela
