// Real Chinese text for the benchmarks: fortunes-zh, encoded to GBK (simplified).
#pragma once

#include <cstddef>
#include <string>

namespace orvela::bench {

// The fortunes-zh texts in cp936, repeated until at least minBytes long.
std::string GbkCorpus(std::size_t minBytes);

}  // namespace orvela::bench
