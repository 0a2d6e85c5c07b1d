// The detailed exclusion list: adding directories and files, the same-text
// rule, deleting and editing items.

#include "shell/gui/dialogs/exclusion_list_dlg.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "resources/ids.h"
#include "tests/support/win32/fake_pickers.h"
#include "tests/support/win32/modal_driver.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

INT_PTR Edit(std::vector<std::string>& items, const std::function<void(DialogDriver&)>& steps) {
  return DriveModal([&] { return CExclusionListDlg(items, "C:\\base\\").DoModal(nullptr); }, steps);
}

constexpr int kDirectoryIcon = 0, kFileIcon = 1;

TEST(ExclusionList, OpeningShowsTheItemsWithTheirIconsAndNothingSelected) {
  std::vector<std::string> items = {"c:\\data\\temp\\", "C:\\data\\a.txt", std::string("C:\\予\\")};
  Edit(items, [](DialogDriver& dialog) {
    EXPECT_EQ(dialog.Rows(IDC_EXCLUSION_LIST), 3);
    EXPECT_EQ(dialog.RowImage(IDC_EXCLUSION_LIST, 0), kDirectoryIcon);
    EXPECT_EQ(dialog.RowImage(IDC_EXCLUSION_LIST, 1), kFileIcon);
    EXPECT_EQ(dialog.RowImage(IDC_EXCLUSION_LIST, 2), kDirectoryIcon) << "予 ends in the byte of a backslash";
    EXPECT_FALSE(dialog.Enabled(IDC_DELETE));
    EXPECT_FALSE(dialog.Enabled(IDC_EDIT));
    dialog.Click(IDCANCEL);
  });
}

// Two texts are the same when they differ only in the letter case of A to Z.
TEST(ExclusionList, TheSameTextIsNotAddedTwice) {
  std::vector<std::string> items = {"c:\\data\\temp\\"};
  FakePickers pickers;
  pickers.folders = {"C:\\Data\\Temp", "C:\\Data\\Other", ""};
  Edit(items, [](DialogDriver& dialog) {
    dialog.Click(IDC_ADD_DIRECTORY);
    EXPECT_EQ(dialog.Rows(IDC_EXCLUSION_LIST), 1);
    dialog.Click(IDC_ADD_DIRECTORY);
    EXPECT_EQ(dialog.Rows(IDC_EXCLUSION_LIST), 2);
    EXPECT_EQ(dialog.SelectedRows(IDC_EXCLUSION_LIST), std::vector<int>{1});
    dialog.Click(IDC_ADD_DIRECTORY);  // cancelled
    EXPECT_EQ(dialog.Rows(IDC_EXCLUSION_LIST), 2);
    dialog.Click(IDOK);
  });
  EXPECT_EQ(items, (std::vector<std::string>{"c:\\data\\temp\\", "C:\\Data\\Other\\"}));
  EXPECT_EQ(pickers.folderStarts[0], "C:\\base\\");
}

// A folder or file the code page cannot hold is refused with a message.
TEST(ExclusionList, ItemsTheCodePageCannotHoldAreRefused) {
  std::vector<std::string> items;
  FakePickers pickers;
  pickers.folders = {"C:\\base\\😀"};
  pickers.openedFiles = {{"C:\\base\\a.txt", "C:\\base\\café.txt"}};
  Edit(items, [](DialogDriver& dialog) {
    dialog.ClickLater(IDC_ADD_DIRECTORY);
    EXPECT_NE(ReadAndCloseBox(dialog.Window()).find("😀"), std::string::npos);
    dialog.ClickLater(IDC_ADD_FILES);
    EXPECT_NE(ReadAndCloseBox(dialog.Window()).find("café.txt"), std::string::npos);
    EXPECT_TRUE(WaitUntil([&] { return dialog.Rows(IDC_EXCLUSION_LIST) == 1; }));
    dialog.Click(IDOK);
  });
  EXPECT_EQ(items, std::vector<std::string>{"C:\\base\\a.txt"});
}

