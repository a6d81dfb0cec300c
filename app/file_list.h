// The file list: ordered paths (byte strings) with selection flags and a current item.
#pragma once

#include <string>
#include <string_view>

namespace orvela {

class FileList {
 public:
  long Count() const;
  const std::string& Path(long i) const;  // throws ListIndexOutOfBounds(i)
  void Replace(long i, std::string path);
  long Append(std::string path);  // index of the new entry; throws UnableToInsertLine
  long Find(std::string_view path) const;  // first equal entry or -1
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
};

}  // namespace orvela
