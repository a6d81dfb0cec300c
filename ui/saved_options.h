// Options added beside the window's own, kept between starts in the per-user
// configuration folder.
#pragma once

#include <QString>
#include <optional>

namespace orvela {

enum class SavedOption {
  kByCharacter,    // "逐字转换（不按词语）", off unless set
  kCheckEncoding,  // "转换前检查文件编码（推荐）", on unless cleared
};

bool LoadOption(SavedOption option);
void SaveOption(SavedOption option, bool on);

// Test hook: keep the options in this file instead.
void SetSavedOptionsFileForTest(std::optional<QString> path);

}  // namespace orvela
