// Table-driven: the tables hold exactly what ICU's Windows code pages and OpenCC's
// character dictionaries give, so the loops never call either library.
#include "conversion/transforms.h"

#include "conversion/char_map_table.h"
#include "conversion/codepage_table.h"

namespace orvela {

std::string ConvertBig52GBK(std::string_view big5) {
  std::string out;
  Transcode(Big52GbkTable(), big5, out);
  return out;
}

std::string ConvertGBK2Big5(std::string_view gbk) {
  std::string out;
  Transcode(Gbk2Big5Table(), gbk, out);
  return out;
}

std::string MapSc2Tc(std::string_view gbk) {
  std::string out;
  MapChars(Sc2TcTable(), gbk, out);
  return out;
}

std::string MapTc2Sc(std::string_view gbk) {
  std::string out;
  MapChars(Tc2ScTable(), gbk, out);
  return out;
}

}  // namespace orvela
