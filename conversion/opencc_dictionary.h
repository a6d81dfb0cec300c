// OpenCC's dictionaries, read through its library from /usr/share/opencc.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvela {

using CharCandidates = std::map<char32_t, std::vector<char32_t>>;

// Loads <name>.ocd2 as a map from one character to its candidates; keys and values
// that are not one character are left out. Throws Error("Cannot open file <path>")
// when it cannot be read.
CharCandidates LoadOpenccCharacters(const std::string& name);

struct DictionaryEntry {
  std::u32string key;
  std::u32string value;  // the first of the entry's values, the one OpenCC writes
};

// Every entry of <name>.ocd2, in the dictionary's order. Throws as above.
std::vector<DictionaryEntry> LoadOpenccEntries(const std::string& name);

}  // namespace orvela
