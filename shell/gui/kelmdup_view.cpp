#include "shell/gui/kelmdup_view.h"

#include <algorithm>

#include "engine/messages.h"
#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"

namespace {

// Wakes the list's thread for the first line of an empty queue. A message
// per line, or a wait per line, would cost the run more than the line
// itself (a round trip between threads, and the control's scroll bars and
// scrolling on every line).
constexpr UINT kTakeLinesMessage = WM_APP + 1;
// Takes the lines that came since, while they keep coming.
constexpr UINT_PTR kTakeLinesTimer = 0x4B56;
constexpr UINT kTakeLinesPeriod = 20;

// The seven icons, in the order of the icon kinds.
constexpr int kIcons[] = {IDI_START, IDI_END, IDI_ANALYSE, IDI_COPY, IDI_FAILURE, IDI_DELETE_FILE,
                          IDI_DELETE_DIRECTORY};

}  // namespace

bool CKelmdupView::Create(HWND frame) {
  if (!ListView::Create(frame, kControlId)) return false;
  AddColumn(fw::LoadText(IDS_STATUS_COLUMN), 200);
  AddColumn(fw::LoadText(IDS_SOURCE_COLUMN), 300);
  AddColumn(fw::LoadText(IDS_DESTINATION_COLUMN), 300);
  static_assert(std::size(kIcons) == kIconKinds);
  for (int kind = 0; kind < kIconKinds; ++kind) imageOf_[kind] = AddIcon(kIcons[kind]);
  return SetWindowSubclass(Handle(), ListProcedure, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void CKelmdupView::AddLine(int id, const std::string& source, const std::string& destination) {
  bool wake = false, tooMany = false;
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    if (!takingLines_) return;
    waiting_.push_back({id, source, destination});
    ++given_;
    wake = !awake_;
    awake_ = true;
    tooMany = given_ - shown_ > mostWaitingLines_;
  }
  // A full queue of the thread: the lines are taken now.
  if (wake && !PostMessageA(Handle(), kTakeLinesMessage, 0, 0)) SendMessageA(Handle(), kTakeLinesMessage, 0, 0);
  if (tooMany) ShowLinesUntilWaiting(mostWaitingLines_);
}

void CKelmdupView::ShowAllLines() { ShowLinesUntilWaiting(0); }

// The list's own thread cannot wait for itself: it takes the lines at once.
void CKelmdupView::ShowLinesUntilWaiting(size_t waiting) {
  if (GetWindowThreadProcessId(Handle(), nullptr) == GetCurrentThreadId()) TakeWaitingLines();
  else WaitUntilShown(waiting);
}

void CKelmdupView::WaitUntilShown(size_t waiting) {
  std::unique_lock<std::mutex> hold(waitingLock_);
  const size_t enough = given_ - std::min(given_, waiting);
  linesShown_.wait(hold, [&] { return shown_ >= enough || !takingLines_; });
}

// Also when the list goes: a list that is gone takes no more lines.
void CKelmdupView::StopTakingLines() {
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    takingLines_ = false;
  }
  linesShown_.notify_all();
}

// One turn: the lines waiting now, a bounded batch since the worker waits
// beyond its bound. The timer runs until a tick finds no line.
void CKelmdupView::TakeTurn(bool onTimer) {
  const bool took = TakeWaitingLines();
  if (!onTimer) {
    SetTimer(Handle(), kTakeLinesTimer, kTakeLinesPeriod, nullptr);
    return;
  }
  if (took) return;
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    if (!waiting_.empty()) return;
    awake_ = false;
  }
  KillTimer(Handle(), kTakeLinesTimer);
}

bool CKelmdupView::TakeWaitingLines() {
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    taking_.swap(waiting_);
  }
  if (taking_.empty()) return false;
  const bool follow = EndIsInView();
  for (const WaitingLine& line : taking_) lines_.Append(line.id, line.source, line.destination);
  const size_t taken = taking_.size();
  taking_.clear();
  const int count = static_cast<int>(lines_.Size());
  SetRowCount(count);
  if (follow) ShowRow(count - 1);
  {
    std::lock_guard<std::mutex> hold(waitingLock_);
    shown_ += taken;
  }
  linesShown_.notify_all();
  return true;
}

// Whether the list's last line is in view: the user did not scroll away.
bool CKelmdupView::EndIsInView() const {
  const int rows = RowCount();
  if (rows == 0) return true;
  const auto top = static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
  const auto perPage = static_cast<int>(SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
  return top + std::max(perPage, 1) >= rows;
}

LRESULT CALLBACK CKelmdupView::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) noexcept {
  auto* view = reinterpret_cast<CKelmdupView*>(self);
  if (message == kTakeLinesMessage || (message == WM_TIMER && wParam == kTakeLinesTimer)) {
    view->TakeTurn(message == WM_TIMER);
    return 0;
  }
  if (message == WM_NCDESTROY) view->StopTakingLines();
  return DefSubclassProc(list, message, wParam, lParam);
}

std::string CKelmdupView::RowText(int row, int column) const {
  if (row < 0 || static_cast<size_t>(row) >= lines_.Size()) return {};
  switch (column) {
    case 0: return MessageText(lines_.Id(static_cast<size_t>(row)));
    case 1: return std::string(lines_.Source(static_cast<size_t>(row)));
    case 2: return std::string(lines_.Destination(static_cast<size_t>(row)));
    default: return {};
  }
}

int CKelmdupView::RowImage(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= lines_.Size()) return -1;
  return imageOf_[static_cast<int>(IconOf(lines_.Id(static_cast<size_t>(row))))];
}
