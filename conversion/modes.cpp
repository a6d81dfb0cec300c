#include "conversion/modes.h"

#include <memory>

#include "conversion/byte_table.h"
#include "conversion/char_map_table.h"
#include "conversion/codepage_table.h"
#include "conversion/phrase_table.h"

namespace orvela {

namespace {
struct ModeRow {
  ConversionMode mode;
  std::string_view name;
  const ByteTable& (*firstTable)();
  const ByteTable& (*secondTable)();  // nullptr for one-step modes
};

// The character mapping always runs while the text is in cp936.
constexpr ModeRow kModes[] = {
    {ConversionMode::RbGB2GBK, "gb2gbk", Sc2TcTable, nullptr},
    {ConversionMode::RbGBK2GB, "gbk2gb", Tc2ScTable, nullptr},
    {ConversionMode::RbGB2Big5, "gb2big5", Sc2TcTable, Gbk2Big5Table},
    {ConversionMode::RbBig52GB, "big52gb", Big52GbkTable, Tc2ScTable},
    {ConversionMode::RbBig52GBK, "big52gbk", Big52GbkTable, nullptr},
    {ConversionMode::RbGBK2Big5, "gbk2big5", Gbk2Big5Table, nullptr},
};

const ModeRow& Row(ConversionMode mode) {
  return kModes[static_cast<int>(mode)];
}

// The two steps of a mode as one table, so that the text is read once; nullptr if
// the steps do not compose (they do for the tables ICU and OpenCC give).
const ByteTable* Fused(ConversionMode mode) {
  static const auto fused = [] {
    std::array<std::unique_ptr<ByteTable>, kAllModes.size()> tables;
    for (const ModeRow& row : kModes)
      if (row.secondTable)
        tables[static_cast<int>(row.mode)] = Compose(row.firstTable(), row.secondTable());
    return tables;
  }();
  return fused[static_cast<int>(mode)].get();
}

// The phrase-aware modes: the mapping runs while the text is in cp936, and in
// RbGB2Big5 keeps to forms that cp950 holds.
bool AppendPhrases(ConversionMode mode, std::string_view text, std::string& out,
                   std::string& scratch) {
  switch (mode) {
    case ConversionMode::RbGB2GBK:
      Sc2TcPhraseTable(MappingTarget::kGbk).Apply(text, out);
      return true;
    case ConversionMode::RbGBK2GB:
      Tc2ScPhraseTable().Apply(text, out);
      return true;
    case ConversionMode::RbGB2Big5:
      scratch.clear();
      Sc2TcPhraseTable(MappingTarget::kBig5).Apply(text, scratch);
      ApplyByteTable(Gbk2Big5Table(), scratch, out);
      return true;
    case ConversionMode::RbBig52GB:
      scratch.clear();
      ApplyByteTable(Big52GbkTable(), text, scratch);
      Tc2ScPhraseTable().Apply(scratch, out);
      return true;
    case ConversionMode::RbBig52GBK:
    case ConversionMode::RbGBK2Big5:
      break;  // no characters to map
  }
  return false;
}
}  // namespace

void AppendMode(ConversionMode mode, std::string_view text, CharMapping mapping, std::string& out,
                std::string& scratch) {
  if (mapping == CharMapping::kPhrases && AppendPhrases(mode, text, out, scratch)) return;
  const ModeRow& row = Row(mode);
  if (!row.secondTable) {
    ApplyByteTable(row.firstTable(), text, out);
    return;
  }
  if (const ByteTable* table = Fused(mode)) {
    ApplyByteTable(*table, text, out);
    return;
  }
  scratch.clear();
  ApplyByteTable(row.firstTable(), text, scratch);
  ApplyByteTable(row.secondTable(), scratch, out);
}

std::string ApplyMode(ConversionMode mode, std::string_view text, CharMapping mapping) {
  std::string out, scratch;
  AppendMode(mode, text, mapping, out, scratch);
  return out;
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
