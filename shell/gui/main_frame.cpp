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
constexpr UINT kBusyPeriod = 200;
// Watches a run the frame started: when it has ended, the toolbar follows at
// once, though no message may come to tell the frame.
constexpr UINT_PTR kRunWatchTimer = 101;
constexpr UINT kRunWatchPeriod = 250;

}  // namespace

bool CMainFramePostData::Install(platform::WindowHandle window) {
  return CtPostData::Install(window, MainFrameKey(window));
}

void CMainFramePostData::OnPostData(platform::WindowHandle, const char*, const char* text) {
  frame_.OnStatusText(text);
}

HWND CMainFrame::CreateClient() { return view_.Create(Handle()) ? view_.Handle() : nullptr; }

bool CMainFrame::OnCreated() {
  const auto window = reinterpret_cast<platform::WindowHandle>(Handle());
  key_ = MainFrameKey(window);
  endpoint_.Install(window);  // without registration the frame only shows no texts
  return true;
}

void CMainFrame::OnStatusText(const char* text) {
  if (stopping_) return;
  switch (MeaningOf(text)) {
    case StatusMeaning::kShow: SetStatusText(text); break;
    case StatusMeaning::kShowWorking: SetStatusText(WorkingText()); break;
    case StatusMeaning::kStartBusy: StartBusyIndicator(); break;
    case StatusMeaning::kStopBusy: KillTimer(Handle(), kBusyTimer); break;
    case StatusMeaning::kNothing: break;
  }
}

void CMainFrame::StartBusyIndicator() {
  KillTimer(Handle(), kBusyTimer);
  busyTicks_ = 0;
  SetTimer(Handle(), kBusyTimer, kBusyPeriod, nullptr);
  SetStatusText(CopyingText());
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == kRunWatchTimer) {
    if (!document_.running) OnRunEnded();
    return;
  }
  if (id != kBusyTimer) return;
  // The tick comes back through the channel like any other status text.
  busyTicks_ = NextBusyTick(busyTicks_);
  PostData(key_.c_str(), BusyText(busyTicks_).c_str());
}

void CMainFrame::OnRunEnded() {
  KillTimer(Handle(), kRunWatchTimer);
  if (closing_) {
    DestroyWindow(Handle());
    return;
  }
  if (stopping_) {
    stopping_ = false;
    SetStatusText(IdleText());
  }
  UpdateToolBar();
}

void CMainFrame::SayStopping(unsigned text) {
  stopping_ = true;
  KillTimer(Handle(), kBusyTimer);
  SetStatusText(fw::LoadText(text));
}

bool CMainFrame::OnCommand(int id) {
  if (id == ID_MIRROR_START) {  // the document starts it
    stopping_ = false;
    SetTimer(Handle(), kRunWatchTimer, kRunWatchPeriod, nullptr);
  }
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
  if (!document_.running) {
    DestroyWindow(Handle());
    return;
  }
  document_.OnMirrorStop();
  SayStopping(IDS_CLOSING_TEXT);
  UpdateToolBar();
  SetTimer(Handle(), kRunWatchTimer, kRunWatchPeriod, nullptr);
}

// The process ends when this returns, and after the system's grace time at
// the latest: the run is stopped and given most of that time to end after
// its file in progress. A copy that cannot finish by then is abandoned, its
// temporary file removed.
void CMainFrame::OnEndSession() {
  if (!document_.running) return;
  document_.OnMirrorStop();
  // The run's last lines are taken meanwhile: its end waits for them.
  const auto waitForTheRun = [&](int milliseconds) {
    for (int waited = 0; document_.running && waited < milliseconds; waited += 20) {
      view_.TakeWaitingLines();
      Sleep(20);
    }
  };
  waitForTheRun(4000);
  if (!document_.running) return;
  platform::SetCopiesAbandoned(true);
  waitForTheRun(500);
  platform::SetCopiesAbandoned(false);  // should the process go on after all
}

void CMainFrame::OnDestroy() {
  KillTimer(Handle(), kBusyTimer);
  KillTimer(Handle(), kRunWatchTimer);
}

LRESULT CMainFrame::OnClientNotify(NMHDR* header) { return view_.OnNotify(header); }
