// Every dialog worked by the keyboard alone, with real key events: the
// mnemonics, Tab, Space, Enter and Escape take a person from opening to OK
// or Cancel, and no pressed button that becomes disabled leaves the
// keyboard nowhere.

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "resources/ids.h"
#include "shell/gui/dialogs/edit_text_dlg.h"
#include "shell/gui/dialogs/exclusion_list_dlg.h"
#include "shell/gui/dialogs/settings_list_dlg.h"
#include "settings/entry_storage.h"
#include "settings/stored_settings.h"
#include "shell/gui/dialogs/about_dlg.h"
#include "shell/gui/dialogs/log_settings_dlg.h"
#include "shell/gui/dialogs/options_dlg.h"
#include "tests/support/saved_settings.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/win32/user_input.h"
#include "tests/support/win32/modal_driver.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

// The keys go to the foreground window, which another program may have
// taken: the dialog is brought forward as a person's click would.
bool Activate(const DialogDriver& dialog) {
  return WaitUntil([&] {
    if (GetForegroundWindow() == dialog.Window()) return true;
    SetForegroundWindow(dialog.Window());
    return false;
  }, 5);
}

// The focus is on an enabled control of the dialog: keys have somewhere to go.
bool KeyboardIsUsable(const DialogDriver& dialog) {
  const HWND focus = FocusOf(GetWindowThreadProcessId(dialog.Window(), nullptr));
  return focus != nullptr && IsChild(dialog.Window(), focus) && IsWindowEnabled(focus);
}

bool FocusIsOn(const DialogDriver& dialog, int control) {
  return WaitUntil([&] { return FocusOf(GetWindowThreadProcessId(dialog.Window(), nullptr)) == dialog.Control(control); },
                   5);
}

class KeyboardTest : public ProgramRunTest {};

// Delete the last entry, add one, look at its properties: every step by keys.
TEST_F(KeyboardTest, TheSettingsListFromOpeningToOk) {
  Store({Entry("a"), Entry("b")});
  const INT_PTR result = DriveModal([&] { return CSettingsListDlg(location_).DoModal(nullptr); }, [&](DialogDriver& list) {
    ASSERT_TRUE(Activate(list));
    ASSERT_TRUE(WaitUntil([&] { return KeyboardIsUsable(list); }, 5)) << "a control has the focus at the start";
    for (const int left : {1, 0}) {
      PressKey('D', kAlt);
      ASSERT_TRUE(WaitUntil([&] { return list.Rows(IDC_ENTRY_LIST) == left; }, 5)) << "削除(&D)";
    }
    EXPECT_FALSE(list.Enabled(IDC_DELETE));
    EXPECT_TRUE(WaitUntil([&] { return KeyboardIsUsable(list); }, 5)) << "the disabled 削除 gave the focus away";
    PressKey('A', kAlt);
    DialogDriver properties(WaitForDialog(list.Window()));
    ASSERT_NE(properties.Window(), nullptr) << "追加(&A) opens the properties";
    PressKey('S', kAlt);
    ASSERT_TRUE(FocusIsOn(properties, IDC_SOURCE)) << "(&S) reaches its field";
    TypeText("C:\\写真\\");
    PressKey('D', kAlt);
    ASSERT_TRUE(FocusIsOn(properties, IDC_DESTINATION));
    TypeText("D:\\copy\\");
    ASSERT_TRUE(WaitUntil([&] { return properties.Enabled(IDOK); }, 5));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForClosing(properties.Window()));
    ASSERT_TRUE(WaitUntil([&] { return list.Rows(IDC_ENTRY_LIST) == 1; }, 5));
    PressKey('P', kAlt);
    DialogDriver again(WaitForDialog(list.Window()));
    ASSERT_NE(again.Window(), nullptr) << "プロパティ(&P)";
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitForClosing(again.Window()));
    EXPECT_TRUE(WaitUntil([&] { return KeyboardIsUsable(list); }, 5)) << "after the properties closed";
    PressKey(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  const auto stored = LoadEntryList(location_, entries_);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].source, std::string("C:\\写真\\"));
  EXPECT_EQ(stored[0].destination, "D:\\copy\\");
}

