// The six conversion modes and the transforms each one applies, in order.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

enum class ConversionMode { RbGB2GBK, RbGBK2GB, RbGB2Big5, RbBig52GB, RbBig52GBK, RbGBK2Big5 };

inline constexpr std::array<ConversionMode, 6> kAllModes = {
    ConversionMode::RbGB2GBK,  ConversionMode::RbGBK2GB,   ConversionMode::RbGB2Big5,
    ConversionMode::RbBig52GB, ConversionMode::RbBig52GBK, ConversionMode::RbGBK2Big5};

// How the modes that change characters map them: phrase-aware (OpenCC's s2tw and
// tw2s), or character for character.
enum class CharMapping { kPhrases, kByCharacter };

std::string ApplyMode(ConversionMode mode, std::string_view text,
                      CharMapping mapping = CharMapping::kPhrases);
// The same, appending to out; scratch holds the text between two steps. A caller that
// converts many pieces keeps both, so that their memory is set up once.
void AppendMode(ConversionMode mode, std::string_view text, CharMapping mapping, std::string& out,
                std::string& scratch);

// Command-line names: gb2gbk gbk2gb gb2big5 big52gb big52gbk gbk2big5.
std::string_view ModeName(ConversionMode mode);
std::optional<ConversionMode> ModeFromName(std::string_view name);

}  // namespace orvela
