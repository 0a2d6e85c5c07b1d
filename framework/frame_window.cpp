#include "framework/frame_window.h"

#include <commctrl.h>

#include "framework/resource_text.h"
#include "platform/win32/wide_text.h"

namespace fw {

namespace {

// The first field of the document string: the window title.
std::string WindowTitleOf(int resourceId) {
  const std::string documentString = LoadText(static_cast<unsigned>(resourceId));
  return documentString.substr(0, documentString.find('\n'));
}

}  // namespace

bool FrameWindow::Create(const FrameStyle& style) {
  style_ = style;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(style.resourceId));
  if (!RegisterWindowClass(style.className, icon, nullptr)) return false;
  windowTitle_ = WindowTitleOf(style.resourceId);
  HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(style.resourceId));
  accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(style.resourceId));
  return CreateBound(0, style.className, windowTitle_.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                     CW_USEDEFAULT, CW_USEDEFAULT, style.width, style.height, nullptr, menu) != nullptr;
}

bool FrameWindow::OnCreate() {
  if (!toolBar_.Create(Handle(), kToolBarId, style_.resourceId)) return false;
  if (!statusBar_.Create(Handle(), kStatusBarId)) return false;
  statusBar_.SetText(IdleText());
  client_ = CreateClient();
  return client_ != nullptr && OnCreated();
}

void FrameWindow::SetDocumentTitle(const std::string& title) {
  SetWindowTextW(Handle(), platform::WideText(title + " - " + windowTitle_).c_str());
}

void FrameWindow::SetStatusText(const std::string& text) { statusBar_.SetText(text); }

std::string FrameWindow::IdleText() const { return LoadText(style_.idleTextId); }

void FrameWindow::UpdateToolBar() {
  if (toolBar_.Handle() == nullptr) return;
  for (const int command : toolBar_.Commands()) toolBar_.Enable(command, route_.IsEnabled(command));
}

void FrameWindow::OnClose() { DestroyWindow(Handle()); }

void FrameWindow::Layout() {
  RECT client;
  GetClientRect(Handle(), &client);
  const int top = toolBar_.Layout();
  const int bottom = statusBar_.Layout();
  if (client_ != nullptr)
    MoveWindow(client_, 0, top, client.right, client.bottom - top - bottom > 0 ? client.bottom - top - bottom : 0,
               TRUE);
}

void FrameWindow::EnableMenuItems(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const UINT command = GetMenuItemID(menu, i);
    if (command == 0 || command == static_cast<UINT>(-1)) continue;  // a separator or a submenu
    const bool enabled = route_.IsEnabled(static_cast<int>(command));
    EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  }
}

void FrameWindow::ShowPrompt(UINT command) {
  const std::string prompt = PromptOf(command);
  statusBar_.SetText(prompt.empty() ? IdleText() : prompt);
}

LRESULT FrameWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom == client_) return OnClientNotify(header);
  if (header->code == TTN_GETDISPINFOW) {
    tooltip_ = platform::WideText(TooltipOf(static_cast<unsigned>(header->idFrom)));
    reinterpret_cast<NMTTDISPINFOW*>(header)->lpszText = tooltip_.data();
    return 0;
  }
  if (header->code == TBN_HOTITEMCHANGE && header->hwndFrom == toolBar_.Handle()) {
    const auto* change = reinterpret_cast<NMTBHOTITEM*>(header);
    if (change->dwFlags & HICF_LEAVING) statusBar_.SetText(IdleText());
    else ShowPrompt(static_cast<UINT>(change->idNew));
  }
  return 0;
}

LRESULT FrameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Layout();  // a minimised window keeps its client as it was
      return 0;
    case WM_SETFOCUS:
      if (client_ != nullptr) SetFocus(client_);
      return 0;
    case WM_COMMAND: {
      const int command = LOWORD(wParam);
      // A disabled command does nothing, also from its accelerator.
      if (lParam == 0 || reinterpret_cast<HWND>(lParam) == toolBar_.Handle())
        if (route_.IsEnabled(command)) {
          route_.Execute(command);
          UpdateToolBar();  // what the command changed shows at once
        }
      return 0;
    }
    case WM_INITMENUPOPUP:
      // The window menu's commands are the system's, not ours.
      if (HIWORD(lParam)) return Window::HandleMessage(message, wParam, lParam);
      EnableMenuItems(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_MENUSELECT: {
      const UINT flags = HIWORD(wParam);
      if (flags == 0xFFFF && lParam == 0) statusBar_.SetText(IdleText());  // the menu closed
      else if (!(flags & (MF_POPUP | MF_SEPARATOR))) ShowPrompt(LOWORD(wParam));
      return 0;
    }
    // The controls' notifications come in UTF-16, whatever the window's own texts.
    case WM_NOTIFYFORMAT: return NFR_UNICODE;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_ENDSESSION:
      if (wParam) OnEndSession();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      if (message >= WM_USER && message < 0x8000) {
        OnProgramMessage(message, wParam);
        return 0;
      }
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace fw
