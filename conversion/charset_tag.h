// The charset tag rewrite: a web page whose code page a run changes gets the charset
// name of its declaration changed to match.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/modes.h"

namespace orvela {

// While the option is on, every mode that changes the code page: direction 1 (the file is
// now Big5) for RbGB2Big5 and RbGBK2Big5, 2 (now GB2312) for RbBig52GB, 3 (now GBK) for
// RbBig52GBK; 0 (no step) otherwise.
int CharsetTagDirection(ConversionMode mode, bool optionOn);

// Every run of two or more spaces (0x20) becomes one space; tabs are not spaces.
std::string CollapseSpaces(std::string_view line);

// Rewrites text in memory. Looked at: the page's head, up to "</head" or the first "<body"
// (comments and scripts skipped, a zero byte ends it), in the file's new code page. The
// declarations recognised, with any attribute order, quoting and letter case:
//   <meta http-equiv="Content-Type" content="text/html; charset=NAME">
//   <meta charset=NAME>
//   <?xml version="1.0" encoding="NAME"?>
// NAME is replaced when it names the old code page (direction 1: gb2312, gbk, gb18030,
// x-gbk, cp936, windows-936 become "big5"; 2 and 3: big5, big5-hkscs, x-x-big5, cp950,
// windows-950 become "GB2312" or "gbk"). Every other byte stays. Returns true when
// something changed. direction must be 1, 2 or 3.
bool AlterCharsetTagText(int direction, std::string& text);

// Where the head that AlterCharsetTagText looks at ends in text that may go on: the
// offset of the "</head" or "<body" that ends it, once it is certain (comments and
// scripts before it complete), else nullopt. Text in pieces can be held until then.
std::optional<std::size_t> CharsetHeadEnd(int direction, std::string_view text);

// Rewrites the file at path. 1 when processed (rewritten, or nothing to change, in which
// case it is not written), 0 for a direction other than 1, 2 or 3 (the file is not opened) or
// when reading or writing failed. Never throws.
int AlterCharsetTag(int direction, const std::string& path);

}  // namespace orvela
