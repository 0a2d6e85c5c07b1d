#pragma once
// A window of ours: the object is bound to its window when the window is
// created, and every message goes to its HandleMessage; nothing global.

#include <windows.h>

#include <string>

namespace fw {

// The text of a window or control, in the program's encoding.
std::string WindowText(HWND window);

// The height of a window, its frame included.
int WindowHeight(HWND window);

class Window {
 public:
  Window() = default;
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return window_; }

 protected:
  // Registers a window class whose windows are bound to objects of ours;
  // once per class name. False when it cannot be registered.
  static bool RegisterWindowClass(const char* className, HICON icon, HBRUSH background);

  // Creates a window of such a class with this object bound to it from its
  // first message on; null on failure.
  HWND CreateBound(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU menu);

  // Every message of the window; the default is the system's handling.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND window_ = nullptr;
};

}  // namespace fw
