#include "conversion/run.h"

#include <cstring>

#include "base/whole_file.h"
#include "conversion/background_writer.h"
#include "conversion/charset_tag.h"

namespace orvela {

RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        bool alterCharsetTag, CharMapping mapping) {
  RunReport report;
  const int direction = CharsetTagDirection(mode, alterCharsetTag);
  // Each file is written on a helper thread while the next one is read and converted. Should
  // a file fail, the one before it has been written (the destructor waits for it), so every
  // file before the failure stays converted and nothing after it is written.
  BackgroundWriter writer;
  for (const std::string& path : paths) {
    if (writer.Rewrites(path)) writer.Wait();  // listed twice: read its new text
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
    std::string converted = ApplyMode(mode, *file.bytes, mapping);
    file.bytes.reset();
    // The tag step works on the text just converted, so each file is written once.
    if (direction) AlterCharsetTagText(direction, converted);
    writer.Start(path, std::move(converted), file.device, file.inode);
  }
  writer.Wait();
  return report;
}

std::string CompletionMessage(const RunReport& report) {
  std::string message = "编码转换完成！";
  if (!report.leftAlone.empty()) message += "\n\n以下文件未改动：";
  for (const LeftAlone& file : report.leftAlone) message += "\n" + file.path + "：" + file.reason;
  return message;
}

}  // namespace orvela
