// One entry's properties: what OK needs, the subdirectory rule, the pattern,
// and the exclusion list reached from here.

#include "shell/gui/dialogs/entry_properties_dlg.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "resources/ids.h"
#include "tests/support/win32/fake_pickers.h"
#include "tests/support/win32/modal_driver.h"

namespace test {

namespace {

MirrorEntry Filled() {
  MirrorEntry entry;
  entry.name = "n";
  entry.source = "C:\\s\\";
  entry.destination = "D:\\d\\";
  entry.wildcard = "*.txt";
  return entry;
}

INT_PTR Edit(MirrorEntry& entry, const std::function<void(DialogDriver&)>& steps) {
  return DriveModal([&] { return CEntryPropertiesDlg(entry).DoModal(nullptr); }, steps);
}

TEST(EntryProperties, OkNeedsANameAndBothDirectoriesAndSpacesCount) {
  MirrorEntry entry = Filled();
  Edit(entry, [](DialogDriver& dialog) {
    const struct { int edit; std::string text; bool ok; } rows[] = {
        {IDC_NAME, "", false}, {IDC_NAME, " ", true}, {IDC_SOURCE, "", false},
        {IDC_SOURCE, "  ", true}, {IDC_DESTINATION, "", false}, {IDC_DESTINATION, "x", true},
    };
    for (const auto& row : rows) {
      dialog.Type(row.edit, row.text);
      EXPECT_EQ(dialog.Enabled(IDOK), row.ok) << row.edit << " '" << row.text << "'";
    }
    dialog.Click(IDOK);
  });
  EXPECT_EQ(entry.name, " ") << "texts are taken as typed";
  EXPECT_EQ(entry.source, "  ");
  EXPECT_EQ(entry.destination, "x");
}

// 1033 is ticked and fixed while 1019 is ticked; cleared and free while it is
// clear. At opening it shows the stored choice, so a confirmation keeps it.
TEST(EntryProperties, TheSubdirectoryRuleInEveryOrderOfClicks) {
  const struct {
    int subdir, stored;
    std::vector<int> clicks;  // of 1019 (subdir) and 1033 (destinationdir_delete)
    bool ticked, enabled;
    int kept;
  } rows[] = {
      {1, 0, {}, true, false, 1},
      {0, 1, {}, true, true, 1},
      {0, 0, {}, false, true, 0},
      {1, 1, {IDC_SUBDIR}, false, true, 0},
      {1, 0, {IDC_SUBDIR, IDC_SUBDIR}, true, false, 1},
      {0, 0, {IDC_DESTINATIONDIR_DELETE}, true, true, 1},
      {0, 1, {IDC_DESTINATIONDIR_DELETE, IDC_SUBDIR, IDC_SUBDIR}, false, true, 0},
      {0, 0, {IDC_SUBDIR, IDC_DESTINATIONDIR_DELETE}, true, false, 1},
  };
  int n = 0;
  for (const auto& row : rows) {
    MirrorEntry entry = Filled();
    entry.subdir = row.subdir;
    entry.destinationdir_delete = row.stored;
    Edit(entry, [&](DialogDriver& dialog) {
      for (const int click : row.clicks) dialog.Click(click);
      EXPECT_EQ(dialog.Checked(IDC_DESTINATIONDIR_DELETE), row.ticked) << "row " << n;
      EXPECT_EQ(dialog.Enabled(IDC_DESTINATIONDIR_DELETE), row.enabled) << "row " << n;
      dialog.Click(IDOK);
    });
    EXPECT_EQ(entry.destinationdir_delete, row.kept) << "row " << n;
    ++n;
  }
}

TEST(EntryProperties, ThePatternIsEditableOnlyWhenItIsUsedAndKeepsItsText) {
  MirrorEntry entry = Filled();
  Edit(entry, [](DialogDriver& dialog) {
    EXPECT_FALSE(dialog.Enabled(IDC_WILDCARD));
    EXPECT_EQ(dialog.Text(IDC_WILDCARD), "*.txt");
    dialog.Click(IDC_USE_WILDCARD);
    EXPECT_TRUE(dialog.Enabled(IDC_WILDCARD));
    dialog.Type(IDC_WILDCARD, "*.doc");
    dialog.Type(IDC_NOMIRROREXT, std::string(".bak;.ソ"));
    dialog.Click(IDOK);
  });
  EXPECT_EQ(entry.use_wildcard, 1);
  EXPECT_EQ(entry.wildcard, "*.doc");
  EXPECT_EQ(entry.nomirrext, std::string(".bak;.ソ"));
}

// The browse buttons open the folder picker on the edit's text and take
// what it picks; a cancel keeps the text.
TEST(EntryProperties, BrowsingForTheDirectories) {
  MirrorEntry entry = Filled();
  FakePickers pickers;
  pickers.folders = {std::string("E:\\写真"), ""};
  Edit(entry, [](DialogDriver& dialog) {
    dialog.Click(IDC_BROWSE_SOURCE);
    dialog.Click(IDC_BROWSE_DESTINATION);
    dialog.Click(IDOK);
  });
  EXPECT_EQ(entry.source, std::string("E:\\写真"));
  EXPECT_EQ(entry.destination, "D:\\d\\") << "cancelled";
  EXPECT_EQ(pickers.folderStarts, (std::vector<std::string>{"C:\\s\\", "D:\\d\\"}));
  EXPECT_EQ(pickers.folderTitles[0], std::string("コピー元のディレクトリを選択してください。"));
}

// Settings are kept in the system's code page: a folder it cannot hold,
// picked or typed, is refused with a message, never stored as another.
TEST(EntryProperties, FoldersTheCodePageCannotHoldAreRefused) {
  MirrorEntry entry = Filled();
  FakePickers pickers;
  pickers.folders = {"E:\\😀"};
  Edit(entry, [](DialogDriver& dialog) {
    dialog.ClickLater(IDC_BROWSE_SOURCE);
    EXPECT_NE(ReadAndCloseBox(dialog.Window()).find("E:\\😀"), std::string::npos);
    EXPECT_EQ(dialog.Text(IDC_SOURCE), "C:\\s\\") << "the picked folder is not taken";
    dialog.Type(IDC_DESTINATION, "D:\\한국어\\");
    dialog.ClickLater(IDOK);
    EXPECT_NE(ReadAndCloseBox(dialog.Window()).find("한국어"), std::string::npos);
    EXPECT_TRUE(IsWindow(dialog.Window())) << "the dialog stays open";
    dialog.Type(IDC_DESTINATION, "D:\\表\\");
    dialog.Click(IDOK);
  });
  EXPECT_EQ(entry.source, "C:\\s\\");
  EXPECT_EQ(entry.destination, "D:\\表\\");
}

// What the exclusion list dialog confirms reaches the entry at once, also
// when the properties are then cancelled; its pickers start in the source
// as the edit shows it.
TEST(EntryProperties, ConfirmedExclusionsSurviveACancel) {
  MirrorEntry entry = Filled();
  entry.name = "unchanged";
  FakePickers pickers;
  pickers.folders = {"C:\\s\\temp"};
  Edit(entry, [](DialogDriver& dialog) {
    dialog.Type(IDC_NAME, "changed");
    dialog.Type(IDC_SOURCE, "C:\\other\\");
    dialog.ClickLater(IDC_EXCLUSIONS);
    DialogDriver exclusions(WaitForDialog(dialog.Window()));
    exclusions.Click(IDC_ADD_DIRECTORY);
    exclusions.Click(IDOK);
    WaitForClosing(exclusions.Window());
    dialog.Click(IDCANCEL);
  });
  EXPECT_EQ(entry.name, "unchanged");
  EXPECT_EQ(entry.nomirror, std::vector<std::string>{"C:\\s\\temp\\"});
  EXPECT_EQ(pickers.folderStarts, std::vector<std::string>{"C:\\other\\"});
}

}  // namespace

}  // namespace test
