// Options added beside the window's own, kept between starts in the per-user
// configuration folder.
#pragma once

#include <QString>
#include <optional>

namespace orvela {

// "逐字转换（不按词语）": map characters one by one instead of by phrase.
bool LoadByCharacterOption();
void SaveByCharacterOption(bool on);

// Test hook: keep the options in this file instead.
void SetSavedOptionsFileForTest(std::optional<QString> path);

}  // namespace orvela
