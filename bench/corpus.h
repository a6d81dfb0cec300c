// Real Chinese text for the benchmarks: fortunes-zh, encoded to GBK (simplified), and
// the same text in traditional characters, in GBK and in Big5.
#pragma once

#include <cstddef>
#include <string>

namespace orvela::bench {

// The fortunes-zh texts in cp936, repeated until at least minBytes long.
std::string GbkCorpus(std::size_t minBytes);

// The fortunes-zh texts turned traditional by OpenCC's s2t configuration, in cp936
// and in cp950, each repeated until at least minBytes long.
std::string TraditionalGbkCorpus(std::size_t minBytes);
std::string Big5Corpus(std::size_t minBytes);

// Text in a code page (an ICU converter name) as UTF-8.
std::string ToUtf8(const char* codepage, const std::string& text);

}  // namespace orvela::bench
