// Placeholder until the folder import lands.
#include "folders/folder_import.h"

namespace orvela {
void CreateFolderDialogs(QWidget*) {}
void SaveFileTypeList() {}
void ImportFolder(const std::function<void(const std::string&)>&) {}
}  // namespace orvela
