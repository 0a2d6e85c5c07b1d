// Saves 256 entries of 10 exclusion items each and loads them back, on the
// registry store and on a settings file, and prints the times.
//   entry_storage_bench [rounds]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "settings/entry_storage.h"

namespace {

std::vector<MirrorEntry> MakeList() {
  std::vector<MirrorEntry> list;
  for (int i = 0; i < kMaxEntries; ++i) {
    MirrorEntry e;
    e.name = "entry " + std::to_string(i);
    e.source = "/srv/source/tree" + std::to_string(i) + "/";
    e.destination = "/mnt/backup/tree" + std::to_string(i) + "/";
    e.nomirrext = ".bak;.tmp;.";
    e.subdir = e.destination_delete = e.hidden_files = 1;
    e.wildcard = "*.*";
    e.destinationdir_delete = 1;
    for (int j = 0; j < 10; ++j) e.nomirror.push_back(e.source + "excluded" + std::to_string(j) + "/");
    list.push_back(e);
  }
  return list;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Measure(const char* label, const SettingsLocation& store, const std::optional<std::string>& file,
             int rounds) {
  for (int round = 0; round < rounds; ++round) {
    std::vector<MirrorEntry> list = MakeList();
    const auto start = std::chrono::steady_clock::now();
    SaveEntryList(list, store, file);
    const double saved = Seconds(start);
    const auto loadStart = std::chrono::steady_clock::now();
    const auto loaded = LoadEntryList(store, file);
    const double load = Seconds(loadStart);
    std::printf("%-9s round %d: save %.3f s, load %.3f s, total %.3f s%s\n", label, round + 1, saved, load,
                saved + load, loaded == list ? "" : "  (MISMATCH)");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  const auto dir = std::filesystem::temp_directory_path() / ("kelmoray-bench-" + std::to_string(std::rand()));
  std::filesystem::create_directories(dir);
  // The registry store of this platform; natively it is moved into the scratch directory.
  const std::string registryDir = (dir / "registry").string();
#if !defined(_WIN32)
  setenv("KELMORAY_REGISTRY_DIR", registryDir.c_str(), 1);
#endif
  SettingsLocation store;
  store.setKeySuffix = "\\S-bench";
  Measure("registry", store, std::nullopt, rounds);
  Measure("file", store, (dir / "bench.kyf").string(), rounds);
  std::filesystem::remove_all(dir);
  return 0;
}
