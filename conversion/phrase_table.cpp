#include "conversion/phrase_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "conversion/char_map_table.h"
#include "conversion/icu_codepage.h"

namespace orvela {

namespace {
constexpr std::uint32_t kOpensPhrase = 1u << 17;  // the unit begins a segmentation key
constexpr std::uint32_t kSensitive = 1u << 18;    // its stretch needs the chain itself
constexpr std::uint32_t kNotClean = 1u << 19;     // it may begin a key of some step
constexpr std::uint32_t kFlags = kOpensPhrase | kSensitive | kNotClean;
constexpr char32_t kNoChar = 0xFFFFFFFF;  // a unit that is no character
constexpr unsigned kFilterBits = 20;

// The characters of cp936: what each unit decodes to, and the exact bytes of each
// character it holds (BMP only; 0 where it has none), with whether cp950 holds it.
struct Cp936Characters {
  std::vector<char32_t> decode = std::vector<char32_t>(65536, kNoChar);  // by TwoBytes
  std::vector<std::uint32_t> encode = std::vector<std::uint32_t>(65536, 0);
  std::vector<bool> inBig5 = std::vector<bool>(65536, false);
};

const Cp936Characters& Cp936() {
  static const Cp936Characters chars = [] {
    Cp936Characters c;
    const ByteTable& cut = Sc2TcTable();  // cp936's cut into units
    IcuCodePage gbk(kCp936), big5(kCp950);
    auto learn = [&](char32_t cp, std::uint32_t entry, const std::string& bytes) {
      if (cp >= 0x10000 || gbk.Encode(cp, false) != bytes) return;
      c.encode[cp] = entry;
      c.inBig5[cp] = big5.Encode(cp, false).has_value();
    };
    for (unsigned a = 0; a < 0x100; ++a) {
      if (!(cut.kind[a] & kOpensPair)) {
        const std::string one(1, static_cast<char>(a));
        DecodedUnit unit = gbk.Decode(one);
        if (unit.kind != DecodedUnit::kChar) continue;
        for (unsigned b = 0; b < 0x100; ++b) c.decode[TwoBytes(a, b)] = unit.cp;
        learn(unit.cp, OneByte(a), one);
        continue;
      }
      for (unsigned b = 0; b < 0x100; ++b) {
        if (Consumed(cut, a, b) != 2) continue;
        const std::string two{static_cast<char>(a), static_cast<char>(b)};
        DecodedUnit unit = gbk.Decode(two);
        if (unit.kind != DecodedUnit::kChar) continue;
        c.decode[TwoBytes(a, b)] = unit.cp;
        learn(unit.cp, TwoByteOut(a, b), two);
      }
    }
    return c;
  }();
  return chars;
}

std::uint64_t Mix(std::uint64_t key) {
  return key * 0x9E3779B97F4A7C15u;
}

std::uint64_t PairKey(std::uint16_t first, std::uint16_t second) {
  return std::uint64_t{first} << 16 | second;
}

unsigned UnitLength(std::uint32_t entry) {
  return entry & kPairBit ? 2 : 1;
}
}  // namespace

struct PhraseTable::Phrase {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

// An output string written through a pointer into room made beforehand.
class PhraseTable::Writer {
 public:
  explicit Writer(std::string& s) : s_(s), used_(s.size()) {}
  ~Writer() { s_.resize(used_); }
  void Reserve(std::size_t more) {
    if (s_.size() - used_ < more) s_.resize(std::max(s_.size() * 2, used_ + more));
  }
  void Put(std::uint32_t entry) {  // room for two bytes must be there
    const std::uint16_t bytes = static_cast<std::uint16_t>(entry);
    std::memcpy(s_.data() + used_, &bytes, 2);
    used_ += entry >> 24;
  }
  void Append(const char* p, std::size_t n) {
    Reserve(n);
    std::memcpy(s_.data() + used_, p, n);
    used_ += n;
  }
  std::size_t Used() const { return used_; }
  void Rewind(std::size_t used) { used_ = used; }
  std::string& Spare() { return spare_; }

