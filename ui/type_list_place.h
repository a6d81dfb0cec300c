// Where the type-list file lives: beside the executable when that folder is writable
// or already holds the file, else in the per-user configuration folder.
#pragma once

#include <optional>
#include <string>

namespace orvela {

std::string TypeListFilePath();
// Saving creates the configuration folder when the file goes there.
void PrepareTypeListFolder();

// Test hook: the file at path instead (nothing restores the usual place).
void SetTypeListFileForTest(std::optional<std::string> path);

}  // namespace orvela
