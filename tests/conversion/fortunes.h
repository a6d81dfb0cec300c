// fortunes-zh (installed by the project's install step): real Chinese text, as UTF-8,
// cut into its fortunes; and a test of GB2312 text.
#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvela::testing {

inline std::vector<std::string> Fortunes() {
  std::vector<std::string> all;
  for (const char* name : {"chinese", "tang300", "song100"}) {
    const std::string path = std::string("/usr/share/games/fortunes/") + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path + " (package fortunes-zh)");
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    for (std::size_t at = 0; at < text.size();) {
      std::size_t stop = text.find("\n%\n", at);
      if (stop == std::string::npos) stop = text.size();
      all.push_back(text.substr(at, stop - at + 1));
      at = stop + 3;
    }
  }
  return all;
}

// Whether cp936 text keeps to GB2312's rows (lead and trail bytes from 0xA1).
inline bool InGb2312(const std::string& gbk) {
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const unsigned lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x80) continue;
    const unsigned trail = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[++i]) : 0;
    if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1) return false;
  }
  return true;
}

}  // namespace orvela::testing
