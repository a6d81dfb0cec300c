// The directory search on POSIX. Flags: hidden = the name begins with "." (not "."
// or ".."); system = neither a regular file nor a folder (devices, FIFOs, sockets,
// dangling links); directory = a folder or a link to one; read-only = not writable by
// the user; volume label = never.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "folders/directory_search.h"

namespace orvela {

class PosixDirectorySearch final : public DirectorySearch {
 public:
  // The read-only flag costs one access check per delivered entry, and neither the
  // entry filter nor the scans look at it: the folder import leaves it out.
  explicit PosixDirectorySearch(bool readOnlyFlag = true) : readOnlyFlag_(readOnlyFlag) {}

  bool FindFirst(const std::string& pattern, int mask, SearchRec& rec) override;
  bool FindNext(SearchRec& rec) override;
  void FindClose() override;
  std::optional<FolderId> Identify(const std::string& folder) override;

 private:
  // FindFirst reads the whole listing and closes the folder at once, so no folder
  // stays open while a caller works through the entries or descends.
  std::vector<SearchRec> entries_;
  std::size_t next_ = 0;
  bool readOnlyFlag_;
};

// True only for an existing folder (a link to one included); false for "".
bool FolderExists(const std::string& path);

}  // namespace orvela
