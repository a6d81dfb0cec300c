// The file-type list: the ordered patterns ("*.txt", ...) that decide which files a
// folder import takes. Entries are byte strings, kept verbatim and in order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

class FileTypeList {
 public:
  // The ten patterns used when no type-list file can be read.
  static const std::vector<std::string>& Defaults();

  FileTypeList();  // holds the defaults

  const std::vector<std::string>& Entries() const { return entries_; }
  std::size_t Count() const { return entries_.size(); }
  void Assign(std::vector<std::string> entries) { entries_ = std::move(entries); }

  // True when some entry equals pattern as a whole string, letter case ignored.
  bool Contains(std::string_view pattern) const;
  // Appends the typed text lower-cased, unless the list already holds it; no
  // validation at all. True when appended.
  bool Add(std::string_view typed);
  // Removes the entry at index; an index outside the list changes nothing.
  void Delete(std::size_t index);

 private:
  std::vector<std::string> entries_;
};

}  // namespace orvela
