#pragma once
// The Windows program in the test's own process: its application, main
// frame and view over a settings file in the test's directory, driven
// through their messages as a user's clicks would drive them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/gui/kelmdup_app.h"
#include "tests/support/mirror_fixture.h"

namespace test {

class GuiTest : public ProgramRunTest {
 protected:
  ~GuiTest() override;

  // Starts the program with these arguments after its name (by default the
  // test's settings file); its main window is shown.
  CKelmdupApp& Start(std::vector<std::string> arguments);
  CKelmdupApp& Start() { return Start({"/F=" + entries_}); }
  CMainFrame& Frame() { return app_->Frame(); }
  HWND FrameWindow() { return app_->Frame().Handle(); }
  // Handles this thread's messages until `done` holds; false if it never does.
  bool HandleUntil(const std::function<bool()>& done);
  // Handles this thread's messages for a while: for what must not happen.
  void HandleFor(int milliseconds);
  bool Running() { return app_->Document().Running(); }
  // Sends the command as a menu item would.
  void Command(int id);
  // Whether the menu item and the toolbar button of the command are enabled.
  bool MenuItemEnabled(int id);
  bool ToolButtonEnabled(int id);
  // Runs every stored entry from the start command until the run has ended.
  void RunToTheEnd();

 private:
  std::unique_ptr<CKelmdupApp> app_;
};

}  // namespace test
