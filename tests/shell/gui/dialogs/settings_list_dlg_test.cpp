// The settings list as a user works it: adding, deleting, editing,
// importing and exporting entries, and what reaches the store.

#include "shell/gui/dialogs/settings_list_dlg.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/profile.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "settings/entry_storage.h"
#include "settings/settings_location.h"
#include "tests/support/files.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/win32/fake_pickers.h"
#include "tests/support/win32/modal_driver.h"

namespace test {

namespace {

class SettingsListTest : public MirrorTest {
 protected:
  // The registry set of the test's own (under Wine the registry is the real one).
  void UseRegistrySet() {
    SettingsLocation& location = location_;
    location.useSettingsFile = false;
    location.setKeySuffix = registry_.SetSuffix();
    location.setDisplayName = "work";
  }
  MirrorEntry Named(const std::string& name) {
    MirrorEntry entry = Entry(name);
    entry.source = "C:\\src\\" + name + "\\";
    entry.destination = "D:\\dst\\" + name + "\\";
    return entry;
  }
  // The text of the message box that the dialog shows now; the box is closed.
  INT_PTR Drive(const std::function<void(DialogDriver&)>& steps) {
    return DriveModal([&] { return CSettingsListDlg(location_).DoModal(nullptr); }, steps);
  }
  // Adds an entry through the properties dialog, closing it with `button`.
  static void Add(DialogDriver& list, int button, const std::string& source = "C:\\s\\",
                  const std::string& destination = "D:\\d\\") {
    list.ClickLater(IDC_ADD);
    DialogDriver properties(WaitForDialog(list.Window()));
    properties.Type(IDC_SOURCE, source);
    properties.Type(IDC_DESTINATION, destination);
    properties.Click(button);
    WaitForClosing(properties.Window());
  }
};

TEST_F(SettingsListTest, AddOnAnEmptyListProposesTheFirstNameAndACancelKeepsItEmpty) {
  Store({});
  std::string proposed;
  Drive([&](DialogDriver& list) {
    EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 0);
    EXPECT_FALSE(list.Enabled(IDC_DELETE));
    EXPECT_FALSE(list.Enabled(IDC_PROPERTIES));
    list.ClickLater(IDC_ADD);
    DialogDriver properties(WaitForDialog(list.Window()));
    proposed = properties.Text(IDC_NAME);
    EXPECT_TRUE(properties.Checked(IDC_SUBDIR)) << "a new entry mirrors subdirectories";
    EXPECT_EQ(properties.Text(IDC_WILDCARD), "*.*");
    properties.Click(IDCANCEL);
    WaitForClosing(properties.Window());
    EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 0);
    EXPECT_TRUE(list.SelectedRows(IDC_ENTRY_LIST).empty());
    list.Click(IDOK);
  });
  EXPECT_EQ(proposed, std::string("設定 1"));
  EXPECT_TRUE(LoadEntryList(location_, entries_).empty());
}

// A new entry is named from the current count: with 設定 1 and 設定 3 left,
// the next is 設定 3 as well.
TEST_F(SettingsListTest, NamesComeFromTheCountAfterDeletions) {
  Store({Named(std::string("設定 1")), Named(std::string("設定 2")), Named(std::string("設定 3"))});
  Drive([&](DialogDriver& list) {
    list.SelectRows(IDC_ENTRY_LIST, {1});
    list.Click(IDC_DELETE);
    EXPECT_EQ(list.SelectedRows(IDC_ENTRY_LIST), std::vector<int>{1}) << "the row that moved up";
    Add(list, IDOK);
    EXPECT_EQ(list.RowText(IDC_ENTRY_LIST, 2), std::string("設定 3"));
    EXPECT_EQ(list.SelectedRows(IDC_ENTRY_LIST), std::vector<int>{2});
    list.Click(IDOK);
  });
  const auto stored = LoadEntryList(location_, entries_);
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[2].name, std::string("設定 3"));
  EXPECT_EQ(stored[2].source, "C:\\s\\");
}

