// What the status texts cost a run: the same first copy and no-change run,
// once with a main window that receives every status text on a thread of
// its own, once with none, alternating, on the tree that mirror_bench made.
//   status_cost_bench SOURCE WORK_DIRECTORY [rounds]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/kelmdup_doc.h"
#include "foundation/profile.h"
#include "posting/post_data.h"
#include "settings/entry_storage.h"
#include "tests/support/window_thread.h"

namespace {

class CountingFrame : public CtPostData {
 public:
  void OnPostData(platform::WindowHandle, const char*, const char*) override { ++texts; }
  std::atomic<long> texts{0};
};

class NoView : public ProgressView {
 public:
  void AddLine(int, int, const std::string&, const std::string&) override {}
};

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
  doc.RunAllEntries();
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
  TheSettingsLocation().useSettingsFile = 1;
  TheSettingsLocation().settingsFilePath = work + "status_cost.kyf";

  CountingFrame frame;
  test::WindowThread thread;
  const platform::WindowHandle window = thread.NewWindow();
  thread.Run([&] { frame.Install(window, std::to_string(static_cast<std::int32_t>(
                                             platform::HandleToValue(window))) + ".CMainFrame"); });

  std::vector<double> firstRatios, unchangedRatios;
  for (int round = 0; round < rounds; ++round) {
    const std::string tag = std::to_string(round) + "." + std::to_string(std::rand());
    const std::string with = work + "status-on." + tag, without = work + "status-off." + tag;
    double firstWith, firstWithout;
    if (round % 2 == 0) {
      firstWith = RunOnce(source, with, TheSettingsLocation().settingsFilePath, window);
      firstWithout = RunOnce(source, without, TheSettingsLocation().settingsFilePath, 0);
    } else {
      firstWithout = RunOnce(source, without, TheSettingsLocation().settingsFilePath, 0);
      firstWith = RunOnce(source, with, TheSettingsLocation().settingsFilePath, window);
    }
    const double sameWith = RunOnce(source, with, TheSettingsLocation().settingsFilePath, window);
    const double sameWithout = RunOnce(source, without, TheSettingsLocation().settingsFilePath, 0);
    std::printf("round %d: first copy %.2f s with texts, %.2f s without; no-change %.3f s, %.3f s\n",
                round + 1, firstWith, firstWithout, sameWith, sameWithout);
    firstRatios.push_back(firstWith / firstWithout);
    unchangedRatios.push_back(sameWith / sameWithout);
  }
  std::printf("status texts received: %ld\n", frame.texts.load());
  std::printf("with texts / without, median: first copy %.3f, no-change run %.3f\n", Median(firstRatios),
              Median(unchangedRatios));
  thread.Run([&] { platform::DestroyMessageWindow(window); });
  return 0;
}
