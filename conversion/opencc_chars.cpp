#include "conversion/opencc_chars.h"

#include <unicode/utf8.h>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>

#include <cstdio>
#include <memory>
#include <optional>

#include "base/error.h"

namespace orvela {

namespace {
constexpr const char* kOpenccDataDir = "/usr/share/opencc/";

std::optional<char32_t> OneCharacter(const std::string& utf8) {
  int32_t i = 0;
  UChar32 c;
  U8_NEXT(utf8.data(), i, static_cast<int32_t>(utf8.size()), c);
  if (c < 0 || i != static_cast<int32_t>(utf8.size())) return std::nullopt;
  return static_cast<char32_t>(c);
}
}  // namespace

CharCandidates LoadOpenccCharacters(const std::string& name) {
  std::string path = kOpenccDataDir + name + ".ocd2";
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) throw Error("Cannot open file " + path);
  opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file.get());
  CharCandidates result;
  for (const auto& entry : *dict->GetLexicon()) {
    std::optional<char32_t> key = OneCharacter(entry->Key());
    if (!key) continue;
    std::vector<char32_t>& candidates = result[*key];
    for (const std::string& value : entry->Values())
      if (std::optional<char32_t> c = OneCharacter(value)) candidates.push_back(*c);
  }
  return result;
}

}  // namespace orvela
