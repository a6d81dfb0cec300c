#include "filelist/file_list.h"

#include <algorithm>
#include <new>
#include <utility>

#include "base/error.h"

namespace orvela {

long FileList::Count() const {
  return static_cast<long>(entries_.size());
}

void FileList::Check(long i) const {
  if (i < 0 || i >= Count()) throw ListIndexOutOfBounds(i);
}

const std::string& FileList::Path(long i) const {
  Check(i);
  return index_.Path(entries_[i].path);
}

void FileList::Replace(long i, std::string path) {
  Check(i);
  const PathIndex::Id old = entries_[i].path;
  entries_[i].path = index_.Acquire(std::move(path));
  index_.Release(old);
}

long FileList::Append(std::string path) {
  if (Full()) throw UnableToInsertLine();
  PathIndex::Id stored = PathIndex::kNone;
  try {
    stored = index_.Acquire(std::move(path));
    entries_.push_back({stored, false});
  } catch (const std::bad_alloc&) {
    if (stored != PathIndex::kNone) index_.Release(stored);
    throw UnableToInsertLine();
  }
  return Count() - 1;
}

bool FileList::Contains(std::string_view path) const {
  return index_.Lookup(path) != PathIndex::kNone;
}

long FileList::Find(std::string_view path) const {
  const PathIndex::Id id = index_.Lookup(path);
  if (id == PathIndex::kNone) return -1;
  // Present: equal entries share the path's id, so compare ids, not text.
  for (long i = 0; i < Count(); ++i)
    if (entries_[i].path == id) return i;
  return -1;
}

bool FileList::AddUnlessPresent(std::string path) {
  if (Contains(path)) return false;
  Append(std::move(path));
  return true;
}

void FileList::Delete(long i) {
  Check(i);
  index_.Release(entries_[i].path);
  entries_.erase(entries_.begin() + i);
  if (current_ > i) --current_;
}

void FileList::Clear() {
  entries_.clear();
  index_.Clear();
  current_ = 0;
}

bool FileList::Selected(long i) const {
  Check(i);
  return entries_[i].selected;
}

void FileList::SetSelected(long i, bool selected) {
  Check(i);
  entries_[i].selected = selected;
}

long FileList::Current() const {
  if (entries_.empty()) return -1;
  return std::clamp(current_, 0L, Count() - 1);
}

void FileList::SetCurrent(long i) {
  current_ = std::max(i, 0L);
}

// Exchanges two neighbours, the selected one taking its selection along: the same
// result as replacing both paths and setting both flags.
void FileList::Swap(long upper, long lower, bool upperSelected) {
  std::swap(entries_[upper].path, entries_[lower].path);
  entries_[upper].selected = upperSelected;
  entries_[lower].selected = !upperSelected;
}

void FileList::MoveUp() {
  for (long i = 1; i < Count(); ++i)
    if (entries_[i].selected && !entries_[i - 1].selected) Swap(i - 1, i, true);
}

void FileList::MoveDown() {
  for (long i = Count() - 2; i >= 0; --i)
    if (entries_[i].selected && !entries_[i + 1].selected) Swap(i, i + 1, false);
}

void FileList::RemoveSelected() {
  // One pass keeps what deleting from the last entry to the first would keep.
  long kept = 0;
  long removedAboveCurrent = 0;
  for (long i = 0; i < Count(); ++i) {
    if (entries_[i].selected) {
      index_.Release(entries_[i].path);
      if (i < current_) ++removedAboveCurrent;
    } else {
      entries_[kept++] = entries_[i];
    }
  }
  entries_.resize(kept);
  current_ -= removedAboveCurrent;
}

}  // namespace orvela
