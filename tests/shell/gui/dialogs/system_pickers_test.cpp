// The system's own pickers, as the dialogs show them: each opens, starts in
// the folder it was given, and hands back the path chosen in it.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/code_page.h"
#include "shell/gui/dialogs/pickers.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree.h"
#include "tests/support/win32/modal_driver.h"
#include "platform/win32/wide_text.h"

namespace test {

namespace {

// The file name box of the system's file dialogs.
constexpr int kFileNameBox = 0x47C;

std::string WithoutSeparator(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Reads a directory's listing, as anything that looks into it does.
void ReadListing(const std::string& directory) {
  WIN32_FIND_DATAW found;
  const HANDLE listing = FindFirstFileW(platform::WidePath(directory + "*").c_str(), &found);
  ASSERT_NE(listing, INVALID_HANDLE_VALUE) << directory;
  FindClose(listing);
}

// The browser finds its start folder by walking its tree, matching items
// that carry each folder's access time: a new folder's access time moves
// when it is first read, so every folder on the way is read once before.
// The system's temporary directory changes all the time; the tree is made
// on the drive's root instead.
TEST(SystemPickers, TheFolderBrowserStartsInTheFolderItIsGiven) {
  TempDir dir("C:\\");
  const std::string photos = dir / std::string("写真/");
  const std::string start = dir / std::string("写真/旅行/");
  MakeTree(dir.Path(), {std::string("写真/旅行/")});
  for (const std::string& folder : {std::string("C:\\"), dir.Path(), photos, start}) ReadListing(folder);
  std::string picked = "unchanged";
  DriveModal(
      [&] {
        ShowSystemFolderBrowser(nullptr, "pick", start, picked);
        return INT_PTR{0};
      },
      // Posted: a click sent now could be handled while the browser is
      // still going to its start folder, which pumps sent messages.
      [](DialogDriver& browser) { browser.ClickLater(IDOK); });
  EXPECT_EQ(picked, WithoutSeparator(start)) << "the folder it opened on, without its separator";
}

// The file-type box of the system's file dialogs.
constexpr int kFileTypeBox = 0x470;

std::string CurrentDirectory() {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  return directory;
}

// The program's current directory stays where it was.
TEST(SystemPickers, TheOpenFileDialogStartsInItsFolder) {
  TempDir dir;
  const std::string current = CurrentDirectory();
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
  EXPECT_EQ(CurrentDirectory(), current);
}

TEST(SystemPickers, TheSaveFileDialogStartsInItsFolderAndAsksBeforeOverwriting) {
  TempDir dir;
  WriteFile(dir / "existing.kyf", "");
  FileRequest request;
  request.initialDirectory = dir.Path();
  request.initialName = "existing";
  request.defaultExtension = "kyf";
  // ポ ends in the byte of "|" in code page 932.
  request.filter = std::string("エクスポート (*.kyf)|*.kyf|すべて (*.*)|*.*||");
  const std::string current = CurrentDirectory();
  std::string fileType;
  std::string chosen;
  bool asked = false;
  const INT_PTR confirmed = DriveModal(
      [&] { return INT_PTR{ThePickers().SaveFile(request, &chosen)}; },
      [&](DialogDriver& dialog) {
        fileType = dialog.Text(kFileTypeBox);
        dialog.ClickLater(IDOK);
        const HWND question = WaitForDialog(dialog.Window());
        asked = question != nullptr;
        if (asked) PostMessageA(question, WM_COMMAND, IDYES, 0);
      });
  EXPECT_TRUE(confirmed);
  EXPECT_TRUE(asked) << "the question before an existing file is overwritten";
  EXPECT_EQ(chosen, dir / "existing.kyf");
  EXPECT_EQ(CurrentDirectory(), current);
  EXPECT_EQ(fileType, std::string("エクスポート (*.kyf)")) << "the filter's name whole";
}

}  // namespace

}  // namespace test
