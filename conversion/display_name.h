// How a file name's bytes are shown: names on Linux are bytes, and old Chinese files
// often carry names in GBK or Big5.
#pragma once

#include <string>
#include <string_view>

namespace orvela {

// The name as UTF-8: itself when it is valid UTF-8, else decoded as GBK or Big5 (the
// one that reads as more common characters, GBK on a tie) when every character of it
// is one, else as UTF-8 with each byte that is no character shown as \xNN.
std::string DisplayName(std::string_view bytes);

}  // namespace orvela
