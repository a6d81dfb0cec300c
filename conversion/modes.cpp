#include "conversion/modes.h"

#include "conversion/transforms.h"

namespace orvela {

namespace {
struct ModeRow {
  ConversionMode mode;
  std::string_view name;
  std::string (*first)(std::string_view);
  std::string (*second)(std::string_view);  // nullptr for one-step modes
};

// The character mapping always runs while the text is in cp936.
constexpr ModeRow kModes[] = {
    {ConversionMode::RbGB2GBK, "gb2gbk", MapSc2Tc, nullptr},
    {ConversionMode::RbGBK2GB, "gbk2gb", MapTc2Sc, nullptr},
    {ConversionMode::RbGB2Big5, "gb2big5", MapSc2Tc, ConvertGBK2Big5},
    {ConversionMode::RbBig52GB, "big52gb", ConvertBig52GBK, MapTc2Sc},
    {ConversionMode::RbBig52GBK, "big52gbk", ConvertBig52GBK, nullptr},
    {ConversionMode::RbGBK2Big5, "gbk2big5", ConvertGBK2Big5, nullptr},
};

const ModeRow& Row(ConversionMode mode) {
  return kModes[static_cast<int>(mode)];
}
}  // namespace

std::string ApplyMode(ConversionMode mode, std::string_view text) {
  const ModeRow& row = Row(mode);
  std::string out = row.first(text);
  return row.second ? row.second(out) : out;
}

std::string_view ModeName(ConversionMode mode) {
  return Row(mode).name;
}

std::optional<ConversionMode> ModeFromName(std::string_view name) {
  for (const ModeRow& row : kModes)
    if (row.name == name) return row.mode;
  return std::nullopt;
}

}  // namespace orvela
