#include "shell/gui/main_frame.h"

#include <shellapi.h>

#include "engine/status_texts.h"
#include "foundation/directory.h"
#include "framework/resource_text.h"
#include "platform/file_operations.h"
#include "platform/paths.h"
#include "resources/ids.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr UINT_PTR kBusyTimer = 100;
// The end of an automatic run stays in view this long before the program ends.
constexpr UINT_PTR kAutomaticEndTimer = 101;
constexpr UINT kAutomaticEndDelay = 3000;

}  // namespace

HWND CMainFrame::CreateClient() { return view_.Create(Handle()) ? view_.Handle() : nullptr; }

bool CMainFrame::OnCreated() {
  const auto window = reinterpret_cast<platform::WindowHandle>(Handle());
  key_ = MainFrameKey(window);
  endpoint_.Install(window);  // without registration the frame only shows no texts
  return true;
}

void CMainFrame::OnStatusText(const char* text) { Show(statusLine_.Take(text)); }

void CMainFrame::Show(StatusLine::Change change) {
  switch (change.timer) {
    case StatusLine::BusyTimer::kKeep: break;
    case StatusLine::BusyTimer::kStart: SetTimer(Handle(), kBusyTimer, StatusLine::kBusyPeriod, nullptr); break;
    case StatusLine::BusyTimer::kStop: KillTimer(Handle(), kBusyTimer); break;
  }
  if (change.textChanged) SetStatusText(statusLine_.Text());
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == kAutomaticEndTimer) {
    KillTimer(Handle(), kAutomaticEndTimer);
    PostMessageA(Handle(), WM_COMMAND, ID_APP_EXIT, 0);
  }
  // The tick comes back through the channel like any other status text.
  if (id == kBusyTimer) PostData(key_.c_str(), statusLine_.Tick().c_str());
}

void CMainFrame::OnProgramMessage(UINT message, WPARAM wParam) {
  if (message == kRunEndedMessage) OnRunEnded(wParam != 0);
}

void CMainFrame::OnRunEnded(bool automatic) {
  ++endedRuns_;
  if (closing_) {
    DestroyWindow(Handle());
    return;
  }
  Show(statusLine_.Release());
  UpdateToolBar();
  if (automatic) SetTimer(Handle(), kAutomaticEndTimer, kAutomaticEndDelay, nullptr);
}

void CMainFrame::SayStopping(unsigned text) { Show(statusLine_.Hold(fw::LoadText(text))); }

bool CMainFrame::OnCommand(int id) {
  if (id == ID_MIRROR_STOP) SayStopping(IDS_STOPPING_TEXT);  // the document stops it
  if (id != ID_HELP_PAGE) return false;
  OpenHelp();
  return true;
}

std::optional<bool> CMainFrame::CommandEnabled(int id) {
  if (id == ID_HELP_PAGE) return true;
  return std::nullopt;
}

// The page beside the program, with the shell's default action; nothing is
// shown when it is missing.
void CMainFrame::OpenHelp() {
  const std::string page = GetModuleDirectory() + "index.html";
  const std::wstring widePage = platform::WideText(page);
  if (GetFileAttributesW(widePage.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  ShellExecuteW(Handle(), nullptr, widePage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// A run in progress is stopped first; its file in progress ends, and the
// window goes once the run has ended. Meanwhile it goes on handling input,
// painting and every line the run still reports.
void CMainFrame::OnClose() {
  if (closing_) return;
  closing_ = true;
  if (!document_.Running()) {
    DestroyWindow(Handle());
    return;
  }
  document_.OnMirrorStop();
  SayStopping(IDS_CLOSING_TEXT);
  UpdateToolBar();
}

// The process ends when this returns, and after the system's grace time at
// the latest: the run is stopped and given most of that time to end after
// its file in progress. A copy that cannot finish by then is abandoned, its
// temporary file removed.
void CMainFrame::OnEndSession() {
  if (!document_.Running()) return;
  document_.OnMirrorStop();
  // The run must not wait for this thread to take its lines.
  view_.StopTakingLines();
  if (document_.WaitForEnd(4000)) return;
  platform::SetCopiesAbandoned(true);
  document_.WaitForEnd(500);
  platform::SetCopiesAbandoned(false);  // should the process go on after all
}

void CMainFrame::OnDestroy() {
  KillTimer(Handle(), kBusyTimer);
  KillTimer(Handle(), kAutomaticEndTimer);
}

LRESULT CMainFrame::OnClientNotify(NMHDR* header) { return view_.OnNotify(header); }
