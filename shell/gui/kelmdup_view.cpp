#include "shell/gui/kelmdup_view.h"

#include "engine/messages.h"
#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "shell/command_line.h"

namespace {

// Tells the list's thread that lines wait. One is on its way whenever the
// queue holds lines: a message per line, or a wait per line, would cost the
// run more than the line itself (a round trip between threads, and the
// control's scroll bars and scrolling on every line).
constexpr UINT kTakeLinesMessage = WM_APP + 1;

// The seven icons, in the order the run's icon kinds number them.
constexpr int kIcons[] = {IDI_START, IDI_END, IDI_ANALYSE, IDI_COPY, IDI_FAILURE, IDI_DELETE_FILE,
                          IDI_DELETE_DIRECTORY};

}  // namespace

bool CKelmdupView::Create(HWND frame) {
  if (!ListView::Create(frame, kControlId)) return false;
  AddColumn(platform::Utf8ToSystem("状況"), 200);
  AddColumn(platform::Utf8ToSystem("コピー元"), 300);
  AddColumn(platform::Utf8ToSystem("コピー先"), 300);
  for (size_t kind = 0; kind < std::size(kIcons); ++kind) IconIndexes()[kind] = AddIcon(kIcons[kind]);
  return SetWindowSubclass(Handle(), ListProcedure, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void CKelmdupView::OnInitialUpdate(HWND mainWindow) {
  StartupFlags& flags = TheStartupFlags();
  if (!flags.autoRun) return;
  flags.exitAfterRun = 1;
  PostMessageA(mainWindow, WM_COMMAND, ID_MIRROR_START, 0);
}

void CKelmdupView::AddLine(int id, int icon, const std::string& text1, const std::string& text2) {
  size_t waiting = 0;
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    waiting_.push_back({id, icon, text1, text2});
    waiting = waiting_.size();
  }
  if (waiting > mostWaitingLines_) {
    ShowAllLines();
  } else if (waiting == 1 && !PostMessageA(Handle(), kTakeLinesMessage, 0, 0)) {
    ShowAllLines();  // the thread's queue is full: the lines are taken now
  }
}

void CKelmdupView::ShowAllLines() { SendMessageA(Handle(), kTakeLinesMessage, 0, 0); }

// The newest line is made visible, even when the user scrolled elsewhere.
void CKelmdupView::TakeWaitingLines() {
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    taking_.swap(waiting_);
  }
  if (taking_.empty()) return;
  for (const WaitingLine& line : taking_) lines_.Append(line.id, line.icon, line.text1, line.text2);
  taking_.clear();
  const int count = static_cast<int>(lines_.Size());
  SetRowCount(count);
  ShowRow(count - 1);
}

LRESULT CALLBACK CKelmdupView::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) noexcept {
  auto* view = reinterpret_cast<CKelmdupView*>(self);
  if (message == kTakeLinesMessage) {
    view->TakeWaitingLines();
    return 0;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

std::string CKelmdupView::RowText(int row, int column) const {
  if (row < 0 || static_cast<size_t>(row) >= lines_.Size()) return {};
  switch (column) {
    case 0: return MessageText(lines_.Id(static_cast<size_t>(row)));
    case 1: return std::string(lines_.Text1(static_cast<size_t>(row)));
    case 2: return std::string(lines_.Text2(static_cast<size_t>(row)));
    default: return {};
  }
}

int CKelmdupView::RowImage(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= lines_.Size()) return -1;
  return lines_.Icon(static_cast<size_t>(row));
}
