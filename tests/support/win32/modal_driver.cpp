#include "tests/support/win32/modal_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/window.h"
#include "platform/win32/wide_text.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

// The thread whose dialogs are driven: the test's, set by DriveModal.
std::atomic<DWORD> dialogThread{0};

struct DialogSearch {
  HWND except;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<DialogSearch*>(search);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  // A dialog under a modal one is disabled: only the topmost is taken.
  if (window == wanted->except || std::string(className) != "#32770" || !IsWindowVisible(window) ||
      !IsWindowEnabled(window))
    return TRUE;
  wanted->found = window;
  return FALSE;
}

// Cancels the topmost dialog of the driven thread until `dialog` has gone:
// dialogs that failed steps left open over it go first.
void CancelUntilClosed(HWND dialog) {
  WaitUntil(
      [&] {
        if (!IsWindow(dialog)) return true;
        DialogSearch search{nullptr};
        EnumThreadWindows(dialogThread, FindDialog, reinterpret_cast<LPARAM>(&search));
        PostMessageA(search.found != nullptr ? search.found : dialog, WM_COMMAND, IDCANCEL, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return false;
      },
      10);
}

}  // namespace

HWND WaitForDialog(HWND except) {
  DialogSearch search{except};
  WaitUntil([&] {
    EnumThreadWindows(dialogThread, FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

bool WaitForClosing(HWND dialog) { return WaitUntil([&] { return !IsWindow(dialog); }); }

INT_PTR DriveModal(const std::function<INT_PTR()>& open, const std::function<void(DialogDriver&)>& drive) {
  dialogThread = GetCurrentThreadId();
  std::thread driver([&] {
    const HWND dialog = WaitForDialog(nullptr);
    if (dialog == nullptr) return;
    DialogDriver driven(dialog);
    drive(driven);
    if (!WaitUntil([&] { return !IsWindow(dialog); }, 5)) {
      ADD_FAILURE() << "the steps left the dialog open";
      CancelUntilClosed(dialog);
    }
  });
  const INT_PTR result = open();
  driver.join();
  return result;
}

void DialogDriver::Type(int edit, const std::string& text) {
  SetWindowTextW(Control(edit), platform::WideText(text).c_str());
}

std::string DialogDriver::Text(int control) const {
  return fw::WindowText(Control(control));
}

// A user cannot click a control that is disabled.
void DialogDriver::Click(int button) {
  if (Enabled(button)) SendMessageA(Control(button), BM_CLICK, 0, 0);
}

void DialogDriver::ClickLater(int button) {
  if (Enabled(button)) PostMessageA(Control(button), BM_CLICK, 0, 0);
}

bool DialogDriver::Checked(int button) const {
  return SendMessageA(Control(button), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int DialogDriver::Rows(int list) const { return static_cast<int>(SendMessageA(Control(list), LVM_GETITEMCOUNT, 0, 0)); }

std::string DialogDriver::RowText(int list, int row, int column) const {
  wchar_t text[8192] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(Control(list), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return platform::ProgramText(text);
}

int DialogDriver::RowImage(int list, int row) const {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageA(Control(list), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

std::vector<int> DialogDriver::SelectedRows(int list) const {
  std::vector<int> rows;
  for (int row = -1; (row = static_cast<int>(SendMessageA(Control(list), LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
    rows.push_back(row);
  return rows;
}

void DialogDriver::SelectRows(int list, const std::vector<int>& rows) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(Control(list), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  for (const int row : rows) SendMessageA(Control(list), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  Notify(list, NM_CLICK, true);
}

void DialogDriver::DoubleClickLater(int list) { Notify(list, NM_DBLCLK, false); }

void DialogDriver::Notify(int list, UINT code, bool wait) {
  // The notification travels in a block the receiving thread reads when it
  // handles it: one that outlives a message that is not waited for.
  static NMITEMACTIVATE later{};
  NMITEMACTIVATE now{};
  NMITEMACTIVATE& notification = wait ? now : later;
  notification.hdr.hwndFrom = Control(list);
  notification.hdr.idFrom = static_cast<UINT_PTR>(list);
  notification.hdr.code = code;
  notification.iItem = -1;
  if (wait) SendMessageA(dialog_, WM_NOTIFY, static_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&notification));
  else PostMessageA(dialog_, WM_NOTIFY, static_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&notification));
}

std::string ReadAndCloseBox(HWND owner) {
  DialogDriver box(WaitForDialog(owner));
  if (box.Window() == nullptr) return "(no message box)";
  const std::string text = box.Text(0xFFFF);  // the box's text
  box.Click(IDOK);
  WaitForClosing(box.Window());
  return text;
}

}  // namespace test
