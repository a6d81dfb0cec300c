#include "conversion/opencc_dictionary.h"

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

// Invalid UTF-8 gives nullopt: OpenCC's own files never hold any.
std::optional<std::u32string> Characters(const std::string& utf8) {
  std::u32string out;
  const auto length = static_cast<int32_t>(utf8.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(utf8.data(), i, length, c);
    if (c < 0) return std::nullopt;
    out.push_back(static_cast<char32_t>(c));
  }
  return out;
}

std::optional<char32_t> OneCharacter(const std::string& utf8) {
  std::optional<std::u32string> chars = Characters(utf8);
  if (!chars || chars->size() != 1) return std::nullopt;
  return chars->front();
}

opencc::LexiconPtr Load(const std::string& name) {
  std::string path = kOpenccDataDir + name + ".ocd2";
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) throw Error("Cannot open file " + path);
  return opencc::MarisaDict::NewFromFile(file.get())->GetLexicon();
}
}  // namespace

CharCandidates LoadOpenccCharacters(const std::string& name) {
  opencc::LexiconPtr lexicon = Load(name);
  CharCandidates result;
  for (const auto& entry : *lexicon) {
    std::optional<char32_t> key = OneCharacter(entry->Key());
    if (!key) continue;
    std::vector<char32_t>& candidates = result[*key];
    for (const std::string& value : entry->Values())
      if (std::optional<char32_t> c = OneCharacter(value)) candidates.push_back(*c);
  }
  return result;
}

std::vector<DictionaryEntry> LoadOpenccEntries(const std::string& name) {
  opencc::LexiconPtr lexicon = Load(name);
  std::vector<DictionaryEntry> result;
  result.reserve(lexicon->Length());
  for (const auto& entry : *lexicon) {
    std::optional<std::u32string> key = Characters(entry->Key());
    std::optional<std::u32string> value = Characters(entry->GetDefault());
    if (key && value && !key->empty()) result.push_back({std::move(*key), std::move(*value)});
  }
  return result;
}

}  // namespace orvela
