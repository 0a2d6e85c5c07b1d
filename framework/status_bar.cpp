#include "framework/status_bar.h"

#include <commctrl.h>

#include "framework/window.h"

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
  SendMessageA(bar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string StatusBar::Text() const {
  const LRESULT length = LOWORD(SendMessageA(bar_, SB_GETTEXTLENGTHA, 0, 0));
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(bar_, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

int StatusBar::Layout() {
  SendMessageA(bar_, WM_SIZE, 0, 0);
  return WindowHeight(bar_);
}

}  // namespace fw
