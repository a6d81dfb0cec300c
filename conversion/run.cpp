#include "conversion/run.h"

#include <cstring>

#include "conversion/charset_tag.h"
#include "conversion/safe_rewrite.h"
#include "conversion/whole_file.h"

namespace orvela {

RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        bool alterCharsetTag) {
  RunReport report;
  const int direction = CharsetTagDirection(mode, alterCharsetTag);
  for (const std::string& path : paths) {
    WholeFile file = ReadWholeFile(path);
    if (!file.bytes) {
      report.leftAlone.push_back({path, std::move(file.whyNot)});
      continue;
    }
    // UTF-16 text or a binary: the transforms would stop at the zero byte and lose the rest.
    if (std::memchr(file.bytes->data(), '\0', file.bytes->size())) {
      report.leftAlone.push_back({path, "含有零字节，不是文本文件"});
      continue;
    }
    std::string converted = ApplyMode(mode, *file.bytes);
    file.bytes.reset();
    // The tag step works on the text just converted, so each file is written once.
    if (direction) AlterCharsetTagText(direction, converted);
    SafeRewrite(path, converted);
  }
  return report;
}

std::string CompletionMessage(const RunReport& report) {
  std::string message = "编码转换完成！";
  if (!report.leftAlone.empty()) message += "\n\n以下文件未改动：";
  for (const LeftAlone& file : report.leftAlone) message += "\n" + file.path + "：" + file.reason;
  return message;
}

}  // namespace orvela
