// The conversion run over a folder of real text against the floor of reading and
// crash-safely rewriting the same files unchanged.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/whole_file.h"
#include "bench/background_writer.h"
#include "bench/corpus.h"
#include "bench/registry.h"
#include "conversion/modes.h"
#include "conversion/run.h"

namespace orvela::bench {
namespace {

constexpr std::size_t kFiles = 320;
constexpr std::size_t kTotalBytes = 64u << 20;
constexpr int kRounds = 5;

// The files' contents: the corpus cut at line breaks; every fourth file a web page whose
// second line is its META declaration.
std::vector<std::string> Contents() {
  const std::string corpus = GbkCorpus(kTotalBytes + kTotalBytes / 8);
  const std::size_t share = kTotalBytes / kFiles + 1;
  std::vector<std::string> contents;
  std::size_t at = 0;
  for (std::size_t i = 0; i < kFiles; ++i) {
    std::size_t end = std::min(corpus.find('\n', at + share), corpus.size() - 1) + 1;
    std::string text = corpus.substr(at, end - at);
    at = end;
    if (i % 4 == 0)
      text =
          "<html><head>\r\n"
          "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
          "<title>page</title></head>\r\n<body><pre>\r\n" +
          text + "</pre></body></html>\r\n";
    contents.push_back(std::move(text));
  }
  return contents;
}

void Lay(const std::vector<std::string>& paths, const std::vector<std::string>& contents) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    std::ofstream out(paths[i], std::ios::binary | std::ios::trunc);
    out << contents[i];
  }
  ::sync();  // neither side pays for the other's write-back
}

template <class F>
double Seconds(F&& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RunMeasurement() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvela-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    std::puts("run: cannot make a temporary folder");
    return;
  }
  const std::filesystem::path folder = pattern;
  const std::vector<std::string> contents = Contents();
  std::vector<std::string> paths;
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    paths.push_back((folder / ("file" + std::to_string(i) + (i % 4 ? ".txt" : ".htm"))).string());
    bytes += contents[i].size();
  }
  ApplyMode(ConversionMode::RbGB2Big5, "\xBA\xBA");  // the tables are built at first use

  // Each round times the floor and the run back to back; the round with the median ratio is
  // reported, so that a burst of other disk traffic during one round does not decide it.
  struct Round {
    double orvela, floor;
  };
  std::vector<Round> rounds;
  for (int round = 0; round < kRounds; ++round) {
    Lay(paths, contents);
    // The run's own reading and writing, with the same overlap of the two.
    double floor = Seconds([&] {
      BackgroundWriter writer;
      for (std::size_t i = 0; i < paths.size(); ++i) {
        WholeFile file = ReadWholeFile(paths[i]);
        writer.Start(i, paths[i], std::move(file.at), std::move(*file.bytes));
      }
      writer.Wait();
    });
    Lay(paths, contents);
    double orvela = Seconds([&] { RunConversion(paths, ConversionMode::RbGB2Big5, {}); });
    rounds.push_back({orvela, floor});
  }
  std::sort(rounds.begin(), rounds.end(),
            [](const Round& a, const Round& b) { return a.orvela / a.floor < b.orvela / b.floor; });
  const Round& median = rounds[rounds.size() / 2];
  std::filesystem::remove_all(folder);
  std::printf("run orvela=%.3f floor=%.3f ratio=%.2f\n", median.orvela, median.floor,
              median.orvela / median.floor);
  std::printf("  (%zu files, %.1f MB, median of %d rounds)\n", paths.size(), bytes / 1048576.0,
              kRounds);
}

Register reg("run", 20, RunMeasurement);

}  // namespace
}  // namespace orvela::bench
