// The four encoding transforms. Byte strings in, byte strings out; a result may be
// longer or shorter than its input.
#pragma once

#include <string>
#include <string_view>

namespace orvela {

std::string ConvertBig52GBK(std::string_view big5);  // cp950 -> cp936, characters kept
std::string ConvertGBK2Big5(std::string_view gbk);   // cp936 -> cp950, characters kept
// Simplified <-> traditional inside cp936, phrase-aware: OpenCC's s2tw and tw2s.
std::string MapSc2Tc(std::string_view gbk);
std::string MapTc2Sc(std::string_view gbk);
// The same character for character, whatever the neighbours.
std::string MapSc2TcByChar(std::string_view gbk);
std::string MapTc2ScByChar(std::string_view gbk);

// The same, appending to out: a caller that converts many texts keeps one buffer.
void AppendBig52GBK(std::string_view big5, std::string& out);
void AppendGBK2Big5(std::string_view gbk, std::string& out);
void AppendSc2Tc(std::string_view gbk, std::string& out);
void AppendTc2Sc(std::string_view gbk, std::string& out);
void AppendSc2TcByChar(std::string_view gbk, std::string& out);
void AppendTc2ScByChar(std::string_view gbk, std::string& out);

}  // namespace orvela
