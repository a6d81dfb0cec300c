// OpenCC's character dictionaries as plain maps from one character to its candidates.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvela {

using CharCandidates = std::map<char32_t, std::vector<char32_t>>;

// Loads /usr/share/opencc/<name>.ocd2; keys and values that are not one character
// are left out. Throws Error("Cannot open file <path>") when it cannot be read.
CharCandidates LoadOpenccCharacters(const std::string& name);

}  // namespace orvela
