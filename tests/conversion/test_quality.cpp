// Whole-table checks of the character mapping and the code pages: every GB2312
// hanzi, every Big5 ideograph, every one- and two-byte sequence.
#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "conversion/icu_codepage.h"
#include "conversion/modes.h"
#include "conversion/opencc_dictionary.h"
#include "conversion/transforms.h"
#include "conversion/unihan_variants.h"

namespace orvela {
namespace {

std::string Pair(int lead, int trail) {
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

bool IsGb2312Hanzi(const std::string& bytes) {
  if (bytes.size() != 2) return false;
  const int lead = bytes[0] & 0xFF, trail = bytes[1] & 0xFF;
  return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE &&
         !(lead == 0xD7 && trail >= 0xFA);  // D7FA-D7FE are empty in GB2312
}

std::vector<std::string> Gb2312Hanzi() {
  std::vector<std::string> all;
  for (int lead = 0xB0; lead <= 0xF7; ++lead)
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
      if (IsGb2312Hanzi(Pair(lead, trail))) all.push_back(Pair(lead, trail));
  return all;
}

std::vector<std::string> Big5Ideographs() {
  IcuCodePage big5(kCp950);
  std::vector<std::string> all;
  for (int code = 0xA440; code <= 0xF9FE; ++code) {
    DecodedUnit unit = big5.Decode(Pair(code >> 8, code & 0xFF));
    if (unit.kind == DecodedUnit::kChar && u_hasBinaryProperty(unit.cp, UCHAR_IDEOGRAPHIC))
      all.push_back(Pair(code >> 8, code & 0xFF));
  }
  return all;
}

TEST(Quality, Gb2312ToBig5LosesAtMost235Hanzi) {
  const std::vector<std::string> hanzi = Gb2312Hanzi();
  ASSERT_EQ(hanzi.size(), 6763u);
  int lost = 0;
  for (const std::string& c : hanzi)
    lost += ApplyMode(ConversionMode::RbGB2Big5, c, CharMapping::kByCharacter).find('?') !=
            std::string::npos;
  std::printf("RbGB2Big5: %d of %zu GB2312 hanzi become \"?\"\n", lost, hanzi.size());
  EXPECT_LE(lost, 235);
}

TEST(Quality, Big5ToGb2312ReachesAtLeast6850Ideographs) {
  const std::vector<std::string> ideographs = Big5Ideographs();
  ASSERT_EQ(ideographs.size(), 13060u);
  int reached = 0;
  for (const std::string& c : ideographs)
    reached += IsGb2312Hanzi(ApplyMode(ConversionMode::RbBig52GB, c, CharMapping::kByCharacter));
  std::printf("RbBig52GB: %d of %zu Big5 ideographs reach GB2312\n", reached, ideographs.size());
  EXPECT_GE(reached, 6850);
}

// Every pair of characters that OpenCC's character dictionaries or Unihan's
// variants relate, either way round.
class Relations {
 public:
  Relations() {
    for (const char* name : {"STCharacters", "TSCharacters", "TWVariants", "TWVariantsRev",
                             "HKVariants", "HKVariantsRev"})
      for (const auto& [key, values] : LoadOpenccCharacters(name))
        for (char32_t value : values) Relate(key, value);
    for (const UnihanVariant& v : UnihanVariants()) Relate(v.from, v.to);
  }
  // A counterpart, or a variant of a counterpart: at most two steps apart.
  bool Near(char32_t a, char32_t b) const {
    const std::set<char32_t>& first = Of(a);
    if (first.count(b)) return true;
    for (char32_t middle : first)
      if (Of(middle).count(b)) return true;
    return false;
  }

 private:
  void Relate(char32_t a, char32_t b) {
    if (a == b) return;
    related_[a].insert(b);
    related_[b].insert(a);
  }
  const std::set<char32_t>& Of(char32_t c) const {
    static const std::set<char32_t> none;
    auto found = related_.find(c);
    return found == related_.end() ? none : found->second;
  }
  std::map<char32_t, std::set<char32_t>> related_;
};

struct Mapped {
  char32_t from, to;
};

// Every double-byte character of cp936 through one mapping; the text must keep its
// length and stay a valid cp936 character.
std::vector<Mapped> MapEveryGbkCharacter(std::string (*map)(std::string_view)) {
  IcuCodePage gbk(kCp936);
  std::vector<Mapped> all;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      DecodedUnit from = gbk.Decode(Pair(lead, trail));
      if (from.kind != DecodedUnit::kChar) continue;
      std::string out = map(Pair(lead, trail));
      EXPECT_EQ(out.size(), 2u);
      DecodedUnit to = gbk.Decode(out);
      EXPECT_EQ(to.kind, DecodedUnit::kChar);
      all.push_back({from.cp, to.cp});
    }
  return all;
}

TEST(Quality, EveryReplacementIsACounterpartOrRecordedVariant) {
  const Relations relations;
  for (auto map : {MapSc2TcByChar, MapTc2ScByChar}) {
    int replaced = 0;
    for (const Mapped& m : MapEveryGbkCharacter(map)) {
      if (m.from == m.to) continue;
      ++replaced;
      EXPECT_TRUE(relations.Near(m.from, m.to))
          << "U+" << std::hex << static_cast<int>(m.from) << " -> U+" << static_cast<int>(m.to);
    }
    EXPECT_GT(replaced, 2000);
  }
}

TEST(Quality, ACharacterThatNeedsNoChangeIsNeverChanged) {
  const CharCandidates st = LoadOpenccCharacters("STCharacters");
  const CharCandidates ts = LoadOpenccCharacters("TSCharacters");
  IcuCodePage gbk(kCp936), big5(kCp950);
  int kept = 0;
  // Simplified to traditional: no traditional form in OpenCC, and Big5 holds it.
  for (const Mapped& m : MapEveryGbkCharacter(MapSc2TcByChar))
    if (!st.count(m.from) && big5.Encode(m.from, false)) {
      EXPECT_EQ(m.to, m.from) << "U+" << std::hex << static_cast<int>(m.from);
      ++kept;
    }
  // Traditional to simplified: no simplified form in OpenCC, and GB2312 holds it.
  for (const Mapped& m : MapEveryGbkCharacter(MapTc2ScByChar)) {
    std::optional<std::string> bytes = gbk.Encode(m.from, false);
    if (!ts.count(m.from) && bytes && IsGb2312Hanzi(*bytes)) {
      EXPECT_EQ(m.to, m.from) << "U+" << std::hex << static_cast<int>(m.from);
      ++kept;
    }
  }
  EXPECT_GT(kept, 10000);
}

// ICU converting a whole text through UTF-16, every malformed sequence and every
// character the target lacks written as "?": the behaviour the tables must have.
std::string IcuReference(const char* to, const char* from, const std::string& text) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* source = ucnv_open(from, &status);
  UConverter* target = ucnv_open(to, &status);
  ucnv_setFallback(target, true);
  static const UChar kMarker = 0xFFFF;  // a noncharacter neither code page holds
  ucnv_setToUCallBack(
      source,
      [](const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
         UConverterCallbackReason reason, UErrorCode* error) {
        if (reason > UCNV_IRREGULAR) return;
        *error = U_ZERO_ERROR;
        ucnv_cbToUWriteUChars(args, &kMarker, 1, 0, error);
      },
      nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(
      target,
      [](const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
         UConverterCallbackReason reason, UErrorCode* error) {
        if (reason > UCNV_IRREGULAR) return;
        *error = U_ZERO_ERROR;
        ucnv_cbFromUWriteBytes(args, "?", 1, 0, error);
      },
      nullptr, nullptr, nullptr, &status);
  std::string out(text.size() * 2 + 8, '\0');
  char* dst = out.data();
  const char* src = text.data();
  ucnv_convertEx(target, source, &dst, out.data() + out.size(), &src, text.data() + text.size(),
                 nullptr, nullptr, nullptr, nullptr, true, true, &status);
  ucnv_close(source);
  ucnv_close(target);
  EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
  out.resize(dst - out.data());
  return out;
}

TEST(Quality, CodePagesGiveWhatIcuGivesForEveryOneAndTwoByteText) {
  struct Direction {
    std::string (*transform)(std::string_view);
    const char* to;
    const char* from;
  } directions[] = {{ConvertGBK2Big5, kCp950, kCp936}, {ConvertBig52GBK, kCp936, kCp950}};
  for (const Direction& d : directions) {
    int differences = 0;
    for (int a = 0; a < 0x100; ++a) {
      std::string one(1, static_cast<char>(a));
      differences += d.transform(one) != IcuReference(d.to, d.from, one);
      for (int b = 0; b < 0x100; ++b) {
        std::string two = one + static_cast<char>(b);
        differences += d.transform(two) != IcuReference(d.to, d.from, two);
      }
    }
    EXPECT_EQ(differences, 0) << d.from << " to " << d.to;
  }
}

TEST(Quality, CodePagesGiveWhatIcuGivesForRandomBytes) {
  unsigned seed = 99;
  auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int length = static_cast<int>(next() % 200);
    for (int i = 0; i < length; ++i) {
      const unsigned r = next();
      text += static_cast<char>(r % 3 == 0 ? r >> 4 & 0x7F : 0x80 | (r >> 4 & 0x7F));
    }
    ASSERT_EQ(ConvertGBK2Big5(text), IcuReference(kCp950, kCp936, text)) << "round " << round;
    ASSERT_EQ(ConvertBig52GBK(text), IcuReference(kCp936, kCp950, text)) << "round " << round;
  }
}

}  // namespace
}  // namespace orvela
