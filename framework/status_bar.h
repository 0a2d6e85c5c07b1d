#pragma once
// A status bar with one pane that stretches across the window.

#include <windows.h>

#include <string>

namespace fw {

class StatusBar {
 public:
  // Creates the bar along the bottom of `parent`; false on failure.
  bool Create(HWND parent, int controlId);
  HWND Handle() const { return bar_; }
  void SetText(const std::string& text);
  // What the pane shows now.
  std::string Text() const;
  // Sizes itself to its parent; its height.
  int Layout();

 private:
  HWND bar_ = nullptr;
};

}  // namespace fw
