#include "conversion/phrase_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "conversion/char_map_table.h"
#include "conversion/codepage_chars.h"
#include "conversion/icu_codepage.h"

namespace orvela {

namespace {
constexpr std::uint32_t kOpensPhrase = 1u << 17;   // the unit may begin a segmentation key
constexpr std::uint32_t kSensitive = 1u << 18;     // its stretch needs the chain itself
constexpr std::uint32_t kOpensStepKey = 1u << 19;  // so does it if a first-step key is here
constexpr std::uint32_t kNotClean = 1u << 20;      // it may begin a key of some step
constexpr std::uint32_t kFlags = kOpensPhrase | kSensitive | kOpensStepKey | kNotClean;

// The exact cp936 bytes of each character it holds (BMP only; 0 where it has
// none), and whether cp950 holds the character too.
struct Cp936Encoding {
  std::vector<std::uint32_t> encode = std::vector<std::uint32_t>(65536, 0);
  std::vector<bool> inBig5 = std::vector<bool>(65536, false);
};

const Cp936Encoding& Cp936() {
  static const Cp936Encoding encoding = [] {
    Cp936Encoding e;
    const CodePageChars& chars = Cp936Chars();
    IcuCodePage gbk(kCp936), big5(kCp950);
    for (unsigned a = 0; a < 0x100; ++a)
      for (unsigned b = 0; b < 0x100; ++b) {
        const char32_t cp = chars.decode[TwoBytes(a, b)];
        const unsigned length = chars.UnitLength(a, b);
        if (cp >= 0x10000 || (length == 1 && b > 0)) continue;
        const std::string bytes = length == 1
                                      ? std::string(1, static_cast<char>(a))
                                      : std::string{static_cast<char>(a), static_cast<char>(b)};
        if (gbk.Encode(cp, false) != bytes) continue;
        e.encode[cp] = length == 1 ? OneByte(a) : TwoByteOut(a, b);
        e.inBig5[cp] = big5.Encode(cp, false).has_value();
      }
    return e;
  }();
  return encoding;
}

unsigned UnitLength(std::uint32_t entry) {
  return entry & kPairBit ? 2 : 1;
}
}  // namespace

std::uint32_t PhraseTable::EncodeChar(char32_t c) const {
  if (c >= 0x10000) return 0;
  const Cp936Encoding& cp936 = Cp936();
  if (target_ == MappingTarget::kBig5 && c >= 0x80 && !cp936.inBig5[c]) return 0;
  return cp936.encode[c];
}

namespace {
UnitTrie EmptyTrie(const std::vector<const PhraseDictionary*>& dicts) {
  std::size_t keys = 0, units = 0;
  for (const PhraseDictionary* dict : dicts)
    for (const DictionaryEntry& e : dict->Entries()) {
      keys += 1;
      units += e.key.size();
    }
  return UnitTrie(keys, units);
}

// The first step's dictionaries other than the segmentation's, with long keys.
std::vector<const PhraseDictionary*> FirstStepOwn(const ConversionChain& chain) {
  std::vector<const PhraseDictionary*> own;
  if (!chain.steps.empty())
    for (const PhraseDictionary* dict : chain.steps[0])
      if (dict != chain.segmentation && dict->HasLongKeys()) own.push_back(dict);
  return own;
}
}  // namespace

PhraseTable::PhraseTable(const ConversionChain& chain, const ByteTable& byChar,
                         MappingTarget target)
    : chain_(chain),
      byChar_(byChar),
      target_(target),
      units_(std::make_unique<ByteTable>()),
      segmentation_(EmptyTrie({chain.segmentation})),
      firstStepKeys_(EmptyTrie(FirstStepOwn(chain))) {
  const Cp936Encoding& cp936 = Cp936();
  for (const auto& group : chain.steps)
    for (const PhraseDictionary* dict : group)
      if (dict->HasLongKeys())
        cutDistance_ = std::max(cutDistance_, static_cast<unsigned>(dict->MaxLength() - 1));

  // Between phrases, a character goes through each step on its own, except where a
  // step has a key of several characters there. The segmentation's keys never
  // match there on unchanged text, and the first step's own keys are looked up in
  // the text. What is left: a character that a step changes into one that a later
  // step's long keys hold, and a long key of a later step's own.
  auto flags = [&](char32_t c) {
    std::uint32_t f = 0;
    std::u32string x(1, c);
    bool changed = false;
    for (std::size_t k = 0; k < chain.steps.size(); ++k) {
      for (const PhraseDictionary* dict : chain.steps[k]) {
        if (dict->OpensLongKey(x[0]))
          f |= kNotClean | (dict == chain.segmentation ? 0 : k == 0 ? kOpensStepKey : kSensitive);
        if (changed && dict->InLongKey(x[0])) f |= kSensitive | kNotClean;
      }
      std::u32string y = ConvertStep(chain.steps[k], x);
      if (y.size() != 1) return f | kSensitive | kNotClean;
      changed = changed || y != x;
      x = y;
    }
    return f;
  };

  std::copy(std::begin(byChar.kind), std::end(byChar.kind), units_->kind);
  std::vector<std::uint32_t> single(256, 0);
  for (unsigned a = 0; a < 0x100; ++a)
    for (unsigned b = 0; b < 0x100; ++b) {
      const std::uint16_t index = TwoBytes(a, b);
      std::uint32_t e = byChar.entry[index] & ~kFlags;
      const char32_t c = Cp936Chars().decode[index];
      if (c != kNoChar) {
        const bool pair = Consumed(byChar, a, b) == 2;
        if (!pair && b > 0) {
          e = single[a];
        } else {
          std::u32string o = ConvertSegment(chain, std::u32string(1, c));
          if (std::uint32_t enc = o.size() == 1 ? EncodeChar(o[0]) : 0) e = enc;
          e |= flags(c);
          anySensitive_ = anySensitive_ || (e & (kSensitive | kOpensStepKey));
          if (!pair) single[a] = e;
        }
      }
      units_->entry[index] = e;
    }

  // Keys in cp936 units; a key that cp936 text cannot hold never matches.
  auto unitsOf = [&](const std::u32string& key, std::vector<std::uint16_t>& units) {
    units.clear();
    for (char32_t c : key) {
      const std::uint32_t enc = c < 0x10000 ? cp936.encode[c] : 0;
      if (enc >> 24 != 2) return false;
      units.push_back(static_cast<std::uint16_t>(enc));
    }
    return units.size() >= 2;  // OpenCC's segmentation keys are phrases
  };
  std::vector<std::uint16_t> units;
  std::string out;
  for (const DictionaryEntry& entry : chain.segmentation->Entries()) {
    if (!unitsOf(entry.key, units)) continue;
    out.clear();
    AppendAligned(units, ConvertSegment(chain, entry.key), out);
    const std::uint32_t node = segmentation_.Insert(units);
    if (phrases_.size() <= node) phrases_.resize(node + 1);
    phrases_[node] = {static_cast<std::uint32_t>(outputs_.size()),
                      static_cast<std::uint32_t>(out.size())};
    outputs_ += out;
  }
  for (const PhraseDictionary* dict : FirstStepOwn(chain))
    for (const DictionaryEntry& entry : dict->Entries())
      if (unitsOf(entry.key, units)) firstStepKeys_.Insert(units);
  for (unsigned a = 0; a < 0x100; ++a)
    for (unsigned b = 0; b < 0x100; ++b)
      if (segmentation_.Opens(TwoBytes(a, b)) && Consumed(byChar, a, b) == 2)
        units_->entry[TwoBytes(a, b)] |= kOpensPhrase;
  Finish(*units_);
}

PhraseTable::~PhraseTable() = default;

void PhraseTable::AppendAligned(const std::vector<std::uint16_t>& units,
                                std::u32string_view converted, std::string& out) const {
  const bool aligned = converted.size() == units.size();
  for (std::size_t i = 0; i < converted.size(); ++i) {
    std::uint32_t e = EncodeChar(converted[i]);
    if (!e || converted[i] == kNoChar) e = aligned ? byChar_.entry[units[i]] : OneByte('?');
    out += OutBytes(e);
  }
}

namespace {
inline void Put(unsigned char*& w, std::uint32_t entry) {
  const std::uint16_t bytes = static_cast<std::uint16_t>(entry);
  std::memcpy(w, &bytes, 2);
  w += entry >> 24;
}
}  // namespace

std::uint32_t PhraseTable::Entry(const unsigned char* p, const unsigned char* end) const {
  return units_->entry[TwoBytes(p[0], p + 1 < end ? p[1] : 0)];
}

bool PhraseTable::NeedsChain(std::uint32_t entry, const unsigned char* p,
                             const unsigned char* end) const {
  std::uint32_t value;
  return (entry & kSensitive) ||
         ((entry & kOpensStepKey) && firstStepKeys_.LongestMatch(p, end, &value));
}

// Converts from `from` (a cut: no key of any step reaches over it) through the
// unit at `at`, up to the next cut, with the chain itself, into out. Returns where
// it ended.
const unsigned char* PhraseTable::ConvertStretch(const unsigned char* from, const unsigned char* at,
                                                 const unsigned char* end, std::string& out) const {
  const unsigned char* to = at + UnitLength(Entry(at, end));
  for (unsigned clean = 0; to < end && clean < cutDistance_;) {
    const std::uint32_t e = Entry(to, end);
    std::uint32_t value;
    if ((e & kOpensPhrase) && segmentation_.LongestMatch(to, end, &value)) break;  // next segment
    clean = e & kNotClean ? 0 : clean + 1;
    to += UnitLength(e);
  }
  std::vector<std::uint16_t> units;
  std::u32string text;
  for (const unsigned char* p = from; p < to;) {
    const std::uint16_t index = TwoBytes(p[0], p + 1 < end ? p[1] : 0);
    units.push_back(index);
    text.push_back(Cp936Chars().decode[index]);
    p += UnitLength(units_->entry[index]);
  }
  AppendAligned(units, ConvertSegment(chain_, text), out);
  return to;
}

void PhraseTable::Apply(std::string_view gbk, std::string& out) const {
  auto p = reinterpret_cast<const unsigned char*>(gbk.data());
  const auto end = p + gbk.size();
  // A phrase's output is never longer than its key, nor a unit's than two bytes: at
  // most two bytes a byte, and eight to spare for the ASCII copies.
  constexpr std::size_t kSlack = 16;
  std::size_t used = out.size();
  out.resize(used + 2 * gbk.size() + kSlack);
  auto* w = reinterpret_cast<unsigned char*>(out.data()) + used;
  const std::uint32_t* entry = units_->entry;
  const bool asciiKept = units_->asciiKept, tracking = anySensitive_;
  // The last cut since the last phrase (where the chain may start again), and how
  // many clean units lead up to here.
  const unsigned char* cut = p;
  std::size_t cutOut = used;
  unsigned clean = cutDistance_;
  auto base = [&] { return reinterpret_cast<unsigned char*>(out.data()); };
  auto cutHere = [&] {
    cut = p;
    cutOut = static_cast<std::size_t>(w - base());
    clean = cutDistance_;
  };
  std::string stretch;
  while (p < end) {
    if (asciiKept && *p < 0x80 && end - p >= 8) {
      std::uint64_t eight;
      std::memcpy(&eight, p, 8);
      const unsigned ascii = LeadingAscii(eight);
      std::memcpy(w, p, 8);
      p += ascii;
      w += ascii;
      if (tracking) {
        clean = std::min(clean + ascii, cutDistance_);
        if (clean == cutDistance_) cutHere();
      }
      continue;
    }
    if (!tracking && end - p >= 16) {
      // Mostly double-byte text: look up four units at once as if each were two
      // bytes long, and write those up to the first that is not or that may
      // begin a phrase.
      const std::uint32_t e0 = entry[LoadTwoBytes(p)], e1 = entry[LoadTwoBytes(p + 2)],
                          e2 = entry[LoadTwoBytes(p + 4)], e3 = entry[LoadTwoBytes(p + 6)];
      // A pair that no key begins with, as far as the filter can tell.
      auto plain = [&](std::uint32_t e, const unsigned char* at) {
        return (e & kPairBit) && !((e & kOpensPhrase) && segmentation_.MayMatch(at));
      };
      if (plain(e0, p)) {
        Put(w, e0);
        p += 2;
        if (plain(e1, p)) {
          Put(w, e1);
          p += 2;
          if (plain(e2, p)) {
            Put(w, e2);
            p += 2;
            if (plain(e3, p)) {
              Put(w, e3);
              p += 2;
            }
          }
        }
        continue;
      }
    }
    const std::uint32_t e = entry[TwoBytes(p[0], p + 1 < end ? p[1] : 0)];
    if (e & kOpensPhrase) {
      std::uint32_t value;
      if (std::size_t length = segmentation_.LongestMatch(p, end, &value)) {
        const Phrase& phrase = phrases_[value];
        std::memcpy(w, outputs_.data() + phrase.offset, phrase.length);
        w += phrase.length;
        p += length;
        cutHere();
        continue;
      }
    }
    if (tracking && NeedsChain(e, p, end)) {
      stretch.clear();
      const unsigned char* to = ConvertStretch(cut, p, end, stretch);
      const std::size_t need = cutOut + stretch.size() + 2 * static_cast<std::size_t>(end - to);
      if (need + kSlack > out.size()) out.resize(need + kSlack);
      w = base() + cutOut;
      std::memcpy(w, stretch.data(), stretch.size());
      w += stretch.size();
      p = to;
      cutHere();
      continue;
    }
    Put(w, e);
    p += UnitLength(e);
    if (tracking) {
      clean = e & kNotClean ? 0 : std::min(clean + 1, cutDistance_);
      if (clean == cutDistance_) cutHere();
    }
  }
  out.resize(static_cast<std::size_t>(w - base()));
}

const PhraseTable& Sc2TcPhraseTable(MappingTarget target) {
  if (target == MappingTarget::kGbk) {
    static const PhraseTable gbk(SimplifiedToTaiwanChain(), Sc2TcTable(), MappingTarget::kGbk);
    return gbk;
  }
  static const PhraseTable big5(SimplifiedToTaiwanChain(), Sc2TcTable(), MappingTarget::kBig5);
  return big5;
}

const PhraseTable& Tc2ScPhraseTable() {
  static const PhraseTable table(TaiwanToSimplifiedChain(), Tc2ScTable(), MappingTarget::kGbk);
  return table;
}

}  // namespace orvela
