#include "conversion/char_candidates.h"

#include <algorithm>

#include "conversion/unihan_variants.h"

namespace orvela {

namespace {
CharCandidates Reverse(const CharCandidates& forward) {
  CharCandidates reverse;
  for (const auto& [key, values] : forward)
    for (char32_t value : values)
      if (value != key) reverse[value].push_back(key);
  return reverse;
}

const std::vector<char32_t>& Lookup(const CharCandidates& map, char32_t c) {
  static const std::vector<char32_t> none;
  auto found = map.find(c);
  return found == map.end() ? none : found->second;
}

class OrderedSet {
 public:
  void Add(char32_t c) {
    if (std::find(list_.begin(), list_.end(), c) == list_.end()) list_.push_back(c);
  }
  void Add(const std::vector<char32_t>& cs) {
    for (char32_t c : cs) Add(c);
  }
  std::vector<char32_t> Take() { return std::move(list_); }

 private:
  std::vector<char32_t> list_;
};
}  // namespace

CharCandidateSource::CharCandidateSource()
    : st_(LoadOpenccCharacters("STCharacters")),
      ts_(LoadOpenccCharacters("TSCharacters")),
      stReverse_(Reverse(st_)),
      tsReverse_(Reverse(ts_)),
      twVariants_(LoadOpenccCharacters("TWVariants")),
      twVariantsRev_(LoadOpenccCharacters("TWVariantsRev")),
      hkVariants_(LoadOpenccCharacters("HKVariants")),
      hkVariantsRev_(LoadOpenccCharacters("HKVariantsRev")) {
  for (const UnihanVariant& v : UnihanVariants()) {
    switch (v.field) {
      case UnihanField::kTraditional:
        unihanTraditional_[v.from].push_back(v.to);
        break;
      case UnihanField::kSimplified:
        unihanSimplified_[v.from].push_back(v.to);
        break;
      case UnihanField::kSemantic:
      case UnihanField::kZ:
        unihanSemantic_[v.from].push_back(v.to);
        break;
    }
  }
}

const std::vector<char32_t>& CharCandidateSource::OpenccTraditional(char32_t c) const {
  return Lookup(st_, c);
}

const std::vector<char32_t>& CharCandidateSource::OpenccSimplified(char32_t c) const {
  return Lookup(ts_, c);
}

std::vector<char32_t> CharCandidateSource::Traditional(char32_t c) const {
  const std::vector<char32_t>& forms = Lookup(st_, c);
  OrderedSet out;
  // OpenCC's forms, each followed by its Taiwan and Hong Kong standard forms.
  for (char32_t form : forms) {
    out.Add(form);
    out.Add(Lookup(twVariants_, form));
    out.Add(Lookup(hkVariants_, form));
  }
  out.Add(Lookup(twVariants_, c));
  out.Add(Lookup(hkVariants_, c));
  out.Add(Lookup(tsReverse_, c));  // characters OpenCC simplifies to c
  out.Add(Lookup(unihanTraditional_, c));
  // Semantic variants only stand in for a traditional form OpenCC knows of: a
  // character without one (a radical like 亻) keeps its own shape.
  if (!forms.empty()) {
    out.Add(Lookup(unihanSemantic_, c));
    for (char32_t form : forms) out.Add(Lookup(unihanSemantic_, form));
  }
  return out.Take();
}

std::vector<char32_t> CharCandidateSource::Simplified(char32_t c) const {
  const std::vector<char32_t>& forms = Lookup(ts_, c);
  OrderedSet out;
  out.Add(forms);
  out.Add(Lookup(stReverse_, c));  // characters OpenCC makes traditional as c
  // A Taiwan or Hong Kong form: the simplified forms of its OpenCC standard form.
  for (const CharCandidates* rev : {&twVariantsRev_, &hkVariantsRev_})
    for (char32_t standard : Lookup(*rev, c)) {
      out.Add(Lookup(ts_, standard));
      out.Add(standard);
    }
  out.Add(Lookup(unihanSimplified_, c));
  // GB2312 dropped many variant forms for one standard form (埜 for 野).
  out.Add(Lookup(unihanSemantic_, c));
  for (char32_t form : forms) out.Add(Lookup(unihanSemantic_, form));
  return out.Take();
}

}  // namespace orvela
