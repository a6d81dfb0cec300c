// The file list: ordered paths (byte strings) with selection flags and a current item.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "filelist/path_index.h"

namespace orvela {

class FileList {
 public:
  // The most entries a list takes; the list view counts rows in int.
  static constexpr long kDefaultMaxCount = 0x7fffffff;

  // maxCount below the default lets a caller (or a test) bound the list.
  explicit FileList(long maxCount = kDefaultMaxCount) : maxCount_(maxCount) {}
  FileList(const FileList&) = delete;
  FileList& operator=(const FileList&) = delete;

  long Count() const;
  const std::string& Path(long i) const;  // throws ListIndexOutOfBounds(i)
  void Replace(long i, std::string path);
  long Append(std::string path);            // index of the new entry; throws UnableToInsertLine
  long Find(std::string_view path) const;   // first equal entry or -1
  bool AddUnlessPresent(std::string path);  // true when appended
  void Delete(long i);
  void Clear();
  bool Selected(long i) const;
  void SetSelected(long i, bool selected);
  long Current() const;  // -1 when the list is empty
  void SetCurrent(long i);

  // Commands.
  void MoveUp();
  void MoveDown();
  void RemoveSelected();

  // Whether some entry equals path; O(1) through the index.
  bool Contains(std::string_view path) const;
  // Whether an Append would fail with "Unable to insert a line".
  bool Full() const { return Count() >= maxCount_; }
  // Bounds the list (tests use it to make an append fail).
  void SetMaxCount(long maxCount) { maxCount_ = maxCount; }

 private:
  // Paths compare exactly: on Linux two names that differ in letter case are two files.
  struct Entry {
    PathIndex::Id path;
    bool selected;
  };

  void Check(long i) const;
  void Swap(long upper, long lower, bool upperSelected);

  PathIndex index_;
  std::vector<Entry> entries_;
  long current_ = 0;
  long maxCount_;
};

}  // namespace orvela
