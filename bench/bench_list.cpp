// The file list at scale: 1,000,000 distinct paths appended by add-unless-present,
// against pushing the same strings into a std::vector<std::string>; and the heap the
// million entries take.
//
// What is measured is FileListModel, the model behind the view, with its row-insertion
// notifications; it adapts orvela::FileList and stores nothing of its own per entry.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/registry.h"
#include "ui/file_list_model.h"

namespace orvela::bench {
namespace {

constexpr int kEntries = 1'000'000;
constexpr int kRepeats = 3;

using Clock = std::chrono::steady_clock;

// Paths as a folder import produces them: a shared folder part, distinct names.
std::vector<std::string> MakePaths() {
  std::vector<std::string> paths;
  paths.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i)
    paths.push_back("/home/user/文档/项目" + std::to_string(i / 1000) + "/chapter-" +
                    std::to_string(i) + ".txt");
  return paths;
}

// Bytes handed out by malloc, from its arenas and as separate mappings.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Each side starts from a consolidated heap, so neither inherits the other's freed
// chunks.
template <class Fill>
double Seconds(Fill fill) {
  malloc_trim(0);
  const auto start = Clock::now();
  fill();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Run() {
  const std::vector<std::string> paths = MakePaths();
  double orvela = 1e9, vector = 1e9;
  std::size_t listBytes = 0, vectorBytes = 0;
  for (int r = 0; r < kRepeats; ++r) {
    {
      const std::size_t before = HeapInUse();
      FileListModel model;
      orvela = std::min(orvela, Seconds([&] {
                          for (const std::string& p : paths) model.AddUnlessPresent(p);
                        }));
      listBytes = HeapInUse() - before;
      if (model.List().Count() != kEntries)
        std::printf("list: wrong count %ld\n", model.List().Count());
    }
    {
      const std::size_t before = HeapInUse();
      std::vector<std::string> peer;
      vector = std::min(vector, Seconds([&] {
                          for (const std::string& p : paths) peer.push_back(p);
                        }));
      vectorBytes = HeapInUse() - before;
    }
  }
  std::printf("list orvela=%.3f vector=%.3f ratio=%.2f\n", orvela, vector, orvela / vector);
  std::printf("list-memory mb=%.1f vector-mb=%.1f entries=%d path-bytes=%zu\n",
              listBytes / 1048576.0, vectorBytes / 1048576.0, kEntries, paths[kEntries / 2].size());
}

Register reg("list", 30, Run);

}  // namespace
}  // namespace orvela::bench
