// Makes a tree for the benchmarks, or changes one.
//   make_tree create ROOT FILES DIRECTORIES MIN_KIB MAX_KIB   files in a two-level tree
//   make_tree big ROOT COUNT MIB                                COUNT files of MIB MiB
//   make_tree change ROOT PERCENT SEED                          rewrite, add and delete PERCENT % of the files

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void WriteRandom(const fs::path& path, size_t bytes, std::mt19937_64& random) {
  std::vector<std::uint64_t> data((bytes + 7) / 8);
  for (auto& word : data) word = random();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                              static_cast<std::streamsize>(bytes));
}

int Create(const fs::path& root, int files, int directories, int minKiB, int maxKiB) {
  std::mt19937_64 random(1);
  std::uniform_int_distribution<int> size(minKiB * 1024, maxKiB * 1024);
  const int top = std::max(1, static_cast<int>(std::sqrt(directories)));
  for (int d = 0, n = 0; d < directories; ++d) {
    const fs::path dir = root / ("t" + std::to_string(d % top)) / ("d" + std::to_string(d));
    fs::create_directories(dir);
    for (int f = 0; f < files / directories; ++f, ++n)
      WriteRandom(dir / ("f" + std::to_string(n) + ".dat"), static_cast<size_t>(size(random)), random);
  }
  return 0;
}

int Big(const fs::path& root, int count, int mebibytes) {
  std::mt19937_64 random(2);
  fs::create_directories(root);
  for (int i = 0; i < count; ++i)
    WriteRandom(root / ("big" + std::to_string(i) + ".bin"), static_cast<size_t>(mebibytes) << 20, random);
  return 0;
}

int Change(const fs::path& root, int percent, int seed) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::mt19937_64 random(static_cast<std::uint64_t>(seed));
  std::shuffle(files.begin(), files.end(), random);
  const size_t count = files.size() * static_cast<size_t>(percent) / 100;
  for (size_t i = 0; i < count; ++i) {
    WriteRandom(files[i], 2048 + i % 4096, random);                        // changed
    fs::remove(files[count + i]);                                          // deleted
    WriteRandom(files[2 * count + i].parent_path() /
                    ("new" + std::to_string(seed) + "_" + std::to_string(i) + ".dat"),
                3000, random);                                              // added
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() == 6 && a[0] == "create")
    return Create(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()), std::atoi(a[4].c_str()),
                  std::atoi(a[5].c_str()));
  if (a.size() == 4 && a[0] == "big") return Big(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()));
  if (a.size() == 4 && a[0] == "change") return Change(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()));
  std::fputs("usage: make_tree create|big|change ...\n", stderr);
  return 2;
}
