// The settings dialogs opened by the main window's commands, as a user
// opens them from its menu: what is changed and confirmed there is what the
// next run does.

#include <gtest/gtest.h>

#include "engine/messages.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "settings/entry_storage.h"
#include "tests/shell/gui/gui_fixture.h"
#include "tests/support/files.h"
#include "tests/support/tree.h"
#include "tests/support/win32/fake_pickers.h"
#include "tests/support/win32/modal_driver.h"

namespace test {

namespace {

class DialogsFromTheFrameTest : public GuiTest {
 protected:
  // Opens the command's dialog from the main window and works it with `steps`.
  void Open(int command, const std::function<void(DialogDriver&)>& steps) {
    DriveModal(
        [&] {
          Command(command);
          return INT_PTR{0};
        },
        steps);
  }
};

// A new entry, with an extension left out and an exclusion item, and the
// log settings: the next run mirrors by them and logs where they say.
TEST_F(DialogsFromTheFrameTest, WhatIsConfirmedInTheDialogsIsWhatTheNextRunDoes) {
  const std::string kept = std::string("写真/予定表.txt");
  const std::string excluded = std::string("一時/ソ.txt");
  MakeTree(src_, {kept, excluded, "notes.bak"});
  Store({});
  FakePickers pickers;
  pickers.folders = {Below(src_, std::string("一時"))};  // as the folder picker gives it
  Start();
  Open(ID_MIRROR_SETTINGS, [&](DialogDriver& list) {
    list.ClickLater(IDC_ADD);
    DialogDriver properties(WaitForDialog(list.Window()));
    properties.Type(IDC_NAME, std::string("写真のバックアップ"));
    properties.Type(IDC_SOURCE, src_);
    properties.Type(IDC_DESTINATION, dst_);
    properties.Type(IDC_NOMIRROREXT, ".bak");
    properties.ClickLater(IDC_EXCLUSIONS);
    DialogDriver exclusions(WaitForDialog(properties.Window()));
    exclusions.Click(IDC_ADD_DIRECTORY);
    EXPECT_EQ(exclusions.Rows(IDC_EXCLUSION_LIST), 1);
    exclusions.Click(IDOK);
    WaitForClosing(exclusions.Window());
    properties.Click(IDOK);
    WaitForClosing(properties.Window());
    EXPECT_EQ(list.Rows(IDC_ENTRY_LIST), 1);
    list.Click(IDOK);
  });
  Open(ID_LOG_SETTINGS, [&](DialogDriver& log) {
    log.Click(IDC_SUCCESS_LOG);
    log.Type(IDC_LOG_DIR, dir_ / "logs");
    log.Type(IDC_LOG_NAME, "run.log");
    log.Click(IDOK);
  });
  ASSERT_EQ(LoadEntryList(location_, entries_).size(), 1u) << "the entry reached the settings file";

  RunToTheEnd();
  EXPECT_EQ(ListTree(dst_), (std::set<std::string>{std::string("写真/"), kept}));
  const std::string log = ReadStoredText(dir_ / "logs\\run.log");
  EXPECT_NE(log.find(MessageText(kMsgCopyFile) + "\r\n\t" + Below(src_, kept)), std::string::npos) << log;
}

}  // namespace

}  // namespace test
