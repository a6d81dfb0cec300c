// Each measurement registers itself here; orvela-bench runs them in order of rank
// (or only those named on its command line) and each prints its own lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvela::bench {

struct Measurement {
  std::string name;
  int rank;
  std::function<void()> run;
};

std::vector<Measurement>& Registry();

struct Register {
  Register(std::string name, int rank, std::function<void()> run) {
    Registry().push_back({std::move(name), rank, std::move(run)});
  }
};

}  // namespace orvela::bench
