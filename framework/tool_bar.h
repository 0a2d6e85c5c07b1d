#pragma once
// A toolbar made from a toolbar resource (its buttons' commands, in order,
// 0 for a separator) and a bitmap of the same number holding the buttons'
// pictures side by side; magenta pixels are transparent.

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace fw {

class ToolBar {
 public:
  ToolBar() = default;
  ~ToolBar();
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  // Creates the toolbar along the top of `parent`, with tooltips; false on failure.
  bool Create(HWND parent, int controlId, int resourceId);
  HWND Handle() const { return toolbar_; }
  // The commands of the buttons, in order (separators left out).
  const std::vector<int>& Commands() const { return commands_; }
  void Enable(int command, bool enabled);
  // Sizes itself to its parent; its height.
  int Layout();

 private:
  HWND toolbar_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<int> commands_;
};

}  // namespace fw