TEST(ExclusionList, ThreeFilesOfWhichOneIsListedAddTwoAndSelectAllThree) {
  std::vector<std::string> items = {"C:\\d\\b.txt", "C:\\d\\x\\"};
  FakePickers pickers;
  pickers.openedFiles = {{"C:\\d\\a.txt", "C:\\D\\B.TXT", "C:\\d\\c.txt"}};
  Edit(items, [](DialogDriver& dialog) {
    dialog.Click(IDC_ADD_FILES);
    EXPECT_EQ(dialog.Rows(IDC_EXCLUSION_LIST), 4);
    EXPECT_EQ(dialog.SelectedRows(IDC_EXCLUSION_LIST), (std::vector<int>{0, 2, 3}));
    dialog.Click(IDOK);
  });
  EXPECT_EQ(items, (std::vector<std::string>{"C:\\d\\b.txt", "C:\\d\\x\\", "C:\\d\\a.txt", "C:\\d\\c.txt"}));
  ASSERT_EQ(pickers.openRequests.size(), 1u);
  EXPECT_TRUE(pickers.openRequests[0].several);
  EXPECT_EQ(pickers.openRequests[0].initialDirectory, "C:\\base\\");
}

TEST(ExclusionList, TwoSelectedRowsCanBeDeletedButNotEdited) {
  std::vector<std::string> items = {"C:\\1\\", "C:\\2\\", "C:\\3\\"};
  Edit(items, [](DialogDriver& dialog) {
    dialog.SelectRows(IDC_EXCLUSION_LIST, {0, 2});
    EXPECT_TRUE(dialog.Enabled(IDC_DELETE));
    EXPECT_FALSE(dialog.Enabled(IDC_EDIT));
    dialog.Click(IDC_DELETE);
    EXPECT_EQ(dialog.Rows(IDC_EXCLUSION_LIST), 1);
    dialog.Click(IDOK);
  });
  EXPECT_EQ(items, std::vector<std::string>{"C:\\2\\"});
}

// Editing a directory item keeps it a directory (a separator is added); a
// file item is taken as typed; an empty text is not accepted.
TEST(ExclusionList, EditingItems) {
  std::vector<std::string> items = {"C:\\dir\\", "C:\\file.txt", "C:\\keep\\"};
  const struct { int row; std::string typed; bool accepted; } edits[] = {
      {0, "D:\\x", true}, {1, "D:\\x", true}, {2, "", false},
  };
  Edit(items, [&](DialogDriver& dialog) {
    for (const auto& edit : edits) {
      dialog.SelectRows(IDC_EXCLUSION_LIST, {edit.row});
      dialog.ClickLater(IDC_EDIT);
      DialogDriver editor(WaitForDialog(dialog.Window()));
      editor.Type(IDC_EDIT_TEXT, edit.typed);
      EXPECT_EQ(editor.Enabled(IDOK), edit.accepted) << edit.row;
      editor.Click(edit.accepted ? IDOK : IDCANCEL);
      WaitForClosing(editor.Window());
    }
    dialog.SelectRows(IDC_EXCLUSION_LIST, {1});
    dialog.DoubleClickLater(IDC_EXCLUSION_LIST);
    DialogDriver editor(WaitForDialog(dialog.Window()));
    EXPECT_EQ(editor.Text(IDC_EDIT_TEXT), "D:\\x") << "a double click edits too";
    editor.Click(IDCANCEL);
    WaitForClosing(editor.Window());
    dialog.Click(IDOK);
  });
  EXPECT_EQ(items, (std::vector<std::string>{"D:\\x\\", "D:\\x", "C:\\keep\\"}));
}

TEST(ExclusionList, CancelKeepsTheListAsItWas) {
  std::vector<std::string> items = {"C:\\a\\"};
  FakePickers pickers;
  pickers.folders = {"C:\\b"};
  Edit(items, [](DialogDriver& dialog) {
    dialog.Click(IDC_ADD_DIRECTORY);
    dialog.SelectRows(IDC_EXCLUSION_LIST, {0});
    dialog.Click(IDC_DELETE);
    dialog.Click(IDCANCEL);
  });
  EXPECT_EQ(items, std::vector<std::string>{"C:\\a\\"});
}

}  // namespace

}  // namespace test
