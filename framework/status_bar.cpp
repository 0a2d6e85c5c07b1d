#include "framework/status_bar.h"

#include <commctrl.h>

#include "framework/resource_text.h"
#include "framework/window.h"
#include "platform/win32/wide_text.h"

#include <vector>

namespace fw {

bool StatusBar::Create(HWND parent, int controlId) {
  bar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                         GetModuleHandleA(nullptr), nullptr);
  if (bar_ == nullptr) return false;
  int right = -1;  // one pane, to the right edge
  SendMessageA(bar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
  return true;
}

void StatusBar::SetText(const std::string& text) {
  SendMessageW(bar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(platform::WideText(text).c_str()));
}

// Read as UTF-16: the length the ANSI message gives may count characters,
// not the bytes its double-byte text fills, and the copy has no bound.
std::string StatusBar::Text() const {
  const LRESULT length = LOWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, 0, 0));
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(bar_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
  return platform::ProgramText(text.data());
}

int StatusBar::Layout() {
  SendMessageA(bar_, WM_SIZE, 0, 0);
  return WindowHeight(bar_);
}

}  // namespace fw