TEST_F(SettingsListTest, DeletingTheLastRowSelectsTheOneAboveAndTheOnlyRowLeavesNothing) {
  Store({Named("a"), Named("b")});
  Drive([&](DialogDriver& list) {
    list.SelectRows(IDC_ENTRY_LIST, {1});
    list.Click(IDC_DELETE);
    EXPECT_EQ(list.SelectedRows(IDC_ENTRY_LIST), std::vector<int>{0});
    list.Click(IDC_DELETE);
    EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 0);
    EXPECT_FALSE(list.Enabled(IDC_DELETE));
    EXPECT_FALSE(list.Enabled(IDC_PROPERTIES));
    list.Click(IDCANCEL);
  });
  EXPECT_EQ(LoadEntryList(location_, entries_).size(), 2u) << "a cancel keeps the store";
}

// Import replaces the working list only: Cancel leaves the store alone; OK
// stores the imported list and deletes the stored keys beyond it.
TEST_F(SettingsListTest, ImportThenCancelOrOk) {
  UseRegistrySet();
  std::vector<MirrorEntry> three = {Named("a"), Named("b"), Named("c")};
  SaveEntryList(three, location_);
  const std::string imported = dir_ / "imported.kyf";
  std::vector<MirrorEntry> one = {Named(std::string("写真"))};
  SaveEntryList(one, location_, imported);
  FakePickers pickers;
  for (const int button : {IDCANCEL, IDOK}) {
    pickers.openedFiles = {{imported}};
    Drive([&](DialogDriver& list) {
      list.Click(IDC_IMPORT);
      EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 1);
      EXPECT_EQ(list.RowText(IDC_ENTRY_LIST, 0), std::string("写真"));
      EXPECT_TRUE(list.SelectedRows(IDC_ENTRY_LIST).empty());
      list.Click(button);
    });
    EXPECT_EQ(LoadEntryList(location_).size(), button == IDOK ? 1u : 3u);
  }
  EXPECT_EQ(pickers.openRequests.back().defaultExtension, "kyf");
  EXPECT_FALSE(pickers.openRequests.back().several);
  CtProfile third;
  OpenEntryStore(third, location_, std::nullopt);
  EXPECT_EQ(third.SetSection("%d", 2).SetDefault("none").SetValueName("name").GetString(), "none")
      << "the third key is gone";
}

// Export writes the working list into the file at once, replacing its entry
// sections and keeping the others; the configured store is left alone.
TEST_F(SettingsListTest, ExportKeepsTheFilesOtherSections) {
  Store({Named("a"), Named("b")});
  const std::string target = dir_ / "export.kyf";
  WriteFile(target, "[0]\r\nname=old\r\n[1]\r\nname=old too\r\n[2]\r\nname=old three\r\n[notes]\r\nkeep=this\r\n");
  FakePickers pickers;
  pickers.savedFiles = {target};
  Drive([&](DialogDriver& list) {
    list.SelectRows(IDC_ENTRY_LIST, {0});
    list.Click(IDC_DELETE);
    list.Click(IDC_EXPORT);
    list.Click(IDCANCEL);
  });
  EXPECT_EQ(pickers.saveRequests.at(0).initialName, std::string("設定"));
  const std::string written = ReadFile(target);
  EXPECT_NE(written.find("[notes]\r\nkeep=this\r\n"), std::string::npos) << written;
  EXPECT_EQ(written.find("old"), std::string::npos) << "entry sections up to the first without a name";
  const auto exported = LoadEntryList(location_, target);
  ASSERT_EQ(exported.size(), 1u);
  EXPECT_EQ(exported[0].name, "b");
  EXPECT_EQ(LoadEntryList(location_, entries_).size(), 2u) << "export and cancel leave the configured store";
}

