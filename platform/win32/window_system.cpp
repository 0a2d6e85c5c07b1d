#include "platform/window_system.h"

#include <windows.h>

namespace platform {

namespace {

HWND AsHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle AsHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

constexpr char kClassName[] = "KelmorayMessageWindow";

bool RegisterMessageWindowClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
  }();
  return registered;
}

}  // namespace

WindowHandle CreateMessageWindow(WindowProcedure procedure, std::uintptr_t data) {
  if (!RegisterMessageWindowClass()) return 0;
  HWND window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(data));
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  return AsHandle(window);
}

std::uintptr_t WindowData(WindowHandle window) {
  if (!IsWindowOfThisProcess(window)) return 0;
  return static_cast<std::uintptr_t>(GetWindowLongPtrA(AsHwnd(window), GWLP_USERDATA));
}

void SetWindowData(WindowHandle window, std::uintptr_t data) {
  if (IsWindowOfThisProcess(window)) SetWindowLongPtrA(AsHwnd(window), GWLP_USERDATA, static_cast<LONG_PTR>(data));
}

bool DestroyMessageWindow(WindowHandle window) { return DestroyWindow(AsHwnd(window)) != FALSE; }

bool IsWindowAlive(WindowHandle window) { return window != 0 && IsWindow(AsHwnd(window)); }

bool IsWindowOfThisProcess(WindowHandle window) {
  DWORD process = 0;
  return window != 0 && GetWindowThreadProcessId(AsHwnd(window), &process) != 0 &&
         process == GetCurrentProcessId();
}

WindowProcedure ReplaceWindowProcedure(WindowHandle window, WindowProcedure procedure) {
  return reinterpret_cast<WindowProcedure>(
      SetWindowLongPtrA(AsHwnd(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

MessageResult CallWindowProcedure(WindowProcedure procedure, WindowHandle window, unsigned message,
                                  WordParam wordParam, LongParam longParam) {
  return CallWindowProcA(reinterpret_cast<WNDPROC>(reinterpret_cast<void (*)()>(procedure)), AsHwnd(window), message, wordParam,
                         longParam);
}

MessageResult SendToWindow(WindowHandle window, unsigned message, WordParam wordParam,
                           LongParam longParam) {
  return SendMessageA(AsHwnd(window), message, wordParam, longParam);
}

bool PostToWindow(WindowHandle window, unsigned message, WordParam wordParam, LongParam longParam) {
  return PostMessageA(AsHwnd(window), message, wordParam, longParam) != FALSE;
}

unsigned RegisterMessageName(const std::string& name) {
  return RegisterWindowMessageA(name.c_str());
}

bool StartTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds) {
  return SetTimer(AsHwnd(window), id, milliseconds, nullptr) != 0;
}

void StopTimer(WindowHandle window, std::uintptr_t id) { KillTimer(AsHwnd(window), id); }

bool NextMessage(Message* message) {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return false;
  *message = {AsHandle(msg.hwnd), msg.message, msg.wParam, msg.lParam};
  return true;
}

bool TakeMessage(Message* message) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));  // left for NextMessage to see
    return false;
  }
  *message = {AsHandle(msg.hwnd), msg.message, msg.wParam, msg.lParam};
  return true;
}

MessageResult DispatchToWindow(const Message& message) {
  MSG msg{};
  msg.hwnd = AsHwnd(message.window);
  msg.message = message.message;
  msg.wParam = message.wordParam;
  msg.lParam = message.longParam;
  return DispatchMessageA(&msg);
}

void PostQuit() { PostQuitMessage(0); }

}  // namespace platform
