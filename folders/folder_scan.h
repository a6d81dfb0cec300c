// The folder scans of the folder import, as plain logic over a directory search and
// three callbacks. Folder paths end with "/".
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "folders/directory_search.h"

namespace orvela {

struct ScanCallbacks {
  // The file-type list's membership test, asked anew for every entry.
  std::function<bool(const std::string& pattern)> isListedType;
  // The file list's add-unless-present rule.
  std::function<void(const std::string& path)> addUnlessPresent;
  // Lets pending user-interface events run (the recursive scan only).
  std::function<void()> letEventsRun;
};

// "*" followed by the extension (from the last "." on); "*" alone without a ".".
std::string CandidatePattern(std::string_view name);

// 0 for an ordinary entry, 1 for a subfolder, 2 for "." and "..".
int CurrentIsValidDir(const SearchRec& rec);

// The path as a scan takes it: a final "/" appended when missing ("/" stays "/").
std::string WithFinalSeparator(std::string path);

// The chosen folder alone: entries that are neither folders nor hidden nor system.
void FlatScan(DirectorySearch& search, const std::string& dir, const ScanCallbacks& callbacks);

// The chosen folder and every folder below it: each folder's files before its
// subfolders', subfolders in listing order; hidden and system folders are not
// entered; a folder already entered in this scan (through a link) is not entered
// again. Pending events run after every entry either pass receives.
void IndexDisk(DirectorySearch& search, const std::string& dir, const ScanCallbacks& callbacks);

}  // namespace orvela
