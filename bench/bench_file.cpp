// One large file converted in place by the real orvela-convert process, against the iconv
// program's way of doing the same (convert into a new file, flush it, rename it over the
// old), and the peak memory of orvela-convert on a file of a gigabyte.
#include <fcntl.h>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "bench/registry.h"
#include "conversion/modes.h"

namespace orvela::bench {
namespace {

constexpr std::size_t kMb = 1 << 20;
constexpr std::size_t kFileBytes = 256 * kMb;
constexpr std::size_t kMemoryFileBytes = 1024 * kMb;
constexpr int kRounds = 3;

// The traditional corpus in cp936, kept to the lines that glibc's CP950 and ours both convert
// whole and alike: the iconv program stops at the first character it cannot convert.
const std::string& Lines() {
  static const std::string lines = [] {
    const std::string corpus = TraditionalGbkCorpus(1);  // the corpus once
    iconv_t cd = ::iconv_open("CP950", "CP936");
    std::string kept;
    std::vector<char> out;
    for (std::size_t at = 0; at < corpus.size();) {
      std::size_t end = corpus.find('\n', at);
      end = end == std::string::npos ? corpus.size() : end + 1;
      std::string line = corpus.substr(at, end - at);
      at = end;
      out.assign(line.size() * 2 + 16, '\0');
      char* in = line.data();
      std::size_t inLeft = line.size(), outLeft = out.size();
      char* o = out.data();
      ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (::iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1)) continue;
      if (std::string(out.data(), o) != ApplyMode(ConversionMode::RbGBK2Big5, line)) continue;
      kept += line;
    }
    ::iconv_close(cd);
    return kept;
  }();
  return lines;
}

std::string Text(std::size_t bytes) {
  if (Lines().empty()) return {};
  std::string text;
  text.reserve(bytes + Lines().size());
  while (text.size() < bytes) text += Lines();
  return text;
}

std::string OrvelaConvert() {
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "orvela-convert";
  return std::filesystem::path(std::string(self, static_cast<std::size_t>(n))).parent_path() /
         "orvela-convert";
}

// Why a folder lacks room for bytes, or nothing.
std::optional<std::string> NoRoom(const std::filesystem::path& folder, std::size_t bytes) {
  struct statvfs vfs;
  if (::statvfs(folder.c_str(), &vfs) != 0)
    return "cannot tell the free space of " + folder.string();
  const std::size_t free = static_cast<std::size_t>(vfs.f_bavail) * vfs.f_frsize;
  if (free >= bytes) return std::nullopt;
  return std::to_string(free / kMb) + " MB free in " + folder.string() + ", " +
         std::to_string(bytes / kMb) + " MB needed";
}

struct Child {
  int status = -1;
  double seconds = 0;
  long maxRssKb = 0;
};

// Runs argv with its output to /dev/null, timed from start to end.
Child RunChild(const std::vector<std::string>& argv) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  Child child;
  struct rusage usage {};
  if (pid > 0 && ::wait4(pid, &child.status, 0, &usage) == pid) {
    child.maxRssKb = usage.ru_maxrss;
    child.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  return child;
}

void Lay(const std::string& path, const std::string& bytes, int times = 1) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < times; ++i) out << bytes;
  out.close();
  ::sync();  // neither side pays for the other's write-back
}

bool Holds(const std::string& path, const std::string& bytes, int times = 1) {
  std::ifstream in(path, std::ios::binary);
  std::string chunk(bytes.size(), '\0');
  for (int i = 0; i < times; ++i)
    if (!in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || chunk != bytes)
      return false;
  return in.peek() == std::char_traits<char>::eof();
}

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvela-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  bool Made() const { return !path_.empty(); }
  std::string operator/(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void FileMeasurement() {
  if (std::optional<std::string> why =
          NoRoom(std::filesystem::temp_directory_path(), 3 * kFileBytes + 256 * kMb)) {
    std::printf("file: skipped, %s\n", why->c_str());
    return;
  }
  Folder folder;
  if (!folder.Made()) {
    std::puts("file: skipped, cannot make a temporary folder");
    return;
  }
  const std::string text = Text(kFileBytes);
  if (text.empty()) {
    std::puts("file: skipped, no corpus text that both convert alike");
    return;
  }
  const std::string expected = ApplyMode(ConversionMode::RbGBK2Big5, text);
  const std::string ours = folder / "orvela.txt", theirs = folder / "iconv.txt";
  const std::vector<std::string> orvela = {OrvelaConvert(), "--mode", "gbk2big5", ours};
  const std::vector<std::string> iconv = {
      "/bin/sh", "-c",
      "iconv -f CP936 -t CP950 \"$1\" > \"$1.tmp\" && sync \"$1.tmp\" && mv \"$1.tmp\" \"$1\"",
      "sh", theirs};
  double best[2] = {1e9, 1e9};
  for (int round = 0; round <= kRounds; ++round) {
    Lay(ours, text);
    const Child a = RunChild(orvela);
    Lay(theirs, text);
    const Child b = RunChild(iconv);
    if (a.status != 0 || b.status != 0) {
      std::printf("file: failed, orvela-convert status %d, iconv status %d\n", a.status, b.status);
      return;
    }
    if (round == 0) {  // both complete and equal before anything is timed
      if (!Holds(ours, expected) || !Holds(theirs, expected)) {
        std::puts("file: failed, the two outputs are not the same complete text");
        return;
      }
      continue;
    }
    best[0] = std::min(best[0], a.seconds);
    best[1] = std::min(best[1], b.seconds);
  }
  std::printf("file orvela=%.3f iconv=%.3f ratio=%.2f\n", best[0], best[1], best[1] / best[0]);
  std::printf("  (%.0f MB GBK to Big5 in place, best of %d, target ratio >= 2)\n",
              text.size() / double(kMb), kRounds);
}

void FileMemoryMeasurement() {
  if (std::optional<std::string> why =
          NoRoom(std::filesystem::temp_directory_path(), 2 * kMemoryFileBytes + 256 * kMb)) {
    std::printf("file-memory: skipped, %s\n", why->c_str());
    return;
  }
  Folder folder;
  if (!folder.Made()) {
    std::puts("file-memory: skipped, cannot make a temporary folder");
    return;
  }
  // The file is laid from the corpus lines without holding it whole: a forked child counts the
  // resident memory of the process it was forked from.
  const std::string& lines = Lines();
  if (lines.empty()) {
    std::puts("file-memory: skipped, no corpus text that both convert alike");
    return;
  }
  const int times = static_cast<int>((kMemoryFileBytes + lines.size() - 1) / lines.size());
  const std::string path = folder / "large.txt";
  Lay(path, lines, times);
  const Child child = RunChild({OrvelaConvert(), "--mode", "gbk2big5", path});
  if (child.status != 0 || !Holds(path, ApplyMode(ConversionMode::RbGBK2Big5, lines), times)) {
    std::printf("file-memory: failed, orvela-convert status %d or its output incomplete\n",
                child.status);
    return;
  }
  const std::size_t bytes = lines.size() * static_cast<std::size_t>(times);
  std::printf("file-memory orvela-mb=%.1f file-mb=%zu\n", child.maxRssKb / 1024.0, bytes / kMb);
  std::puts("  (peak resident memory of orvela-convert, target <= 64 MB)");
}

Register file("file", 30, FileMeasurement);
// First of all: a forked child's peak counts the memory of the process it was forked
// from, so this runs before the other measurements have filled the bench's own memory.
Register fileMemory("file-memory", 1, FileMemoryMeasurement);

}  // namespace
}  // namespace orvela::bench
