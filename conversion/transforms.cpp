// Placeholder until the table-driven transforms land: returns the text unchanged.
#include "conversion/transforms.h"

namespace orvela {
std::string ConvertBig52GBK(std::string_view s) { return std::string(s); }
std::string ConvertGBK2Big5(std::string_view s) { return std::string(s); }
std::string MapSc2Tc(std::string_view s) { return std::string(s); }
std::string MapTc2Sc(std::string_view s) { return std::string(s); }
}  // namespace orvela
