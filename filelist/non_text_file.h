// The name test that keeps dropped program, picture and archive files off the list.
#pragma once

#include <string_view>

namespace orvela {

// How the bytes of a name form characters; decides where a character begins.
enum class NameEncoding {
  SingleByte,  // every byte is a character
  Utf8,        // 0x80-0xBF continues a character
  DoubleByte,  // GBK, GB18030, Big5: 0x81-0xFE opens a multi-byte character
};

// The encoding of the C library's current locale (LC_CTYPE).
NameEncoding LocaleNameEncoding();

// True when the name ends in one of the refused three-letter endings ("exe", "dll",
// ...; letter case ignored) and those three bytes begin at a character boundary.
// No dot is looked for: "D:/Tools/WinRAR" is refused as well.
bool IsNonTextFile(std::string_view name, NameEncoding encoding);
bool IsNonTextFile(std::string_view name);  // in the locale's encoding

}  // namespace orvela
