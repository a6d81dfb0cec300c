#include "base/safe_rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/error.h"
#include "base/unique_fd.h"

namespace orvela {

namespace {

struct WriteFault {
  std::optional<std::size_t> afterBytes;
  std::string onlyPath;
} writeFault;

std::function<void(RewriteStep, const std::string&)> rewriteHook;

void Step(RewriteStep step, const std::string& name) {
  if (rewriteHook) rewriteHook(step, name);
}

// How many bytes of new content may be written before a simulated full disk.
using WriteLimit = std::size_t;
constexpr WriteLimit kNoLimit = SIZE_MAX;

// Names beside the file, within NAME_MAX whatever the file's own name (a long name is cut and
// told apart by its hash). A later run over the same file knows them: the new text is removed,
// the recovery copy is kept and reported.
std::string Stem(const std::string& name) {
  if (name.size() <= 200) return "." + name;
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016zx", std::hash<std::string>{}(name));
  return "." + name.substr(0, 180) + "~" + hash;
}
std::string NewTextName(const std::string& name) {
  return Stem(name) + ".orvela-new";
}
std::string RecoveryName(const std::string& name) {
  return Stem(name) + ".orvela-recovery";
}

// The per-user cache folder as the XDG rule gives it, for recovery copies that cannot lie
// beside their file. Empty when there is none.
std::string CacheRecoveryFolder() {
  std::string base;
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else if (home && home[0]) {
    base = std::string(home) + "/.cache";
  } else {
    return {};
  }
  return base + "/orvela/recovery";
}
// In the cache, a copy is known by the file's device and inode, whatever name it was listed by.
std::string CacheKey(const struct stat& st) {
  return std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
}

// Writes data at the start of fd; the fault hook may stop it early as a full disk would.
void WriteAll(int fd, std::string_view data, std::size_t offset, WriteLimit limit,
              const std::string& shown) {
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t chunk = std::min<std::size_t>(data.size() - done, 1u << 30);
    if (offset + done >= limit) throw CannotCreateFile(shown, ENOSPC);
    chunk = std::min(chunk, limit - offset - done);
    ssize_t n = ::pwrite(fd, data.data() + done, chunk, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw CannotCreateFile(shown, errno);
    if (n == 0) throw CannotCreateFile(shown, ENOSPC);  // 0 would repeat for ever
    done += static_cast<std::size_t>(n);
  }
}

// Copies the whole of `from` to the start of `to`; the number of bytes copied, or -1 (errno).
long long CopyAll(int from, int to) {
  std::vector<char> buffer(1 << 20);
  off_t at = 0;
  for (;;) {
    ssize_t n = ::pread(from, buffer.data(), buffer.size(), at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) return at;
    for (ssize_t put = 0; put < n;) {
      ssize_t m = ::pwrite(to, buffer.data() + put, static_cast<std::size_t>(n - put), at + put);
      if (m < 0 && errno == EINTR) continue;
      if (m <= 0) {
        if (m == 0) errno = ENOSPC;
        return -1;
      }
      put += m;
    }
    at += n;
  }
}

void SyncFolder(int folder) {
  UniqueFd dir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

bool SameState(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mode == b.st_mode && a.st_uid == b.st_uid && a.st_gid == b.st_gid &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The name still leads to the file that was read, through no link, and the file is as read;
// fd (open on it) is that file too.
void CheckUnchanged(const FileAt& file, int fd) {
  struct stat byName, opened;
  if (::fstatat(file.folder.get(), file.name.c_str(), &byName, AT_SYMLINK_NOFOLLOW) != 0 ||
      ::fstat(fd, &opened) != 0 || !SameState(byName, file.st) || !SameState(opened, file.st))
    throw ReplacedOrChanged();
}

// A new, empty file in folder: without a name (O_TMPFILE) where the file system allows, so
// that a crash leaves nothing; else under tempName, replacing a leftover of an earlier run.
struct NewFile {
  UniqueFd fd;
  bool named = false;
};
std::optional<NewFile> CreateIn(int folder, const std::string& tempName, mode_t mode) {
  UniqueFd fd(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
  if (fd.valid()) return NewFile{std::move(fd), false};
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return std::nullopt;
  for (int attempt = 0; attempt < 2; ++attempt) {
    fd = UniqueFd(::openat(folder, tempName.c_str(),
                           O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.valid()) return NewFile{std::move(fd), true};
    if (errno != EEXIST) return std::nullopt;
    ::unlinkat(folder, tempName.c_str(), 0);
  }
  return std::nullopt;
}

// Gives the new file `name` in folder, never replacing what is there; false with errno.
bool Publish(NewFile& file, int folder, const std::string& tempName, const std::string& name) {
  if (file.named) {
    if (::linkat(folder, tempName.c_str(), folder, name.c_str(), 0) != 0) return false;
    ::unlinkat(folder, tempName.c_str(), 0);
    return true;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(file.fd.get());
  if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == EEXIST) return false;
  return ::linkat(file.fd.get(), "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Gives the new file the old one's owner and group; false when this user may not, as with
// another user's file that the user may write, or a group the user is not in.
bool TakeOwner(int fd, const struct stat& st) {
  if (::fchown(fd, st.st_uid, st.st_gid) == 0) return true;
  struct stat now;
  return ::fstat(fd, &now) == 0 && now.st_uid == st.st_uid && now.st_gid == st.st_gid;
}

bool FolderTakesNoFiles(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

// Puts the new text under the file's name. Where the file system can, the two names are
// exchanged and what came out is checked: a name swapped or a file changed since the last
// check is exchanged back, so the race window is closed, not narrowed. Rename does not change a
// file's modification time, so all but the change time must still match.
void ReplaceName(const FileAt& file, const std::string& tempName, const std::string& shown) {
  const int folder = file.folder.get();
  if (::renameat2(folder, tempName.c_str(), folder, file.name.c_str(), RENAME_EXCHANGE) != 0) {
    if (errno == ENOENT) throw ReplacedOrChanged();
    if (errno != EINVAL && errno != ENOSYS) throw CannotCreateFile(shown, errno);
    if (::renameat(folder, tempName.c_str(), folder, file.name.c_str()) != 0)
      throw CannotCreateFile(shown, errno);
    return;
  }
  struct stat out;
  if (::fstatat(folder, tempName.c_str(), &out, AT_SYMLINK_NOFOLLOW) != 0) out = {};
  out.st_ctim = file.st.st_ctim;
  if (!SameState(out, file.st)) {
    ::renameat2(folder, tempName.c_str(), folder, file.name.c_str(), RENAME_EXCHANGE);
    throw ReplacedOrChanged();  // the caller removes the new text
  }
  ::unlinkat(folder, tempName.c_str(), 0);  // the original, now replaced
}

// What a first, read-only pass of text decides, and how long the new text is.
struct Decision {
  std::optional<std::string> keep;  // the reason to keep the old text
  std::size_t size = 0;
};
Decision Decide(NewText& text, int from) {
  Decision d;
  d.keep = text.Make(from, [&](std::string_view piece) { d.size += piece.size(); });
  return d;
}

// Writes the pieces put to fd one after the other from offset 0, starting the disk's work on
// them as they come, so that the final flush finds little left to do.
class PieceWriter {
 public:
  PieceWriter(int fd, WriteLimit limit, const std::string& shown)
      : fd_(fd), limit_(limit), shown_(shown) {}
  void Put(std::string_view piece) {
    WriteAll(fd_, piece, at_, limit_, shown_);
    at_ += piece.size();
    if (at_ - started_ >= kWriteBack) {
      ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(at_ - started_),
                        SYNC_FILE_RANGE_WRITE);
      started_ = at_;
    }
  }
  std::size_t Size() const { return at_; }

 private:
  static constexpr std::size_t kWriteBack = 8 << 20;
  int fd_;
  WriteLimit limit_;
  const std::string& shown_;
  std::size_t at_ = 0, started_ = 0;
};

// Replaces the file by a new one holding the new text. Nothing, with nothing written, when the
// new file cannot keep the old one's owner or the folder takes no new files.
std::optional<std::optional<std::string>> RewriteThroughNewFile(const FileAt& file, int readFd,
                                                                int writeFd, NewText& text,
                                                                const std::string& shown,
                                                                WriteLimit limit) {
  const int folder = file.folder.get();
  const std::string tempName = NewTextName(file.name);
  std::optional<NewFile> created = CreateIn(folder, tempName, 0600);
  if (!created) {
    if (FolderTakesNoFiles(errno)) return std::nullopt;
    throw CannotCreateFile(shown, errno);
  }
  NewFile& temp = *created;
  bool hasTempName = temp.named;
  try {
    // Owner first: changing it clears set-user-ID bits that fchmod then restores.
    if (!TakeOwner(temp.fd.get(), file.st)) {
      temp.fd.Close();
      if (hasTempName) ::unlinkat(folder, tempName.c_str(), 0);
      return std::nullopt;
    }
    PieceWriter writer(temp.fd.get(), limit, shown);
    if (std::optional<std::string> keep =
            text.Make(readFd, [&](std::string_view piece) { writer.Put(piece); })) {
      temp.fd.Close();
      if (hasTempName) ::unlinkat(folder, tempName.c_str(), 0);
      return keep;
    }
    // After writing: a write by a user without CAP_FSETID clears the set-group-ID bit.
    if (::fchmod(temp.fd.get(), file.st.st_mode & 07777) != 0) throw CannotCreateFile(shown, errno);
    if (::fsync(temp.fd.get()) != 0) throw CannotCreateFile(shown, errno);
    Step(RewriteStep::kNewTextFlushed, file.name);
    if (!hasTempName) {
      if (!Publish(temp, folder, tempName, tempName)) {
        if (errno != EEXIST) throw CannotCreateFile(shown, errno);
        ::unlinkat(folder, tempName.c_str(), 0);  // left by an interrupted run
        if (!Publish(temp, folder, tempName, tempName)) throw CannotCreateFile(shown, errno);
      }
      hasTempName = true;
    }
    // A delayed write error (quota, network file system) shows only at close.
    if (!temp.fd.Close()) throw CannotCreateFile(shown, errno);
    Step(RewriteStep::kNewTextNamed, file.name);
    CheckUnchanged(file, writeFd);
    Step(RewriteStep::kChecked, file.name);
    ReplaceName(file, tempName, shown);
  } catch (...) {
    temp.fd.Close();
    if (hasTempName) ::unlinkat(folder, tempName.c_str(), 0);
    throw;
  }
  SyncFolder(folder);
  return std::optional<std::string>();
}

// A complete, flushed copy of the original, under a name that the next run finds. It is kept
// open, so that putting the original back reads the copy made, whatever the name leads to then.
struct Recovery {
  UniqueFd folder;
  std::string name;
  UniqueFd copy;

  void Remove() {
    if (!folder.valid()) return;
    ::unlinkat(folder.get(), name.c_str(), 0);
    SyncFolder(folder.get());
    folder.Close();
  }
};

// Copies the original into folder under name; nothing (errno set) when it cannot.
std::optional<UniqueFd> WriteRecoveryCopy(int original, int folder, const std::string& tempName,
                                          const std::string& name, off_t size) {
  std::optional<NewFile> copy = CreateIn(folder, tempName, 0600);
  if (!copy) return std::nullopt;
  int error = 0;
  const long long copied = CopyAll(original, copy->fd.get());
  if (copied < 0) {
    error = errno;
  } else if (copied != size) {
    error = EAGAIN;  // the file changed while it was copied: reported as such
  } else if (::fsync(copy->fd.get()) != 0 || !Publish(*copy, folder, tempName, name)) {
    error = errno;
  }
  if (copy->named) ::unlinkat(folder, tempName.c_str(), 0);
  if (error) {
    errno = error;
    return std::nullopt;
  }
  SyncFolder(folder);
  return std::move(copy->fd);
}

Recovery MakeRecoveryCopy(const FileAt& file, const std::string& shown) {
  UniqueFd original(::openat(file.folder.get(), file.name.c_str(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!original.valid()) throw CannotOpenFile(shown, errno);
  CheckUnchanged(file, original.get());
  Recovery recovery;
  if (std::optional<UniqueFd> copy =
          WriteRecoveryCopy(original.get(), file.folder.get(), NewTextName(file.name),
                            RecoveryName(file.name), file.st.st_size)) {
    recovery.folder = UniqueFd(::fcntl(file.folder.get(), F_DUPFD_CLOEXEC, 0));
    recovery.name = RecoveryName(file.name);
    recovery.copy = std::move(*copy);
    return recovery;
  }
  if (errno == EAGAIN) throw ReplacedOrChanged();
  if (!FolderTakesNoFiles(errno)) throw CannotCreateFile(shown, errno);
  // The file's own folder takes no new files: the per-user cache folder keeps the copy.
  const std::string cache = CacheRecoveryFolder();
  if (cache.empty()) throw CannotCreateFile(shown, ENOENT);
  for (std::size_t slash = cache.find('/', 1);; slash = cache.find('/', slash + 1)) {
    ::mkdir(cache.substr(0, slash).c_str(), 0700);
    if (slash == std::string::npos) break;
  }
  UniqueFd folder(::open(cache.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) throw CannotCreateFile(shown, errno);
  const std::string key = CacheKey(file.st);
  std::optional<UniqueFd> copy =
      WriteRecoveryCopy(original.get(), folder.get(), key + ".new", key, file.st.st_size);
  if (!copy && errno == EAGAIN) throw ReplacedOrChanged();
  if (!copy) throw CannotCreateFile(shown, errno);
  recovery.folder = std::move(folder);
  recovery.name = key;
  recovery.copy = std::move(*copy);
  return recovery;
}

// Writes the new text over the file itself, so that it keeps its inode, names and owner. A
// first pass decides before anything is written; the second reads the recovery copy, which
// holds the original until the new text is flushed; a failed write puts the original back.
std::optional<std::string> RewriteInPlace(const FileAt& file, int readFd, int fd, NewText& text,
                                          const std::string& shown, WriteLimit limit) {
  const Decision decision = Decide(text, readFd);
  if (decision.keep) return decision.keep;
  Recovery recovery = MakeRecoveryCopy(file, shown);
  Step(RewriteStep::kRecoveryFlushed, file.name);
  try {
    CheckUnchanged(file, fd);
    // Space is reserved first where the file system can, so that a full disk is met before
    // anything is overwritten.
    if (decision.size > 0 &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(decision.size)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT))
      throw CannotCreateFile(shown, errno);
  } catch (...) {
    recovery.Remove();
    throw;
  }
  try {
    PieceWriter writer(fd, limit, shown);
    bool half = false;
    auto put = [&](std::string_view piece) {
      if (half) return writer.Put(piece);
      writer.Put(piece.substr(0, piece.size() / 2));
      Step(RewriteStep::kHalfWritten, file.name);
      half = true;
      writer.Put(piece.substr(piece.size() / 2));
    };
    // The copy holds what the first pass read, so the text made is the same.
    if (text.Make(recovery.copy.get(), put)) throw ReplacedOrChanged();
    if (!half) Step(RewriteStep::kHalfWritten, file.name);
    if (::ftruncate(fd, static_cast<off_t>(writer.Size())) != 0)
      throw CannotCreateFile(shown, errno);
    // Writing may have cleared a set-group-ID bit; the owner may set it again.
    ::fchmod(fd, file.st.st_mode & 07777);
    if (::fsync(fd) != 0) throw CannotCreateFile(shown, errno);
  } catch (...) {
    const bool restored = CopyAll(recovery.copy.get(), fd) == file.st.st_size &&
                          ::ftruncate(fd, file.st.st_size) == 0;
    if (restored) ::fchmod(fd, file.st.st_mode & 07777);
    if (restored && ::fsync(fd) == 0) recovery.Remove();
    // Otherwise the recovery copy stays, and the next run names it.
    throw;
  }
  Step(RewriteStep::kWrittenInPlace, file.name);
  recovery.Remove();
  return std::nullopt;
}

WriteLimit LimitFor(const std::string& shown) {
  return writeFault.onlyPath.empty() || writeFault.onlyPath == shown
             ? writeFault.afterBytes.value_or(kNoLimit)
             : kNoLimit;
}

// Creates a missing file with bytes, never replacing one that appeared meanwhile.
void CreateFile(const std::string& path, std::string_view bytes) {
  const std::size_t slash = path.rfind('/');
  const std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  UniqueFd folder(::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) throw CannotCreateFile(path, errno);
  const std::string tempName = NewTextName(name);
  std::optional<NewFile> created = CreateIn(folder.get(), tempName, 0666);
  if (!created) throw CannotCreateFile(path, errno);
  try {
    WriteAll(created->fd.get(), bytes, 0, LimitFor(path), path);
    if (::fsync(created->fd.get()) != 0 || !Publish(*created, folder.get(), tempName, name))
      throw CannotCreateFile(path, errno);
    created->named = false;  // Publish removed the temporary name
  } catch (...) {
    if (created->named) ::unlinkat(folder.get(), tempName.c_str(), 0);
    throw;
  }
  if (!created->fd.Close()) throw CannotCreateFile(path, errno);
  SyncFolder(folder.get());
}

}  // namespace

void FailWritesAfterForTesting(std::optional<std::size_t> bytes, std::string onlyPath) {
  writeFault = {bytes, std::move(onlyPath)};
}

void SetRewriteHookForTesting(std::function<void(RewriteStep, const std::string&)> hook) {
  rewriteHook = std::move(hook);
}

std::optional<std::string> SafeRewrite(const FileAt& file, NewText& text,
                                       const std::string& shownPath) {
  const WriteLimit limit = LimitFor(shownPath);
  Step(RewriteStep::kStart, file.name);
  // The old text is read through a descriptor of its own, checked to be the file as read.
  auto openToRead = [&] {
    UniqueFd readFd(::openat(file.folder.get(), file.name.c_str(),
                             O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!readFd.valid()) throw ReplacedOrChanged();
    CheckUnchanged(file, readFd.get());
    return readFd;
  };
  // Opening for writing asks the system itself whether this user may write the file. The name
  // is not followed if it has become a link, and opening changes nothing of the file.
  UniqueFd fd(::openat(file.folder.get(), file.name.c_str(),
                       O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) {
    if (errno == ELOOP || errno == ENOENT) throw ReplacedOrChanged();
    const int error = errno;
    // A file left as it is needs no writing, so it is no error that it may not be written.
    if (S_ISREG(file.st.st_mode))
      if (std::optional<std::string> keep = Decide(text, openToRead().get()).keep) return keep;
    throw CannotCreateFile(shownPath, error);
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) throw CannotCreateFile(shownPath, errno);
  if (!S_ISREG(st.st_mode)) {
    if (S_ISREG(file.st.st_mode)) throw ReplacedOrChanged();
    throw CannotCreateFile(shownPath, EINVAL);
  }
  CheckUnchanged(file, fd.get());
  const UniqueFd readFd = openToRead();
  if (st.st_nlink == 1)
    if (std::optional<std::optional<std::string>> done =
            RewriteThroughNewFile(file, readFd.get(), fd.get(), text, shownPath, limit))
      return *done;
  return RewriteInPlace(file, readFd.get(), fd.get(), text, shownPath, limit);
}

void SafeRewrite(const FileAt& file, std::string_view bytes, const std::string& shownPath) {
  struct Bytes : NewText {
    std::string_view bytes;
    std::optional<std::string> Make(int, const Put& put) override {
      put(bytes);
      return std::nullopt;
    }
  } text;
  text.bytes = bytes;
  SafeRewrite(file, text, shownPath);
}

void SaveFile(const std::string& path, std::string_view bytes) {
  std::optional<FileAt> at = LocateFile(path);
  if (!at && errno == ENOENT) return CreateFile(path, bytes);
  if (!at) throw CannotCreateFile(path, errno);
  try {
    SafeRewrite(*at, bytes, path);
  } catch (const ReplacedOrChanged&) {
    throw CannotCreateFile(path, EAGAIN);  // another process is writing it
  }
}

std::optional<std::string> RecoveryCopyOf(const FileAt& file) {
  struct stat st;
  const std::string beside = RecoveryName(file.name);
  if (::fstatat(file.folder.get(), beside.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    return file.folderShown + beside;
  const std::string cache = CacheRecoveryFolder();
  const std::string inCache = cache + "/" + CacheKey(file.st);
  if (!cache.empty() && ::lstat(inCache.c_str(), &st) == 0) return inCache;
  return std::nullopt;
}

void RemoveLeftoverOf(const FileAt& file) {
  const std::string name = NewTextName(file.name);
  struct stat st;
  if (::fstatat(file.folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(st.st_mode))
    ::unlinkat(file.folder.get(), name.c_str(), 0);
}

}  // namespace orvela
