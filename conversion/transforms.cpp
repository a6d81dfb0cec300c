// Table-driven: the tables hold exactly what ICU's Windows code pages and OpenCC's
// dictionaries give, so the transforms never call either library.
#include "conversion/transforms.h"

#include "conversion/byte_table.h"
#include "conversion/char_map_table.h"
#include "conversion/codepage_table.h"
#include "conversion/phrase_table.h"

namespace orvela {

void AppendBig52GBK(std::string_view big5, std::string& out) {
  ApplyByteTable(Big52GbkTable(), big5, out);
}

void AppendGBK2Big5(std::string_view gbk, std::string& out) {
  ApplyByteTable(Gbk2Big5Table(), gbk, out);
}

void AppendSc2Tc(std::string_view gbk, std::string& out) {
  Sc2TcPhraseTable(MappingTarget::kGbk).Apply(gbk, out);
}

void AppendTc2Sc(std::string_view gbk, std::string& out) {
  Tc2ScPhraseTable().Apply(gbk, out);
}

void AppendSc2TcByChar(std::string_view gbk, std::string& out) {
  ApplyByteTable(Sc2TcTable(), gbk, out);
}

void AppendTc2ScByChar(std::string_view gbk, std::string& out) {
  ApplyByteTable(Tc2ScTable(), gbk, out);
}

namespace {
std::string Fresh(void (*transform)(std::string_view, std::string&), std::string_view text) {
  std::string out;
  transform(text, out);
  return out;
}
}  // namespace

std::string ConvertBig52GBK(std::string_view big5) {
  return Fresh(AppendBig52GBK, big5);
}
std::string ConvertGBK2Big5(std::string_view gbk) {
  return Fresh(AppendGBK2Big5, gbk);
}
std::string MapSc2Tc(std::string_view gbk) {
  return Fresh(AppendSc2Tc, gbk);
}
std::string MapTc2Sc(std::string_view gbk) {
  return Fresh(AppendTc2Sc, gbk);
}
std::string MapSc2TcByChar(std::string_view gbk) {
  return Fresh(AppendSc2TcByChar, gbk);
}
std::string MapTc2ScByChar(std::string_view gbk) {
  return Fresh(AppendTc2ScByChar, gbk);
}

}  // namespace orvela
