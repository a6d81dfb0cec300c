#include "conversion/run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <set>
#include <tuple>
#include <utility>

#include "base/safe_rewrite.h"
#include "base/whole_file.h"
#include "conversion/background_writer.h"
#include "conversion/charset_tag.h"
#include "conversion/display_name.h"
#include "conversion/encoding_guard.h"

namespace orvela {

RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        const RunOptions& options) {
  const int direction = CharsetTagDirection(mode, options.alterCharsetTag);
  std::vector<std::pair<std::size_t, LeftAlone>> leftAlone;
  // Files met so far, by inode and by name in their folder: a file rewritten through a new file
  // has a new inode, and may be met again under its old name.
  std::set<std::pair<dev_t, ino_t>> files;
  std::set<std::tuple<dev_t, ino_t, std::string>> names;
  auto refuse = [&](const FileAt& at) -> std::string {
    const bool newInode = files.emplace(at.st.st_dev, at.st.st_ino).second;
    const bool newName = names.emplace(at.folderStat.st_dev, at.folderStat.st_ino, at.name).second;
    if (!newInode || !newName) return kSameFileAsBefore;
    if (std::optional<std::string> copy = RecoveryCopyOf(at))
      return "上次转换被中断，原文件的完整副本在 " + *copy;
    return {};
  };
  // Each file is written on a helper thread while the next one is read and converted. Should
  // a file fail, the one before it has been written (the destructor waits for it), so every
  // file before the failure stays converted and nothing after it is written.
  BackgroundWriter writer;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    WholeFile file = ReadWholeFile(path, refuse);
    if (!file.bytes) {
      leftAlone.push_back({i, {path, std::move(file.whyNot)}});
      continue;
    }
    RemoveLeftoverOf(file.at);
    if (options.checkEncoding)
      if (std::optional<std::string> why = EncodingProblem(*file.bytes, SourceEncodingOf(mode))) {
        leftAlone.push_back({i, {path, std::move(*why)}});
        continue;
      }
    // UTF-16 text or a binary: the transforms would stop at the zero byte and lose the rest.
    if (std::memchr(file.bytes->data(), '\0', file.bytes->size())) {
      leftAlone.push_back({i, {path, "含有零字节，不是文本文件"}});
      continue;
    }
    std::string converted;
    try {
      converted = ApplyMode(mode, *file.bytes, options.mapping);
      // The tag step works on the text just converted, so each file is written once.
      if (direction) AlterCharsetTagText(direction, converted);
    } catch (const std::bad_alloc&) {
      leftAlone.push_back(
          {i, {path, std::string("内存不足，无法转换（") + std::strerror(ENOMEM) + "）"}});
      continue;
    }
    if (converted == *file.bytes) continue;  // nothing to write: the file keeps inode and times
    file.bytes.reset();
    writer.Start(i, path, std::move(file.at), std::move(converted));
  }
  writer.Wait();
  for (BackgroundWriter::Unwritten& u : writer.TakeUnwritten())
    leftAlone.push_back({u.index, {std::move(u.path), std::move(u.reason)}});
  std::stable_sort(leftAlone.begin(), leftAlone.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  RunReport report;
  report.listed = paths.size();
  for (auto& entry : leftAlone) report.leftAlone.push_back(std::move(entry.second));
  return report;
}

std::string CompletionSummary(const RunReport& report) {
  std::string summary = "编码转换完成！";
  if (!report.leftAlone.empty())
    summary += "\n已转换 " + std::to_string(report.listed - report.leftAlone.size()) + " 个文件，" +
               std::to_string(report.leftAlone.size()) + " 个文件未改动。";
  return summary;
}

std::string LeftAloneList(const RunReport& report, bool displayNames) {
  if (report.leftAlone.empty()) return {};
  std::string list = "以下文件未改动：";
  for (const LeftAlone& file : report.leftAlone)
    list += "\n" + (displayNames ? DisplayName(file.path) : file.path) + "：" + file.reason;
  return list;
}

std::string CompletionMessage(const RunReport& report) {
  const std::string list = LeftAloneList(report, false);
  return CompletionSummary(report) + (list.empty() ? "" : "\n\n" + list);
}

}  // namespace orvela
