#include "tests/shell/gui/gui_fixture.h"

#include <commctrl.h>

#include "framework/application.h"
#include "resources/ids.h"
#include "tests/support/window_thread.h"

namespace test {

GuiTest::~GuiTest() {
  if (app_ != nullptr && FrameWindow() != nullptr) {
    SendMessageA(FrameWindow(), WM_CLOSE, 0, 0);  // stops a run and waits for it
    HandleUntil([&] { return FrameWindow() == nullptr; });
  }
  // The frame's end posted the quit message that would end a program.
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

CKelmdupApp& GuiTest::Start(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "kelmoray.exe");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  app_ = std::make_unique<CKelmdupApp>();
  EXPECT_TRUE(app_->InitInstance(static_cast<int>(argv.size()), argv.data(), SW_SHOWNORMAL));
  return *app_;
}

bool GuiTest::HandleUntil(const std::function<bool()>& done) {
  return WaitUntil([&] {
    fw::Application::HandlePending(app_ != nullptr && FrameWindow() != nullptr ? &Frame() : nullptr);
    return done();
  });
}

void GuiTest::HandleFor(int milliseconds) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
  while (static_cast<int>(until - GetTickCount()) > 0) {
    fw::Application::HandlePending(app_ != nullptr && FrameWindow() != nullptr ? &Frame() : nullptr);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void GuiTest::Command(int id) { SendMessageA(FrameWindow(), WM_COMMAND, static_cast<WPARAM>(id), 0); }

bool GuiTest::MenuItemEnabled(int id) {
  HMENU menu = GetMenu(FrameWindow());
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    SendMessageA(FrameWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
    const UINT state = GetMenuState(popup, static_cast<UINT>(id), MF_BYCOMMAND);
    if (state != static_cast<UINT>(-1)) return !(state & (MF_GRAYED | MF_DISABLED));
  }
  ADD_FAILURE() << "no menu item " << id;
  return false;
}

bool GuiTest::ToolButtonEnabled(int id) {
  Frame().UpdateToolBar();
  return SendMessageA(Frame().Tools().Handle(), TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0) != 0;
}

void GuiTest::RunToTheEnd() {
  const int before = Frame().EndedRuns();
  Command(ID_MIRROR_START);
  EXPECT_TRUE(HandleUntil([&] { return Frame().EndedRuns() > before; }));
}

}  // namespace test
