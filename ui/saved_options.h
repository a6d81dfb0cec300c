// Options added beside the window's own, kept between starts in the per-user
// configuration folder.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace orvela {

enum class SavedOption {
  kByCharacter,    // "逐字转换（不按词语）", off unless set
  kCheckEncoding,  // "转换前检查文件编码（推荐）", on unless cleared
};

bool LoadOption(SavedOption option);
void SaveOption(SavedOption option, bool on);

// The folder (bytes) of the last file added through the Open dialog; empty at first.
std::string LoadOpenFolder();
void SaveOpenFolder(const std::string& folder);

// Test hook: keep the options in this file instead.
void SetSavedOptionsFileForTest(std::optional<QString> path);

}  // namespace orvela
