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

#include "engine/mirror_run.h"
#include "engine/status_texts.h"
#include "foundation/profile.h"
#include "posting/post_data.h"
#include "settings/entry_storage.h"

namespace {

class CountingFrame : public CtPostData {
 public:
  void OnPostData(platform::WindowHandle, const char*, const char*) override { ++texts; }
  std::atomic<long> texts{0};
};

// Ends the window's message loop.
constexpr unsigned kEndMessage = platform::kMessageUser + 1;

platform::MessageResult KELMORAY_CALLBACK QuietProcedure(platform::WindowHandle, unsigned message,
                                                          platform::WordParam, platform::LongParam) {
  if (message == kEndMessage) platform::PostQuit();
  return 0;
}

class NoView : public ProgressView {
 public:
  void AddLine(int, const std::string&, const std::string&) override { ++lines; }
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

double RunOnce(const std::string& source, const std::string& destination, const SettingsLocation& store,
               platform::WindowHandle mainWindow) {
  MirrorEntry entry;
  entry.name = "bench";
  entry.source = source;
  entry.destination = destination;
  entry.subdir = entry.destination_delete = entry.hidden_files = entry.system_files = entry.readonly_files = 1;
  entry.wildcard = "*.*";
  std::vector<MirrorEntry> list{entry};
  std::remove(store.settingsFilePath.c_str());
  SaveEntryList(list, store);
  NoView view;
  const std::string statusKey = mainWindow != 0 ? MainFrameKey(mainWindow) : "";
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  MirrorRun({store, LogSettings{}, false}, &view, statusKey, std::stop_token()).RunAllEntries();
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
  SettingsLocation store;
  store.useSettingsFile = true;
  store.settingsFilePath = work + "status_cost.kyf";

  // The main window's thread handles its messages as the console's does.
  CountingFrame frame;
  std::atomic<platform::WindowHandle> window{0};
  std::thread interface([&] {
    const platform::WindowHandle own = platform::CreateMessageWindow(QuietProcedure);
    frame.Install(own, std::to_string(static_cast<std::int32_t>(platform::HandleToValue(own))) +
                           ".CMainFrame");
    window = own;
    platform::Message message;
    while (platform::NextMessage(&message)) platform::DispatchToWindow(message);
    platform::DestroyMessageWindow(own);
  });
  while (window == 0) std::this_thread::yield();

  std::vector<double> firstRatios, unchangedRatios, firstCpuRatios, unchangedCpuRatios;
  for (int round = 0; round < rounds; ++round) {
    const std::string tag = std::to_string(round) + "." + std::to_string(std::random_device{}());
    const std::string with = work + "status-on." + tag, without = work + "status-off." + tag;
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
  platform::PostToWindow(window, kEndMessage, 0, 0);
  interface.join();
  return 0;
}
