// The system's own pickers, as the dialogs show them: each opens, starts in
// the folder it was given, and hands back the path chosen in it.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/code_page.h"
#include "settings/dialogs/folder_picker.h"
#include "settings/dialogs/pickers.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree.h"
#include "tests/support/win32/modal_driver.h"

namespace test {

namespace {

// The file name box of the system's file dialogs.
constexpr int kFileNameBox = 0x47C;

std::string WithoutSeparator(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

TEST(SystemPickers, TheFolderBrowserStartsInTheFolderItIsGiven) {
  TempDir dir;
  MakeTree(dir.Path(), {platform::Utf8ToSystem("写真/旅行/")});
  const std::string start = Below(dir.Path(), platform::Utf8ToSystem("写真/旅行/"));
  std::string picked = "unchanged";
  DriveModal(
      [&] {
        ShowSystemFolderBrowser(nullptr, "pick", start, picked);
        return INT_PTR{0};
      },
      [](DialogDriver& browser) { browser.Click(IDOK); });
  EXPECT_EQ(picked, WithoutSeparator(start)) << "the folder it opened on, without its separator";
}

TEST(SystemPickers, TheOpenFileDialogStartsInItsFolder) {
  TempDir dir;
  MakeTree(dir.Path(), {"wanted.txt", "other.txt"});
  FileRequest request;
  request.initialDirectory = dir.Path();
  request.filter = "All (*.*)|*.*||";
  request.several = true;
  std::vector<std::string> chosen;
  const INT_PTR confirmed = DriveModal(
      [&] { return INT_PTR{ThePickers().OpenFiles(request, &chosen)}; },
      [](DialogDriver& dialog) {
        dialog.Type(kFileNameBox, "wanted.txt");
        dialog.ClickLater(IDOK);
      });
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(chosen, std::vector<std::string>{dir / "wanted.txt"});
}

TEST(SystemPickers, TheSaveFileDialogStartsInItsFolderAndAsksBeforeOverwriting) {
  TempDir dir;
  WriteFile(dir / "existing.kyf", "");
  FileRequest request;
  request.initialDirectory = dir.Path();
  request.initialName = "existing";
  request.defaultExtension = "kyf";
  request.filter = "Kelmoray Files (*.kyf)|*.kyf|All Files (*.*)|*.*||";
  std::string chosen;
  bool asked = false;
  const INT_PTR confirmed = DriveModal(
      [&] { return INT_PTR{ThePickers().SaveFile(request, &chosen)}; },
      [&](DialogDriver& dialog) {
        dialog.ClickLater(IDOK);
        const HWND question = WaitForDialog(dialog.Window());
        asked = question != nullptr;
        if (asked) PostMessageA(question, WM_COMMAND, IDYES, 0);
      });
  EXPECT_TRUE(confirmed);
  EXPECT_TRUE(asked) << "the question before an existing file is overwritten";
  EXPECT_EQ(chosen, dir / "existing.kyf");
}

}  // namespace

}  // namespace test
