#include "framework/dialog.h"

#include <algorithm>
#include <vector>

#include "framework/resource_text.h"
#include "framework/window.h"
#include "platform/win32/wide_text.h"

namespace fw {

void DataExchange::Text(int control, std::string& value) {
  HWND window = GetDlgItem(dialog_, control);
  if (direction_ == Direction::kToControls) {
    SetWindowTextW(window, platform::WideText(value).c_str());
    return;
  }
  value = WindowText(window);
}

void DataExchange::Check(int control, bool& value) {
  HWND window = GetDlgItem(dialog_, control);
  if (direction_ == Direction::kToControls) {
    SendMessageA(window, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    return;
  }
  value = SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

INT_PTR Dialog::DoModal(HWND parent) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

void ShowError(HWND owner, unsigned titleId, const std::string& text) {
  MessageBoxW(owner, platform::WideText(text).c_str(), platform::WideText(LoadText(titleId)).c_str(),
              MB_OK | MB_ICONERROR);
}

std::string Dialog::Text(int control) const {
  std::string text;
  DataExchange(dialog_, DataExchange::Direction::kFromControls).Text(control, text);
  return text;
}

void Dialog::EnableControl(int control, bool enabled, int focusTo) {
  HWND window = Control(control);
  if (!enabled && GetFocus() == window) SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(focusTo)), TRUE);
  EnableWindow(window, enabled);
}

// Over the middle of the window that opened it, within that window's screen.
void Dialog::CenterOnOwner() {
  HWND owner = GetWindow(dialog_, GW_OWNER);
  if (owner == nullptr || IsIconic(owner)) return;
  RECT area, box;
  MONITORINFO screen{};
  screen.cbSize = sizeof(screen);
  GetWindowRect(owner, &area);
  GetWindowRect(dialog_, &box);
  if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &screen)) return;
  const int width = box.right - box.left, height = box.bottom - box.top;
  const RECT& work = screen.rcWork;
  const int left = std::clamp<int>((area.left + area.right - width) / 2, work.left,
                                   std::max<int>(work.left, work.right - width));
  const int top = std::clamp<int>((area.top + area.bottom - height) / 2, work.top,
                                  std::max<int>(work.top, work.bottom - height));
  SetWindowPos(dialog_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::ExchangeAll(DataExchange::Direction way) {
  DataExchange exchange(dialog_, way);
  Exchange(exchange);
}

void Dialog::OnOK() {
  ExchangeAll(DataExchange::Direction::kFromControls);
  EndDialogWith(IDOK);
}

void Dialog::OnCancel() { EndDialogWith(IDCANCEL); }

void Dialog::EndDialogWith(INT_PTR result) { EndDialog(dialog_, result); }

INT_PTR CALLBACK Dialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->dialog_ = dialog;
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  const INT_PTR result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) self->dialog_ = nullptr;
  return result;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_INITDIALOG:
      CenterOnOwner();
      ExchangeAll(DataExchange::Direction::kToControls);
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
      const int control = LOWORD(wParam);
      if (OnCommand(control, HIWORD(wParam))) return TRUE;
      if (control == IDOK) OnOK();
      else if (control == IDCANCEL) OnCancel();
      return TRUE;
    }
    case WM_NOTIFY: {
      SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, OnNotify(reinterpret_cast<NMHDR*>(lParam)));
      return TRUE;
    }
    default: return FALSE;
  }
}

}  // namespace fw
