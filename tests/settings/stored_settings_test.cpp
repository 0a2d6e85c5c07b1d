// The stored values besides the entry list: the settings scope and the log
// settings, with the defaults each reader gets while nothing is stored.

#include "settings/stored_settings.h"

#include <gtest/gtest.h>

#include "foundation/directory.h"
#include "tests/support/saved_settings.h"
#include "tests/support/temp_dir.h"

namespace test {

namespace {

TEST(StoredSettings, TheScopeLivesInTheSharedKeyAndIsPerUserWhileAbsent) {
  RegistrySandbox sandbox;
  const SettingsScopeGuard scope;
  EXPECT_EQ(ReadSettingsScope(), 1);
  for (const int scope : {0, 1, 5}) {
    WriteSettingsScope(scope);
    EXPECT_EQ(ReadSettingsScope(), scope);
    EXPECT_EQ(SettingsKey(0).SetValueName("multiUser").GetInt(), scope);
  }
}

TEST(StoredSettings, LogSettingsReadWithTheDefaultsOfTheirReader) {
  RegistrySandbox sandbox;
  const SavedRegistryValues saved(1, {{"LogDir", platform::RegistryType::kText},
                                      {"LogName", platform::RegistryType::kText},
                                      {"OkLogOut", platform::RegistryType::kNumber},
                                      {"ErrorLogOut", platform::RegistryType::kNumber}});
  for (const char* name : {"LogDir", "LogName", "OkLogOut", "ErrorLogOut"}) SettingsKey(1).SetValueName(name).DeleteValue();
  const LogSettings run = ReadLogSettings(1, LogDefaults::kRun);
  EXPECT_EQ(run.logDir, "") << "before anything is stored a run logs nothing";
  EXPECT_EQ(run.logName, "");
  EXPECT_EQ(run.okLogOut + run.errorLogOut, 0);
  const LogSettings dialog = ReadLogSettings(1, LogDefaults::kDialog);
  EXPECT_EQ(dialog.logDir, GetModuleDirectory() + "LOG" + GetModuleDirectory().back());
  EXPECT_EQ(dialog.logName, "%y_%m_%d.log");

  TempDir logs;
  LogSettings stored{logs.Path() + "logs", "run.log", 1, 0};
  WriteLogSettings(1, stored);
  EXPECT_EQ(stored.logDir, logs.Path() + "logs" + logs.Path().back()) << "stored with its separator";
  for (const LogDefaults defaults : {LogDefaults::kRun, LogDefaults::kDialog}) {
    const LogSettings read = ReadLogSettings(1, defaults);
    EXPECT_EQ(read.logDir, stored.logDir);
    EXPECT_EQ(read.logName, "run.log");
    EXPECT_EQ(read.okLogOut, 1);
    EXPECT_EQ(read.errorLogOut, 0);
  }
  EXPECT_EQ(ReadLogSettings(0, LogDefaults::kRun).logName, "") << "the shared scope is another key";
}

}  // namespace

}  // namespace test
