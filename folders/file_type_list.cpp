#include "folders/file_type_list.h"

#include <algorithm>

namespace orvela {

namespace {
char LowerByte(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}
}  // namespace

std::string AsciiLower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), LowerByte);
  return result;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerByte(x) == LowerByte(y);
         });
}

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
