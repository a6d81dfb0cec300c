// Folder import: the recursive scan into an empty file list, against a plain
// recursive std::filesystem walk collecting the same names; and how the import's
// time grows from 100,000 to 200,000 files.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/registry.h"
#include "filelist/file_list.h"
#include "folders/file_type_list.h"
#include "folders/folder_scan.h"
#include "folders/posix_directory_search.h"

namespace orvela::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFilesPerFolder = 50;
constexpr int kSubfoldersPerTop = 49;  // each top folder and its 49 subfolders: 50 folders
constexpr int kRepeats = 5;

// A generated tree in a temporary folder: files / 50 folders of 50 files each, two
// levels deep, a third of the files of a listed type; removed with the object.
class GeneratedTree {
 public:
  explicit GeneratedTree(int files) {
    std::string pattern = (fs::temp_directory_path() / "orvela-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern + "/";
    const int folders = files / kFilesPerFolder;
    int made = 0;
    for (int top = 0; made < folders; ++top) {
      const std::string topDir = root_ + "top" + std::to_string(top) + "/";
      Fill(topDir, made++);
      for (int sub = 0; sub < kSubfoldersPerTop && made < folders; ++sub)
        Fill(topDir + "sub" + std::to_string(sub) + "/", made++);
    }
  }
  ~GeneratedTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const std::string& Root() const { return root_; }

 private:
  static void Fill(const std::string& dir, int folder) {
    fs::create_directories(dir);
    static const char* const kinds[] = {".txt", ".dat", ".bin"};
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const int n = folder * kFilesPerFolder + i;
      std::ofstream(dir + "f" + std::to_string(n) + kinds[n % 3]);
    }
  }
  std::string root_;
};

// Trees are made once per size and shared by both measurements.
GeneratedTree& Tree(int files) {
  static std::map<int, std::unique_ptr<GeneratedTree>> trees;
  auto& tree = trees[files];
  if (!tree) tree = std::make_unique<GeneratedTree>(files);
  return *tree;
}

template <class F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The folder import as the window runs it, minus the window: IndexDisk into a file list.
double Import(const std::string& root, long expected) {
  FileTypeList types;
  FileList list;
  PosixDirectorySearch search(/*readOnlyFlag=*/false);  // as the import runs it
  const ScanCallbacks callbacks{[&](const std::string& p) { return types.Contains(p); },
                                [&](const std::string& p) { list.AddUnlessPresent(p); }, [] {}};
  const double t = Seconds([&] { IndexDisk(search, root, callbacks); });
  if (list.Count() != expected) std::fprintf(stderr, "import: %ld paths\n", list.Count());
  return t;
}

// The peer: every regular file of a listed type, by std::filesystem.
double Walk(const std::string& root, long expected) {
  FileTypeList types;
  std::vector<std::string> names;
  const double t = Seconds([&] {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::string path = entry.path().string();
      const auto slash = path.rfind('/');
      const auto dot = path.rfind('.');
      const std::string pattern =
          dot != std::string::npos && dot > slash ? "*" + path.substr(dot) : "*";
      if (types.Contains(pattern)) names.push_back(std::move(path));
    }
  });
  if (static_cast<long>(names.size()) != expected)
    std::fprintf(stderr, "walk: %zu paths\n", names.size());
  return t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double ImportMedian(int files) {
  const GeneratedTree& tree = Tree(files);
  std::vector<double> times;
  for (int i = 0; i < kRepeats; ++i) times.push_back(Import(tree.Root(), (files + 2) / 3));
  return Median(times);
}

void ImportMeasurement() {
  const GeneratedTree& tree = Tree(100000);
  const long expected = (100000 + 2) / 3;
  Walk(tree.Root(), expected);  // warms the caches for both
  std::vector<double> orvela, walk;
  for (int i = 0; i < kRepeats; ++i) {
    orvela.push_back(Import(tree.Root(), expected));
    walk.push_back(Walk(tree.Root(), expected));
  }
  const double o = Median(orvela), w = Median(walk);
  std::printf(
      "import orvela=%.3f walk=%.3f ratio=%.2f  (100000 files in 2000 folders, median of %d)\n", o,
      w, o / w, kRepeats);
}

void ImportScaleMeasurement() {
  ImportMedian(200000);  // makes the tree and warms the caches
  const double t100 = ImportMedian(100000);
  const double t200 = ImportMedian(200000);
  std::printf("import-scale ratio=%.2f  (t(200k)=%.3f t(100k)=%.3f)\n", t200 / t100, t200, t100);
}

Register importReg("import", 40, ImportMeasurement);
Register scaleReg("import-scale", 41, ImportScaleMeasurement);

}  // namespace
}  // namespace orvela::bench
