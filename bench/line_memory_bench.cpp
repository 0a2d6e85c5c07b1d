// What the progress view costs per line: adds lines such as a large run
// reports to the view of a real main window and prints the memory the
// process took for them beyond the bytes of the lines' own texts.
//   line_memory_bench [lines]        (default 200000)

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/messages.h"
#include "framework/application.h"
#include "shell/gui/kelmdup_app.h"

namespace {

// The process's committed private memory (Wine fills in PagefileUsage).
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const long lines = argc > 1 ? std::atol(argv[1]) : 200000;
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  CKelmdupApp application;
  const char* arguments[] = {"kelmoray.exe"};
  if (!application.InitInstance(1, arguments, SW_SHOWNORMAL)) return 1;
  CKelmdupView& view = application.Frame().View();
  fw::Application::HandlePending(&application.Frame());

  // Paths as a run over a photo tree reports them; the status text is the
  // string table's and is not kept per line.
  const std::string source = "C:\\Users\\someone\\Pictures\\2026\\Kyoto trip\\";
  const std::string destination = "E:\\Backup\\Pictures\\2026\\Kyoto trip\\";
  size_t textBytes = 0;
  const SIZE_T before = PrivateBytes();
  for (long i = 0; i < lines; ++i) {
    const std::string name = "IMG_" + std::to_string(100000 + i) + ".jpg";
    const std::string from = source + name, to = destination + name;
    view.AddLine(i % 2 ? kMsgCopyFile : kMsgAnalysing, from, to);
    textBytes += from.size() + to.size();
    if (i % 1000 == 0) fw::Application::HandlePending(&application.Frame());
  }
  fw::Application::HandlePending(&application.Frame());
  const SIZE_T after = PrivateBytes();
  const double perLine = (static_cast<double>(after - before) - static_cast<double>(textBytes)) / lines;
  std::printf("line_memory_bench: %ld lines, %zu text bytes, the process grew by %zu bytes: %.1f bytes per line beyond the texts\n",
              lines, textBytes, static_cast<size_t>(after - before), perLine);
  DestroyWindow(application.Frame().Handle());
  return 0;
}
