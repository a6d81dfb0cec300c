#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/registry.h"

namespace orvela::bench {
std::vector<Measurement>& Registry() {
  static std::vector<Measurement> registry;
  return registry;
}
}  // namespace orvela::bench

int main(int argc, char** argv) {
  auto& all = orvela::bench::Registry();
  std::stable_sort(all.begin(), all.end(), [](auto& a, auto& b) { return a.rank < b.rank; });
  for (auto& m : all) {
    bool wanted = argc < 2;
    for (int i = 1; i < argc; ++i) wanted |= m.name == argv[i];
    if (wanted) {
      m.run();
      std::fflush(stdout);
    }
  }
  if (all.empty()) std::puts("no measurements yet");
  return 0;
}
