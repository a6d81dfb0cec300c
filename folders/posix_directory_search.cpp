#include "folders/posix_directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace orvela {

namespace {

constexpr std::string_view kEveryName = "*.*";

// Flags that decide the entry filter; read-only is added only for delivered entries.
int FilterFlags(int dirFd, const dirent& entry) {
  const std::string_view name = entry.d_name;
  int attr = 0;
  if (name.front() == '.' && name != "." && name != "..") attr |= faHidden;
  unsigned char type = entry.d_type;
  if (type != DT_DIR && type != DT_REG) {
    // Links, and file systems that do not report the type: follow to the target.
    struct stat st;
    if (::fstatat(dirFd, entry.d_name, &st, 0) != 0)
      type = DT_UNKNOWN;
    else if (S_ISDIR(st.st_mode))
      type = DT_DIR;
    else if (S_ISREG(st.st_mode))
      type = DT_REG;
    else
      type = DT_UNKNOWN;
  }
  if (type == DT_DIR)
    attr |= faDirectory;
  else if (type != DT_REG)
    attr |= faSysFile;
  return attr;
}

}  // namespace

bool PosixDirectorySearch::FindFirst(const std::string& pattern, int mask, SearchRec& rec) {
  FindClose();
  std::string folder = pattern;
  if (std::string_view(folder).ends_with(kEveryName)) folder.resize(folder.size() - 3);
  if (folder.empty()) return false;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return false;
  const int dirFd = ::dirfd(dir);
  for (;;) {
    const dirent* entry = ::readdir(dir);
    // An error ends the listing like its end: what was read until then is used.
    if (!entry) break;
    int attr = FilterFlags(dirFd, *entry);
    if (!PassesEntryFilter(attr, mask)) continue;
    if (readOnlyFlag_ && ::faccessat(dirFd, entry->d_name, W_OK, AT_EACCESS) != 0)
      attr |= faReadOnly;
    entries_.push_back({entry->d_name, attr});
  }
  ::closedir(dir);
  return FindNext(rec);
}

bool PosixDirectorySearch::FindNext(SearchRec& rec) {
  if (next_ >= entries_.size()) return false;
  rec = std::move(entries_[next_++]);
  return true;
}

void PosixDirectorySearch::FindClose() {
  entries_.clear();
  next_ = 0;
}

std::optional<FolderId> PosixDirectorySearch::Identify(const std::string& folder) {
  struct stat st;
  if (folder.empty() || ::stat(folder.c_str(), &st) != 0) return std::nullopt;
  return FolderId{st.st_dev, st.st_ino};
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace orvela
