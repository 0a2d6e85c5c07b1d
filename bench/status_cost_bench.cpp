// What the status texts cost a run: the same first copy and no-change run,
// once with a main window that receives every status text on a thread of
// its own, once with none, alternating, on the tree that mirror_bench made.
//   status_cost_bench SOURCE WORK_DIRECTORY [rounds]

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/kelmdup_doc.h"
#include "foundation/profile.h"
#include "posting/post_data.h"
#include "settings/entry_storage.h"

namespace {

class CountingFrame : public CtPostData {
 public:
  void OnPostData(platform::WindowHandle, const char*, const char*) override { ++texts; }
  std::atomic<long> texts{0};
};

platform::MessageResult KELMORAY_CALLBACK QuietProcedure(platform::WindowHandle, unsigned,
                                                          platform::WordParam, platform::LongParam) {
  return 0;
}

class NoView : public ProgressView {
 public:
  void AddLine(int, int, const std::string&, const std::string&) override { ++lines; }
  long lines = 0;
};

// CPU seconds of the whole process (every thread) so far; less noisy than
// the wall clock on a file system that is busy writing back.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double cpuOfLastRun = 0;

double RunOnce(const std::string& source, const std::string& destination, const std::string& store,
               platform::WindowHandle mainWindow) {
  MirrorEntry entry;
  entry.name = "bench";
  entry.source = source;
  entry.destination = destination;
  entry.subdir = entry.destination_delete = entry.hidden_files = entry.system_files = entry.readonly_files = 1;
  entry.wildcard = "*.*";
  std::vector<MirrorEntry> list{entry};
  std::remove(store.c_str());
  SaveEntryList(list, store);
  CKelmdupDoc doc;
  NoView view;
  doc.view = &view;
  if (mainWindow != 0) doc.SetMainWindow(mainWindow);
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  doc.RunAllEntries();
  cpuOfLastRun = CpuSeconds() - cpuStart;
  // Even a run with nothing to do reports its start and end.
  if (view.lines == 0) {
    std::fprintf(stderr, "status_cost_bench: no run from %s to %s\n", source.c_str(),
                 destination.c_str());
    std::exit(1);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: status_cost_bench SOURCE WORK_DIRECTORY [rounds]\n", stderr);
    return 2;
  }
  const std::string source = argv[1], work = std::string(argv[2]) + "/";
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  std::error_code ignored;
  std::filesystem::create_directories(work, ignored);
  TheSettingsLocation().useSettingsFile = 1;
  TheSettingsLocation().settingsFilePath = work + "status_cost.kyf";

  // The main window's thread handles its messages as the console's does:
  // all that came in, then a rest of 20 ms.
  CountingFrame frame;
  std::atomic<platform::WindowHandle> window{0};
  std::atomic<bool> done{false};
  std::thread interface([&] {
    const platform::WindowHandle own = platform::CreateMessageWindow(QuietProcedure);
    frame.Install(own, std::to_string(static_cast<std::int32_t>(platform::HandleToValue(own))) +
                           ".CMainFrame");
    window = own;
    platform::Message message;
    while (!done) {
      while (platform::TakeMessage(&message)) platform::DispatchToWindow(message);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    platform::DestroyMessageWindow(own);
  });
  while (window == 0) std::this_thread::yield();

  std::vector<double> firstRatios, unchangedRatios, firstCpuRatios, unchangedCpuRatios;
  for (int round = 0; round < rounds; ++round) {
    const std::string tag = std::to_string(round) + "." + std::to_string(std::random_device{}());
    const std::string with = work + "status-on." + tag, without = work + "status-off." + tag;
    const std::string& store = TheSettingsLocation().settingsFilePath;
    double firstWith, firstWithout, cpuFirstWith, cpuFirstWithout;
    double sameWith, sameWithout, cpuSameWith, cpuSameWithout;
    const auto withTexts = [&](const std::string& to, double* cpu) {
      const double wall = RunOnce(source, to, store, window);
      *cpu = cpuOfLastRun;
      return wall;
    };
    const auto withoutTexts = [&](const std::string& to, double* cpu) {
      const double wall = RunOnce(source, to, store, 0);
      *cpu = cpuOfLastRun;
      return wall;
    };
    if (round % 2 == 0) {
      firstWith = withTexts(with, &cpuFirstWith);
      firstWithout = withoutTexts(without, &cpuFirstWithout);
      sameWithout = withoutTexts(without, &cpuSameWithout);
      sameWith = withTexts(with, &cpuSameWith);
    } else {
      firstWithout = withoutTexts(without, &cpuFirstWithout);
      firstWith = withTexts(with, &cpuFirstWith);
      sameWith = withTexts(with, &cpuSameWith);
      sameWithout = withoutTexts(without, &cpuSameWithout);
    }
    firstCpuRatios.push_back(cpuFirstWith / cpuFirstWithout);
    unchangedCpuRatios.push_back(cpuSameWith / cpuSameWithout);
    std::printf("round %d: first copy %.2f s with texts, %.2f s without; no-change %.3f s, %.3f s\n",
                round + 1, firstWith, firstWithout, sameWith, sameWithout);
    firstRatios.push_back(firstWith / firstWithout);
    unchangedRatios.push_back(sameWith / sameWithout);
  }
  std::printf("status texts received: %ld\n", frame.texts.load());
  std::printf("with texts / without, median: first copy %.3f, no-change run %.3f (wall clock)\n",
              Median(firstRatios), Median(unchangedRatios));
  std::printf("with texts / without, median: first copy %.3f, no-change run %.3f (CPU time)\n",
              Median(firstCpuRatios), Median(unchangedCpuRatios));
  done = true;
  interface.join();
  return 0;
}