// With "/F=" the list lives in the file: OK writes it, and the label names it.
TEST_F(SettingsListTest, ASettingsFileIsWrittenAndNamed) {
  Store({Named("a")});
  location_.setDisplayName = "entries.kyf";
  Drive([&](DialogDriver& list) {
    EXPECT_EQ(list.Text(IDC_STORE_LABEL), std::string("設定ファイル : ") + "entries.kyf");
    Add(list, IDOK, std::string("C:\\表\\"), std::string("D:\\予\\"));
    list.Click(IDOK);
  });
  const auto stored = LoadEntryList(location_, entries_);
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].source, std::string("C:\\表\\"));
  EXPECT_EQ(stored[1].destination, std::string("D:\\予\\"));
  UseRegistrySet();
  EXPECT_TRUE(LoadEntryList(location_).empty()) << "the registry is left alone";
  EXPECT_EQ(CSettingsListDlg::StoreLabel(location_), std::string("設定セット : ") + "work");
}

TEST_F(SettingsListTest, AddDoesNothingAt256Entries) {
  std::vector<MirrorEntry> full;
  for (int i = 0; i < 256; ++i) full.push_back(Named("e" + std::to_string(i)));
  Store(full);
  Drive([&](DialogDriver& list) {
    list.Click(IDC_ADD);  // opens nothing: a dialog would keep this click waiting
    EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 256);
    list.Click(IDOK);
  });
  EXPECT_EQ(LoadEntryList(location_, entries_).size(), 256u);
}

// Strange input never crashes a dialog nor corrupts the store: an import
// that is no settings file, a read-only export target, long and Japanese
// (half-width kana too) texts.
TEST_F(SettingsListTest, StrangeInputIsTakenQuietly) {
  Store({Named("a")});
  const std::string binary = dir_ / "binary.kyf", readOnly = dir_ / "readonly.kyf";
  std::string noise;
  for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 37) % 256);
  WriteFile(binary, noise);
  WriteFile(readOnly, "[0]\r\nname=keep\r\n");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string longText(4000, 'x'), kana = std::string("ｶﾀｶﾅﾃｽﾄ表");
  FakePickers pickers;
  pickers.openedFiles = {{binary}};
  pickers.savedFiles = {readOnly};
  Drive([&](DialogDriver& list) {
    list.Click(IDC_IMPORT);
    list.ClickLater(IDC_EXPORT);
    const std::string said = ReadAndCloseBox(list.Window());
    EXPECT_NE(said.find(std::string("設定を保存できませんでした。")), std::string::npos) << said;
    EXPECT_NE(said.find(readOnly), std::string::npos) << said;
    Add(list, IDOK, longText + "\\", kana + "\\");
    list.Click(IDOK);
  });
  const std::string kept = ReadFile(readOnly);
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(kept, "[0]\r\nname=keep\r\n") << "a read-only file stays as it was";
  const auto stored = LoadEntryList(location_, entries_);
  ASSERT_FALSE(stored.empty());
  EXPECT_EQ(stored.back().source, longText + "\\") << ReadFile(entries_).substr(0, 300);
  EXPECT_EQ(stored.back().destination, kana + "\\");
}

// A store that cannot be written: OK says so and keeps the dialog open with
// its entries, so that nothing the user did is lost without a word.
TEST_F(SettingsListTest, ASaveThatFailsIsSaidAndTheListStaysOpen) {
  location_.settingsFilePath = dir_ / "missing-folder/entries.kyf";
  Drive([&](DialogDriver& list) {
    Add(list, IDOK);
    list.ClickLater(IDOK);
    const std::string said = ReadAndCloseBox(list.Window());
    EXPECT_NE(said.find(std::string("設定を保存できませんでした。")), std::string::npos) << said;
    EXPECT_NE(said.find("missing-folder"), std::string::npos) << said;
    EXPECT_TRUE(IsWindow(list.Window())) << "the list stays open";
    EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 1) << "with its entries";
    list.Click(IDCANCEL);
  });
}

}  // namespace

}  // namespace test
