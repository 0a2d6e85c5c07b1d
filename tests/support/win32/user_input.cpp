#include "tests/support/win32/user_input.h"

#include <vector>

namespace test {

namespace {

INPUT KeyEvent(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT CharacterEvent(wchar_t unit, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = unit;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

constexpr struct {
  unsigned modifier;
  WORD key;
} kModifierKeys[] = {{kShift, VK_SHIFT}, {kControl, VK_CONTROL}, {kAlt, VK_MENU}};

}  // namespace

void PressKey(WORD key, unsigned modifiers) {
  std::vector<INPUT> events;
  for (const auto& held : kModifierKeys)
    if (modifiers & held.modifier) events.push_back(KeyEvent(held.key, false));
  events.push_back(KeyEvent(key, false));
  events.push_back(KeyEvent(key, true));
  for (auto held = std::rbegin(kModifierKeys); held != std::rend(kModifierKeys); ++held)
    if (modifiers & held->modifier) events.push_back(KeyEvent(held->key, true));
  SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

void TypeText(const std::string& utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), units);
  std::vector<INPUT> events;
  for (const wchar_t unit : text) {
    events.push_back(CharacterEvent(unit, false));
    events.push_back(CharacterEvent(unit, true));
  }
  SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

void MoveMouseTo(POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute positions run from 0 to 65535 across the primary screen.
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(INPUT));
}

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool HasFocusWithin(HWND window) {
  const HWND focus = FocusOf(GetWindowThreadProcessId(window, nullptr));
  return focus != nullptr && (focus == window || IsChild(window, focus));
}

}  // namespace test
