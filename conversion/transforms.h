// The four encoding transforms. Byte strings in, byte strings out; a result may be
// longer or shorter than its input.
#pragma once

#include <string>
#include <string_view>

namespace orvela {

std::string ConvertBig52GBK(std::string_view big5);  // cp950 -> cp936, characters kept
std::string ConvertGBK2Big5(std::string_view gbk);   // cp936 -> cp950, characters kept
std::string MapSc2Tc(std::string_view gbk);          // simplified -> traditional, stays cp936
std::string MapTc2Sc(std::string_view gbk);          // traditional -> simplified, stays cp936

// The same, appending to out: a caller that converts many texts keeps one buffer.
void AppendBig52GBK(std::string_view big5, std::string& out);
void AppendGBK2Big5(std::string_view gbk, std::string& out);
void AppendSc2Tc(std::string_view gbk, std::string& out);
void AppendTc2Sc(std::string_view gbk, std::string& out);

}  // namespace orvela
