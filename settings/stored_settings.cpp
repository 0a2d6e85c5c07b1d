#include "settings/stored_settings.h"

#include "foundation/directory.h"
#include "foundation/path.h"

namespace {

constexpr const char* kPerUserBasePath = "\\SOFTWARE\\Brindlecode\\Kelmor\\";
constexpr const char* kSharedBasePath = "\\SOFTWARE\\Brindlecode\\Kelmoray for Win32\\";
constexpr const char* kPerUserEntries = "\\Software\\Brindlecode\\Kelmor\\Settings";
constexpr const char* kSharedEntries = "\\SOFTWARE\\Brindlecode\\Kelmoray for Win32\\Settings";

RegistryRoot RootOf(int multiUser) { return multiUser ? RegistryRoot::kCurrentUser : RegistryRoot::kLocalMachine; }

std::string DialogLogDir() {
  const std::string directory = GetModuleDirectory();
  return directory + "LOG" + (directory.empty() ? "" : std::string(1, directory.back()));
}

}  // namespace

CtProfile SettingsKey(int multiUser) {
  CtProfile profile(RootOf(multiUser), multiUser ? kPerUserBasePath : kSharedBasePath);
  profile.SetSection("Settings");
  return profile;
}

EntryListKey EntryListKeyOf(int multiUser) {
  return {RootOf(multiUser), multiUser ? kPerUserEntries : kSharedEntries};
}

int ReadSettingsScope() { return SettingsKey(0).SetValueName("multiUser").SetDefault("1").GetInt(); }

void WriteSettingsScope(int multiUser) { SettingsKey(0).SetValueName("multiUser").SetInt(multiUser); }

LogSettings ReadLogSettings(int multiUser, LogDefaults defaults) {
  const bool dialog = defaults == LogDefaults::kDialog;
  CtProfile profile = SettingsKey(multiUser);
  LogSettings settings;
  settings.logDir = profile.SetDefault(dialog ? DialogLogDir() : "").SetValueName("LogDir").GetString();
  settings.logName = profile.SetDefault(dialog ? "%y_%m_%d.log" : "").SetValueName("LogName").GetString();
  profile.SetDefault("0");
  settings.okLogOut = profile.SetValueName("OkLogOut").GetInt() != 0;
  settings.errorLogOut = profile.SetValueName("ErrorLogOut").GetInt() != 0;
  if (dialog) settings.logDir = NormalizeDirPath(settings.logDir);
  return settings;
}

void WriteLogSettings(int multiUser, LogSettings& settings) {
  settings.logDir = NormalizeDirPath(settings.logDir);
  CtProfile profile = SettingsKey(multiUser);
  profile.SetValueName("LogDir").SetString(settings.logDir);
  profile.SetValueName("LogName").SetString(settings.logName);
  profile.SetValueName("OkLogOut").SetInt(settings.okLogOut ? 1 : 0);
  profile.SetValueName("ErrorLogOut").SetInt(settings.errorLogOut ? 1 : 0);
}
