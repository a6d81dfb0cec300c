// The directory search the folder scans run over: one folder's entries with their
// attribute flags, filtered by an attribute mask.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace orvela {

inline constexpr int faReadOnly = 1;
inline constexpr int faHidden = 2;
inline constexpr int faSysFile = 4;
inline constexpr int faVolumeID = 8;
inline constexpr int faDirectory = 16;
inline constexpr int faArchive = 32;

// One delivered entry: its name without any folder part, and its flags.
struct SearchRec {
  std::string Name;
  int Attr = 0;
};

// An entry is skipped when it holds any of hidden, system, volume label or directory
// that the mask does not hold; other flags never cause a skip.
inline bool PassesEntryFilter(int attr, int mask) {
  return (attr & (faHidden | faSysFile | faVolumeID | faDirectory) & ~mask) == 0;
}

// Device and inode: what makes a folder the same folder whatever the path to it.
using FolderId = std::pair<std::uint64_t, std::uint64_t>;

// One search at a time per object.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;

  // Starts a search on pattern, a folder path followed by "*.*" (every name in that
  // folder). False when the folder cannot be listed or no entry passes the filter.
  virtual bool FindFirst(const std::string& pattern, int mask, SearchRec& rec) = 0;
  // The next delivered entry; false at the end.
  virtual bool FindNext(SearchRec& rec) = 0;
  // Releases the search.
  virtual void FindClose() = 0;
  // The identity of folder (a path ending with "/"), or nothing when it cannot be read.
  virtual std::optional<FolderId> Identify(const std::string& folder) = 0;
};

}  // namespace orvela
