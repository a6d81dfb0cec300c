#include "folders/folder_scan.h"

#include <set>
#include <vector>

namespace orvela {

namespace {

constexpr int kFlatMask = faReadOnly | faArchive;                                      // 33
constexpr int kFolderMask = faDirectory;                                               // 16
constexpr int kFileMask = faReadOnly | faHidden | faSysFile | faVolumeID | faArchive;  // 47

// Closes the search however the pass ends (an error from addUnlessPresent included).
class SearchScope {
 public:
  explicit SearchScope(DirectorySearch& search) : search_(search) {}
  ~SearchScope() { search_.FindClose(); }
  SearchScope(const SearchScope&) = delete;
  SearchScope& operator=(const SearchScope&) = delete;

 private:
  DirectorySearch& search_;
};

void AddIfListed(const std::string& dir, const SearchRec& rec, const ScanCallbacks& callbacks) {
  if (callbacks.isListedType(CandidatePattern(rec.Name)))
    callbacks.addUnlessPresent(dir + rec.Name);
}

void IndexFolder(DirectorySearch& search, const std::string& dir, const ScanCallbacks& callbacks,
                 std::set<FolderId>& entered) {
  if (auto id = search.Identify(dir); id && !entered.insert(*id).second) return;

  std::vector<std::string> subfolders;
  {
    SearchScope scope(search);
    SearchRec rec;
    for (bool found = search.FindFirst(dir + "*.*", kFolderMask, rec); found;
         found = search.FindNext(rec)) {
      if (CurrentIsValidDir(rec) == 1) subfolders.push_back(rec.Name);
      callbacks.letEventsRun();
    }
  }
  {
    SearchScope scope(search);
    SearchRec rec;
    for (bool found = search.FindFirst(dir + "*.*", kFileMask, rec); found;
         found = search.FindNext(rec)) {
      if (CurrentIsValidDir(rec) == 0) AddIfListed(dir, rec, callbacks);
      callbacks.letEventsRun();
    }
  }
  for (const std::string& name : subfolders)
    IndexFolder(search, dir + name + "/", callbacks, entered);
}

}  // namespace

std::string CandidatePattern(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  std::string pattern = "*";
  if (dot != std::string_view::npos) pattern += name.substr(dot);
  return pattern;
}

int CurrentIsValidDir(const SearchRec& rec) {
  if (rec.Name == "." || rec.Name == "..") return 2;
  return (rec.Attr & faDirectory) ? 1 : 0;
}

std::string WithFinalSeparator(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

void FlatScan(DirectorySearch& search, const std::string& dir, const ScanCallbacks& callbacks) {
  SearchScope scope(search);
  SearchRec rec;
  for (bool found = search.FindFirst(dir + "*.*", kFlatMask, rec); found;
       found = search.FindNext(rec))
    AddIfListed(dir, rec, callbacks);
}

void IndexDisk(DirectorySearch& search, const std::string& dir, const ScanCallbacks& callbacks) {
  std::set<FolderId> entered;
  IndexFolder(search, dir, callbacks, entered);
}

}  // namespace orvela