// 削除 deletes the selected items and is disabled under the keyboard's focus.
TEST_F(KeyboardTest, TheExclusionListFromOpeningToCancel) {
  std::vector<std::string> items = {"C:\\data\\a\\", "C:\\data\\b.txt"};
  const INT_PTR result = DriveModal([&] { return CExclusionListDlg(items, "C:\\data\\").DoModal(nullptr); },
                                    [&](DialogDriver& dialog) {
    ASSERT_TRUE(Activate(dialog));
    ASSERT_TRUE(WaitUntil([&] { return KeyboardIsUsable(dialog); }, 5));
    PressKey(VK_DOWN);  // the list selects its first item
    ASSERT_TRUE(WaitUntil([&] { return dialog.Enabled(IDC_DELETE); }, 5));
    for (int tab = 0; tab < 3; ++tab) PressKey(VK_TAB);
    ASSERT_TRUE(FocusIsOn(dialog, IDC_DELETE));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return dialog.Rows(IDC_EXCLUSION_LIST) == 1; }, 5));
    EXPECT_TRUE(WaitUntil([&] { return KeyboardIsUsable(dialog); }, 5)) << "the disabled 削除 gave the focus away";
    PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(items.size(), 2u) << "a cancel keeps the list";
}

// A mnemonic reaches the field right after its label.
TEST_F(KeyboardTest, TheLogSettingsFromOpeningToOk) {
  logSettings_.Set("C:\\old\\", "old.log", 0, 0);
  const INT_PTR result = DriveModal([] { return CLogSettingsDlg(1).DoModal(nullptr); }, [&](DialogDriver& dialog) {
    ASSERT_TRUE(Activate(dialog));
    ASSERT_TRUE(FocusIsOn(dialog, IDC_SUCCESS_LOG)) << "the first control that takes the focus";
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return dialog.Enabled(IDC_LOG_DIR); }, 5));
    PressKey('L', kAlt);
    ASSERT_TRUE(FocusIsOn(dialog, IDC_LOG_DIR)) << "ログ出力ディレクトリ(&L)";
    TypeText("C:\\ログ\\");
    PressKey('F', kAlt);
    ASSERT_TRUE(FocusIsOn(dialog, IDC_LOG_NAME)) << "ログファイル名(&F)";
    TypeText("run.log");
    PressKey(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  const LogSettings stored = ReadLogSettings(1, LogDefaults::kRun);
  EXPECT_EQ(stored.logDir, std::string("C:\\ログ\\"));
  EXPECT_EQ(stored.logName, "run.log");
  EXPECT_EQ(stored.okLogOut, 1);
}

// An emptied text cannot be confirmed; Escape still leaves.
TEST_F(KeyboardTest, TheEditDialogAndTheAboutBox) {
  std::string text = "C:\\old\\";
  INT_PTR result = DriveModal([&] { return CEditTextDlg(text).DoModal(nullptr); }, [&](DialogDriver& dialog) {
    ASSERT_TRUE(Activate(dialog));
    ASSERT_TRUE(FocusIsOn(dialog, IDC_EDIT_TEXT));
    PressKey(VK_BACK);  // the whole text is selected when the dialog opens
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Enabled(IDOK); }, 5));
    PressKey(VK_RETURN);
    EXPECT_TRUE(KeyboardIsUsable(dialog));
    PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(text, "C:\\old\\");
  result = DriveModal([&] { return CEditTextDlg(text).DoModal(nullptr); }, [&](DialogDriver& dialog) {
    ASSERT_TRUE(Activate(dialog));
    ASSERT_TRUE(FocusIsOn(dialog, IDC_EDIT_TEXT));
    TypeText("C:\\new\\");
    PressKey(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(text, "C:\\new\\");
  result = DriveModal([] { return CAboutDlg().DoModal(nullptr); }, [](DialogDriver& about) {
    ASSERT_TRUE(Activate(about));
    PressKey(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
}

// The arrow keys move between the scopes; the question that follows OK
// answers to Escape.
TEST_F(KeyboardTest, TheOptionsFromOpeningToOk) {
  SettingsScopeGuard scope;  // per user while none is stored
  const INT_PTR result = DriveModal([] { return COptionsDlg(nullptr).DoModal(nullptr); }, [&](DialogDriver& dialog) {
    ASSERT_TRUE(Activate(dialog));
    ASSERT_TRUE(FocusIsOn(dialog, IDC_PER_USER));
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return dialog.Checked(IDC_ALL_USERS); }, 5));
    PressKey(VK_RETURN);
    DialogDriver question(WaitForDialog(dialog.Window()));
    ASSERT_NE(question.Window(), nullptr) << "asked whether to end now";
    PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(ReadSettingsScope(), 0) << "all users";
}

}  // namespace

}  // namespace test
