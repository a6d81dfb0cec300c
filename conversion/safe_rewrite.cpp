#include "conversion/safe_rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "base/error.h"
#include "base/unique_fd.h"
#include "base/whole_file.h"

namespace orvela {

namespace {

struct WriteFault {
  std::optional<std::size_t> afterBytes;
  std::string onlyPath;
} writeFault;

// How many bytes of new content may be written before a simulated full disk.
using WriteLimit = std::size_t;
constexpr WriteLimit kNoLimit = SIZE_MAX;

void WriteAll(int fd, std::string_view data, WriteLimit limit) {
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t chunk = std::min<std::size_t>(data.size() - done, 1u << 30);
    if (done >= limit) throw StreamWriteError();
    chunk = std::min(chunk, limit - done);
    ssize_t n = ::pwrite(fd, data.data() + done, chunk, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw StreamWriteError();  // 0 would repeat for ever
    done += static_cast<std::size_t>(n);
  }
}

// The file a path names once every symbolic link is followed.
std::string Resolve(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  if (!real) throw CannotCreateFile(path);
  return real.get();
}

// A file with other names: only writing into it keeps them all. Its old text is kept in
// memory to be put back should writing fail, and space is reserved first where the file
// system can, so that a full disk is met before anything is overwritten.
void RewriteInPlace(int fd, const std::string& path, const std::string& target,
                    std::string_view bytes, WriteLimit limit) {
  const std::optional<std::string> old = ReadWholeFile(target).bytes;
  if (!old) throw CannotOpenFile(path);
  if (!bytes.empty() &&
      ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
      (errno == ENOSPC || errno == EDQUOT))
    throw StreamWriteError();
  try {
    WriteAll(fd, bytes, limit);
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0)
      throw StreamWriteError();
  } catch (...) {
    try {
      WriteAll(fd, *old, kNoLimit);
      if (::ftruncate(fd, static_cast<off_t>(old->size())) == 0) ::fsync(fd);
    } catch (...) {
      // Nothing more can be done; the error that brought us here is reported.
    }
    throw;
  }
}

void SyncFolder(const std::string& folder) {
  UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

// Gives the new file the old one's owner and group; false when this user may not, as with
// another user's file that the user may write, or a group the user is not in.
bool TakeOwner(int fd, const struct stat& st) {
  if (::fchown(fd, st.st_uid, st.st_gid) == 0) return true;
  struct stat now;
  return ::fstat(fd, &now) == 0 && now.st_uid == st.st_uid && now.st_gid == st.st_gid;
}

// False, with nothing written, when the file's owner could not be kept.
bool RewriteThroughTemporary(const struct stat& st, const std::string& path,
                             const std::string& target, std::string_view bytes, WriteLimit limit) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = target.substr(0, slash + 1);
  // Keep the temporary name within NAME_MAX whatever the file's own name.
  std::string temp = folder + "." + target.substr(slash + 1, 200) + ".orvela-XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.valid()) throw CannotCreateFile(path);
  try {
    // Owner first: changing it clears set-user-ID bits that fchmod then restores.
    if (!TakeOwner(fd.get(), st)) {
      fd.Close();
      ::unlink(temp.c_str());
      return false;
    }
    if (::fchmod(fd.get(), st.st_mode & 07777) != 0) throw CannotCreateFile(path);
    WriteAll(fd.get(), bytes, limit);
    if (::fsync(fd.get()) != 0 || !fd.Close()) throw StreamWriteError();
    if (::rename(temp.c_str(), target.c_str()) != 0) throw CannotCreateFile(path);
  } catch (...) {
    fd.Close();
    ::unlink(temp.c_str());
    throw;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace

void FailWritesAfterForTesting(std::optional<std::size_t> bytes, std::string onlyPath) {
  writeFault = {bytes, std::move(onlyPath)};
}

void SafeRewrite(const std::string& path, std::string_view bytes) {
  const WriteLimit limit = writeFault.onlyPath.empty() || writeFault.onlyPath == path
                               ? writeFault.afterBytes.value_or(kNoLimit)
                               : kNoLimit;
  const std::string target = Resolve(path);
  // Opening for writing asks the system itself whether this user may write the file.
  UniqueFd fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) throw CannotCreateFile(path);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) throw CannotCreateFile(path);
  if (st.st_nlink > 1 || !RewriteThroughTemporary(st, path, target, bytes, limit))
    RewriteInPlace(fd.get(), path, target, bytes, limit);
}

}  // namespace orvela
