#include "conversion/phrase_chain.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace orvela {

PhraseDictionary::PhraseDictionary(std::vector<DictionaryEntry> entries)
    : entries_(std::move(entries)),
      opensLong_(0x110000 / 64, 0),
      inLong_(0x110000 / 64, 0),
      hasOne_(0x110000 / 64, 0) {
  auto set = [](Bits& bits, char32_t c) {
    if (c < 0x110000) bits[c / 64] |= std::uint64_t{1} << (c % 64);
  };
  longKeys_.reserve(entries_.size());
  for (const DictionaryEntry& e : entries_) {
    maxLength_ = std::max(maxLength_, e.key.size());
    if (e.key.size() == 1) {
      oneChar_.emplace(e.key[0], e.value);
      set(hasOne_, e.key[0]);
    } else {
      longKeys_.emplace(e.key, e.value);
      set(opensLong_, e.key[0]);
      for (char32_t c : e.key) set(inLong_, c);
    }
  }
}

std::optional<PhraseDictionary::Match> PhraseDictionary::LongestPrefix(
    std::u32string_view text) const {
  if (text.empty()) return std::nullopt;
  if (OpensLongKey(text[0]))
    for (std::size_t n = std::min(maxLength_, text.size()); n > 1; --n)
      if (auto found = longKeys_.find(text.substr(0, n)); found != longKeys_.end())
        return Match{n, found->second};
  if (!Test(hasOne_, text[0])) return std::nullopt;
  return Match{1, oneChar_.find(text[0])->second};
}

std::u32string ConvertStep(const std::vector<const PhraseDictionary*>& group,
                           std::u32string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::optional<PhraseDictionary::Match> match;
    for (const PhraseDictionary* dict : group)
      if ((match = dict->LongestPrefix(text.substr(i)))) break;
    if (match) {
      out += match->value;
      i += match->length;
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::u32string ConvertSegment(const ConversionChain& chain, std::u32string_view segment) {
  std::u32string text(segment);
  for (const auto& group : chain.steps) text = ConvertStep(group, text);
  return text;
}

std::u32string ConvertText(const ConversionChain& chain, std::u32string_view text) {
  // Characters that begin no key gather into one segment until the next key.
  std::u32string out;
  std::size_t pending = 0;
  auto flush = [&](std::size_t end) {
    if (end > pending) out += ConvertSegment(chain, text.substr(pending, end - pending));
  };
  for (std::size_t i = 0; i < text.size();) {
    std::optional<PhraseDictionary::Match> match =
        chain.segmentation->LongestPrefix(text.substr(i));
    if (!match) {
      ++i;
      continue;
    }
    flush(i);
    out += ConvertSegment(chain, text.substr(i, match->length));
    i += match->length;
    pending = i;
  }
  flush(text.size());
  return out;
}

namespace {
const PhraseDictionary& Dictionary(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<PhraseDictionary>> loaded;
  std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<PhraseDictionary>& dict = loaded[name];
  if (!dict) dict = std::make_unique<PhraseDictionary>(LoadOpenccEntries(name));
  return *dict;
}
}  // namespace

const ConversionChain& SimplifiedToTaiwanChain() {
  static const ConversionChain chain{
      &Dictionary("STPhrases"),
      {{&Dictionary("STPhrases"), &Dictionary("STCharacters")}, {&Dictionary("TWVariants")}}};
  return chain;
}

const ConversionChain& TaiwanToSimplifiedChain() {
  static const ConversionChain chain{
      &Dictionary("TSPhrases"),
      {{&Dictionary("TWVariantsRevPhrases"), &Dictionary("TWVariantsRev")},
       {&Dictionary("TSPhrases"), &Dictionary("TSCharacters")}}};
  return chain;
}

}  // namespace orvela