 private:
  std::string& s_;
  std::size_t used_;
  std::string spare_;
};

std::uint32_t PhraseTable::EncodeChar(char32_t c) const {
  if (c >= 0x10000) return 0;
  const Cp936Characters& cp936 = Cp936();
  if (target_ == MappingTarget::kBig5 && c >= 0x80 && !cp936.inBig5[c]) return 0;
  return cp936.encode[c];
}

PhraseTable::PhraseTable(const ConversionChain& chain, const ByteTable& byChar,
                         MappingTarget target)
    : chain_(chain), byChar_(byChar), target_(target), units_(std::make_unique<ByteTable>()) {
  const Cp936Characters& cp936 = Cp936();

  // Which steps have keys longer than one character, and how long the longest is.
  std::vector<bool> longKeysFrom(chain.steps.size() + 1, false);
  for (std::size_t k = chain.steps.size(); k-- > 0;) {
    longKeysFrom[k] = longKeysFrom[k + 1];
    for (const PhraseDictionary* dict : chain.steps[k]) {
      longKeysFrom[k] = longKeysFrom[k] || dict->HasLongKeys();
      if (dict->HasLongKeys())
        cutDistance_ = std::max(cutDistance_, static_cast<unsigned>(dict->MaxLength() - 1));
    }
  }
  // A character alone in a stretch between phrases goes through each step on its
  // own unless a step has a key that it begins (other than the segmentation's keys,
  // which never match there unchanged), or a step changes it and a later step has
  // keys of several characters that the change may complete.
  auto flags = [&](char32_t c) {
    std::uint32_t f = 0;
    std::u32string x(1, c);
    for (std::size_t k = 0; k < chain.steps.size(); ++k) {
      for (const PhraseDictionary* dict : chain.steps[k])
        if (dict->OpensLongKey(x[0]))
          f |= kNotClean | (dict == chain.segmentation ? 0 : kSensitive);
      std::u32string y = ConvertSegment({nullptr, {chain.steps[k]}}, x);
      if (y.size() != 1) return f | kSensitive | kNotClean;
      if (y != x && longKeysFrom[k + 1]) f |= kSensitive | kNotClean;
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
      const char32_t c = cp936.decode[index];
      if (c != kNoChar) {
        const bool pair = Consumed(byChar, a, b) == 2;
        if (!pair && b > 0) {
          e = single[a];
        } else {
          std::u32string o = ConvertSegment(chain, std::u32string(1, c));
          if (std::uint32_t enc = o.size() == 1 ? EncodeChar(o[0]) : 0) e = enc;
          e |= flags(c);
          anySensitive_ = anySensitive_ || (e & kSensitive);
          if (!pair) single[a] = e;
        }
      }
      units_->entry[index] = e;
    }

  // The trie over the segmentation keys that cp936 text can hold.
  root_.assign(65536, 0);
  phrases_.emplace_back();  // node 0: none
  const auto& keys = chain.segmentation->Entries();
  slotMask_ = std::bit_ceil(keys.size() * 8) - 1;
  slotShift_ = 64 - std::countr_one(slotMask_);
  slotKeys_.assign(slotMask_ + 1, 0);
  slotNodes_.assign(slotMask_ + 1, 0);
  pairFilter_.assign((std::size_t{1} << kFilterBits) / 64, 0);
  auto newNode = [&] {
    phrases_.emplace_back();
    return static_cast<std::uint32_t>(phrases_.size() - 1);
  };
  std::vector<std::uint32_t> units;
  for (const DictionaryEntry& entry : keys) {
    if (entry.key.size() < 2) continue;  // OpenCC's segmentation keys are phrases
    units.clear();
    for (char32_t c : entry.key) {
      const std::uint32_t enc = c < 0x10000 ? cp936.encode[c] : 0;
      if (enc >> 24 != 2) break;
      units.push_back(enc);
    }
    if (units.size() != entry.key.size()) continue;  // not in cp936 text
    const std::uint16_t u0 = static_cast<std::uint16_t>(units[0]);
    const std::uint16_t u1 = static_cast<std::uint16_t>(units[1]);
    const std::uint64_t filterBit = Mix(PairKey(u0, u1)) >> (64 - kFilterBits);
    pairFilter_[filterBit / 64] |= std::uint64_t{1} << (filterBit % 64);
    std::uint32_t& first = root_[u0];
    if (!first) first = newNode();
    std::uint32_t node = first;
    for (std::size_t i = 1; i < units.size(); ++i) {
      const std::uint64_t slotKey =
          std::uint64_t{node} << 16 | static_cast<std::uint16_t>(units[i]);
      std::uint64_t slot = Mix(slotKey) >> slotShift_;
      while (slotKeys_[slot] && slotKeys_[slot] != slotKey) slot = (slot + 1) & slotMask_;
      if (!slotKeys_[slot]) {
        slotKeys_[slot] = slotKey;
        slotNodes_[slot] = newNode();
      }
      node = slotNodes_[slot];
    }
    std::string out;
    AppendAligned(units, ConvertSegment(chain, entry.key), out);
    phrases_[node] = {static_cast<std::uint32_t>(outputs_.size()),
                      static_cast<std::uint32_t>(out.size())};
    outputs_ += out;
  }
  for (unsigned a = 0; a < 0x100; ++a)
    for (unsigned b = 0; b < 0x100; ++b)
      if (root_[TwoBytes(a, b)] && Consumed(byChar, a, b) == 2)
        units_->entry[TwoBytes(a, b)] |= kOpensPhrase;
  Finish(*units_);
}

PhraseTable::~PhraseTable() = default;

void PhraseTable::AppendAligned(const std::vector<std::uint32_t>& units,
                                std::u32string_view converted, std::string& out) const {
  const bool aligned = converted.size() == units.size();
  for (std::size_t i = 0; i < converted.size(); ++i) {
    std::uint32_t e = EncodeChar(converted[i]);
    if (!e || converted[i] == kNoChar)
      e = aligned ? byChar_.entry[static_cast<std::uint16_t>(units[i])] : OneByte('?');
    out += OutBytes(e);
  }
}

std::uint32_t PhraseTable::Child(std::uint32_t node, std::uint16_t unit) const {
  const std::uint64_t key = std::uint64_t{node} << 16 | unit;
  for (std::uint64_t slot = Mix(key) >> slotShift_;; slot = (slot + 1) & slotMask_) {
    if (slotKeys_[slot] == key) return slotNodes_[slot];
    if (!slotKeys_[slot]) return 0;
  }
}

// The byte length of the longest key at p, and its node.
std::size_t PhraseTable::Match(const unsigned char* p, const unsigned char* end,
                               std::uint32_t* found) const {
  if (end - p < 4) return 0;
  const std::uint16_t u0 = LoadTwoBytes(p), u1 = LoadTwoBytes(p + 2);
  const std::uint64_t bit = Mix(PairKey(u0, u1)) >> (64 - kFilterBits);
  if (!(pairFilter_[bit / 64] >> (bit % 64) & 1)) return 0;
  std::uint32_t node = Child(root_[u0], u1);
  std::size_t best = 0;
  for (const unsigned char* q = p + 4; node; q += 2) {
    if (phrases_[node].length) {
      best = static_cast<std::size_t>(q - p);
      *found = node;
    }
    if (end - q < 2) break;
    node = Child(node, LoadTwoBytes(q));
  }
  return best;
}

// Converts from `from` (a cut: no key of any step reaches over it) through the
// sensitive unit, up to the next cut, with the chain itself. Returns where it ended.
const unsigned char* PhraseTable::ConvertStretch(const unsigned char* from,
                                                 const unsigned char* sensitive,
                                                 const unsigned char* end, Writer& out) const {
  auto entryAt = [&](const unsigned char* p) {
    return units_->entry[TwoBytes(p[0], p + 1 < end ? p[1] : 0)];
  };
  const unsigned char* to = sensitive + UnitLength(entryAt(sensitive));
  for (unsigned clean = 0; to < end && clean < cutDistance_;) {
    const std::uint32_t e = entryAt(to);
    std::uint32_t node;
    if ((e & kOpensPhrase) && Match(to, end, &node)) break;  // the next segment
    clean = e & kNotClean ? 0 : clean + 1;
    to += UnitLength(e);
  }
  std::vector<std::uint32_t> units;
  std::u32string text;
  for (const unsigned char* p = from; p < to;) {
    const std::uint16_t index = TwoBytes(p[0], p + 1 < end ? p[1] : 0);
    units.push_back(index | (units_->entry[index] & kPairBit));
    text.push_back(Cp936().decode[index]);
    p += UnitLength(units_->entry[index]);
  }
  std::string& converted = out.Spare();
  converted.clear();
  AppendAligned(units, ConvertSegment(chain_, text), converted);
  out.Append(converted.data(), converted.size());
  return to;
}

void PhraseTable::Apply(std::string_view gbk, std::string& out) const {
  auto p = reinterpret_cast<const unsigned char*>(gbk.data());
  const auto end = p + gbk.size();
  Writer w(out);
  // A phrase's output is never longer than its key, nor a unit's than two bytes.
  w.Reserve(2 * gbk.size() + 16);
  const std::uint32_t* entry = units_->entry;
  const unsigned char* cut = p;
  std::size_t cutOut = w.Used();
  unsigned clean = cutDistance_;
  while (p < end) {
    const std::uint32_t e = entry[TwoBytes(p[0], p + 1 < end ? p[1] : 0)];
    if (e & kOpensPhrase) {
      std::uint32_t node;
      if (std::size_t length = Match(p, end, &node)) {
        const Phrase& phrase = phrases_[node];
        w.Append(outputs_.data() + phrase.offset, phrase.length);
        p += length;
        cut = p;
        cutOut = w.Used();
        clean = cutDistance_;
        continue;
      }
    }
    if (e & kSensitive) {
      w.Rewind(cutOut);
      p = ConvertStretch(cut, p, end, w);
      w.Reserve(2 * static_cast<std::size_t>(end - p) + 16);
      cut = p;
      cutOut = w.Used();
      clean = cutDistance_;
      continue;
    }
    w.Put(e);
    p += UnitLength(e);
    if (anySensitive_) {
      clean = e & kNotClean ? 0 : std::min(clean + 1, cutDistance_);
      if (clean == cutDistance_) {
        cut = p;
        cutOut = w.Used();
      }
    }
  }
}

const PhraseTable& Sc2TcPhraseTable(MappingTarget target) {
  static const PhraseTable gbk(SimplifiedToTaiwanChain(), Sc2TcTable(), MappingTarget::kGbk);
  static const PhraseTable big5(SimplifiedToTaiwanChain(), Sc2TcTable(), MappingTarget::kBig5);
  return target == MappingTarget::kGbk ? gbk : big5;
}

const PhraseTable& Tc2ScPhraseTable() {
  static const PhraseTable table(TaiwanToSimplifiedChain(), Tc2ScTable(), MappingTarget::kGbk);
  return table;
}

}  // namespace orvela
