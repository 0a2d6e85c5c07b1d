// The log settings and the options: what they show first, their enabling,
// and what reaches the registry of each scope.

#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/directory.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "settings/settings_location.h"
#include "settings/stored_settings.h"
#include "shell/gui/dialogs/log_settings_dlg.h"
#include "shell/gui/dialogs/options_dlg.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/saved_settings.h"
#include "tests/support/win32/fake_pickers.h"
#include "tests/support/win32/modal_driver.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

class LogSettingsTest : public MirrorTest {
 protected:
  INT_PTR Edit(const std::function<void(DialogDriver&)>& steps) {
    return DriveModal([&] { return CLogSettingsDlg(scope_).DoModal(nullptr); }, steps);
  }
  // The shared scope's log settings, kept as they were.
  SavedRegistryValues sharedLog_{0, {{"LogDir", platform::RegistryType::kText},
                                     {"LogName", platform::RegistryType::kText},
                                     {"OkLogOut", platform::RegistryType::kNumber},
                                     {"ErrorLogOut", platform::RegistryType::kNumber}}};
  int scope_ = 1;  // the scope whose settings the dialog edits
};

TEST_F(LogSettingsTest, TheFirstOpeningShowsTheDefaultsAndTheEnablingRule) {
  for (const char* name : {"LogDir", "LogName", "OkLogOut", "ErrorLogOut"}) SettingsKey(1).SetValueName(name).DeleteValue();
  Edit([](DialogDriver& dialog) {
    const std::string module = GetModuleDirectory();
    EXPECT_EQ(dialog.Text(IDC_LOG_DIR), module + "LOG\\");
    EXPECT_EQ(dialog.Text(IDC_LOG_NAME), "%y_%m_%d.log");
    EXPECT_FALSE(dialog.Checked(IDC_SUCCESS_LOG));
    EXPECT_FALSE(dialog.Checked(IDC_ERROR_LOG));
    const struct { int click; bool enabled; } rows[] = {
        {0, false}, {IDC_ERROR_LOG, true}, {IDC_ERROR_LOG, false}, {IDC_SUCCESS_LOG, true},
        {IDC_ERROR_LOG, true}, {IDC_SUCCESS_LOG, true}, {IDC_ERROR_LOG, false},
    };
    for (const auto& row : rows) {
      if (row.click != 0) dialog.Click(row.click);
      for (const int control : {IDC_LOG_DIR, IDC_LOG_BROWSE, IDC_LOG_NAME})
        EXPECT_EQ(dialog.Enabled(control), row.enabled) << "after " << row.click << ", control " << control;
    }
    dialog.Click(IDCANCEL);
  });
  EXPECT_EQ(SettingsKey(1).SetValueName("LogName").SetDefault("(none)").GetString(), "(none)")
      << "a cancel writes nothing";
}

// The directory is stored with its separator; all four values are written.
TEST_F(LogSettingsTest, DirectoriesAreStoredWithTheirSeparator) {
  const struct { std::string typed, stored; } rows[] = {
      {"C:\\logs", "C:\\logs\\"}, {"//server/logs", "//server/logs/"}, {"logs", "logs"}, {"", ""},
      {std::string("C:\\ログ\\表"), std::string("C:\\ログ\\表\\")},
  };
  for (const auto& row : rows) {
    Edit([&](DialogDriver& dialog) {
      dialog.Click(IDC_SUCCESS_LOG);
      dialog.Type(IDC_LOG_DIR, row.typed);
      dialog.Type(IDC_LOG_NAME, "run.log");
      dialog.Click(IDOK);
    });
    const LogSettings stored = ReadLogSettings(1, LogDefaults::kRun);
    EXPECT_EQ(stored.logDir, row.stored) << row.typed;
    EXPECT_EQ(stored.logName, "run.log");
    EXPECT_EQ(stored.okLogOut, 1);
    EXPECT_EQ(stored.errorLogOut, 0);
    LogSettings cleared;
    WriteLogSettings(1, cleared);
  }
}

TEST_F(LogSettingsTest, APickedFolderIsStoredWithItsSeparator) {
  FakePickers pickers;
  pickers.folders = {"C:\\picked"};
  Edit([](DialogDriver& dialog) {
    dialog.Click(IDC_ERROR_LOG);
    dialog.Click(IDC_LOG_BROWSE);
    EXPECT_EQ(dialog.Text(IDC_LOG_DIR), "C:\\picked");
    dialog.Click(IDOK);
  });
  EXPECT_EQ(pickers.folderStarts, std::vector<std::string>{""}) << "no preselected folder";
  EXPECT_EQ(ReadLogSettings(1, LogDefaults::kRun).logDir, "C:\\picked\\");
}

// Each scope reads and writes its own key.
TEST_F(LogSettingsTest, TheScopesKeepTheirOwnValues) {
  for (const int scope : {0, 1}) {
    scope_ = scope;
    Edit([&](DialogDriver& dialog) {
      dialog.Click(IDC_SUCCESS_LOG);
      dialog.Type(IDC_LOG_NAME, "scope" + std::to_string(scope) + ".log");
      dialog.Click(IDOK);
    });
  }
  EXPECT_EQ(ReadLogSettings(0, LogDefaults::kRun).logName, "scope0.log");
  EXPECT_EQ(ReadLogSettings(1, LogDefaults::kRun).logName, "scope1.log");
}

class OptionsTest : public MirrorTest {
 protected:
  SettingsScopeGuard scope_;
};

// Never stored: per user. Confirming writes the choice to the shared key
// and asks whether to end now; OK posts the exit command, Cancel does not.
TEST_F(OptionsTest, TheChoiceTheQuestionAndTheExitCommand) {
  test::WindowThread mainWindow;
  const platform::WindowHandle window = mainWindow.NewWindow();
  for (const int answer : {IDCANCEL, IDOK}) {
    bool asked = false;
    DriveModal([&] { return COptionsDlg(reinterpret_cast<HWND>(window)).DoModal(nullptr); },
               [&](DialogDriver& dialog) {
                 EXPECT_EQ(dialog.Checked(IDC_PER_USER), answer == IDCANCEL) << "per user while never stored";
                 EXPECT_EQ(dialog.Checked(IDC_ALL_USERS), answer == IDOK);
                 if (answer == IDCANCEL) dialog.Click(IDC_ALL_USERS);
                 dialog.ClickLater(IDOK);
                 const HWND question = WaitForDialog(dialog.Window());
                 asked = question != nullptr;
                 if (asked) PostMessageA(question, WM_COMMAND, answer, 0);
               });
    EXPECT_TRUE(asked);
    EXPECT_EQ(ReadSettingsScope(), 0) << "written at every confirmation";
  }
  // Only the answer OK posted the exit command.
  const auto commands = [&] {
    const auto seen = MessageLog::Of(window);
    return std::count(seen.begin(), seen.end(), static_cast<unsigned>(WM_COMMAND));
  };
  EXPECT_TRUE(WaitUntil([&] { return commands() == 1; })) << commands();
}

}  // namespace

}  // namespace test
