#include "folders/file_type_list.h"

#include <algorithm>

#include "base/ascii_case.h"

namespace orvela {

const std::vector<std::string>& FileTypeList::Defaults() {
  static const std::vector<std::string> defaults{"*.txt", "*.log", "*.htm", "*.html", "*.ini",
                                                 "*.asp", "*.php", "*.jsp", "*.aspx", "*.cpp"};
  return defaults;
}

FileTypeList::FileTypeList() : entries_(Defaults()) {}

bool FileTypeList::Contains(std::string_view pattern) const {
  return std::any_of(entries_.begin(), entries_.end(), [pattern](const std::string& entry) {
    return EqualIgnoringAsciiCase(entry, pattern);
  });
}

bool FileTypeList::Add(std::string_view typed) {
  std::string pattern = AsciiLower(typed);
  if (Contains(pattern)) return false;
  entries_.push_back(std::move(pattern));
  return true;
}

void FileTypeList::Delete(std::size_t index) {
  if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<long>(index));
}

}  // namespace orvela
