// The charset tag rewrite: a web page moved between GB2312 and Big5 gets the charset name
// of its META declaration changed to match.
#pragma once

#include <string>
#include <string_view>

#include "conversion/modes.h"

namespace orvela {

// The trigger table: direction 1 (the file is now Big5) for RbGB2Big5, direction 2 (now
// GB2312) for RbBig52GB, while the option is on; 0 (no step) otherwise.
int CharsetTagDirection(ConversionMode mode, bool optionOn);

// Every run of two or more spaces (0x20) becomes one space; tabs are not spaces.
std::string CollapseSpaces(std::string_view line);

// Rewrites text in memory: only the bytes of the charset name in the recognised META lines
// change. Returns true when something changed. direction must be 1 or 2.
bool AlterCharsetTagText(int direction, std::string& text);

// Rewrites the file at path. 1 when processed (rewritten, or nothing to change, in which
// case it is not written), 0 for a direction other than 1 or 2 (the file is not opened) or
// when reading or writing failed. Never throws.
int AlterCharsetTag(int direction, const std::string& path);

}  // namespace orvela
