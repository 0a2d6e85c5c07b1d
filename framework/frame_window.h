#pragma once
// The main window of a single-document program: the menu, accelerators,
// icon and title of one resource number, a toolbar from the toolbar
// resource of that number, a one-pane status bar, and a client window (the
// view) between them. Commands go along the route frame, view, document,
// application; their enabling is asked of the route when a menu opens and
// when the toolbar is updated at idle time. While a menu item or a toolbar
// button is highlighted, the status bar shows its command's prompt.

#include <windows.h>

#include <string>

#include "framework/command_target.h"
#include "framework/status_bar.h"
#include "framework/tool_bar.h"
#include "framework/window.h"

namespace fw {

// What makes a frame the program's own.
struct FrameStyle {
  int resourceId;        // its menu, accelerators, icon, toolbar and document string
  const char* className;
  int width;
  int height;
  unsigned idleTextId;   // the string the status bar shows when nothing else is to be said
};

class FrameWindow : public Window, public CommandTarget {
 public:
  // Control ids of the bars, as the system's frames number them.
  static constexpr int kToolBarId = 0xE800;
  static constexpr int kStatusBarId = 0xE801;

  // Creates the frame (hidden); false on failure.
  bool Create(const FrameStyle& style);
  // The route that commands take; the program fills it in.
  CommandRoute& Route() { return route_; }
  HACCEL Accelerators() const { return accelerators_; }

  // The caption: the document's title, a dash, and the window title.
  void SetDocumentTitle(const std::string& title);
  // The status bar's pane.
  void SetStatusText(const std::string& text);
  std::string StatusText() const { return statusBar_.Text(); }
  // What the pane shows while nothing else is to be said.
  std::string IdleText() const;
  ToolBar& Tools() { return toolBar_; }

  // Brings the toolbar's buttons in line with the route's enabling; the
  // application calls it whenever its message queue has run empty.
  void UpdateToolBar();

 protected:
  // The client window, created as a child of the frame; null on failure.
  virtual HWND CreateClient() = 0;
  // After the frame and its bars exist; false fails the creation.
  virtual bool OnCreated() { return true; }
  virtual void OnTimer(UINT_PTR id) {}
  // The user or the program asks the frame to close; the default closes it.
  virtual void OnClose();
  virtual void OnDestroy() {}
  // The session ends (log-off or shutdown): the process ends once this returns.
  virtual void OnEndSession() {}
  // A message of the program's own range (WM_USER and above) sent or posted to the frame.
  virtual void OnProgramMessage(UINT message, WPARAM wParam) {}
  // Notifications from the client window.
  virtual LRESULT OnClientNotify(NMHDR* header) { return 0; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

 private:
  bool OnCreate();
  void Layout();
  void EnableMenuItems(HMENU menu);
  void ShowPrompt(UINT command);
  LRESULT OnNotify(NMHDR* header);

  CommandRoute route_;
  ToolBar toolBar_;
  StatusBar statusBar_;
  HWND client_ = nullptr;
  HACCEL accelerators_ = nullptr;
  FrameStyle style_{};
  std::string windowTitle_;
  std::wstring tooltip_;  // the text a tooltip is showing
};

}  // namespace fw
