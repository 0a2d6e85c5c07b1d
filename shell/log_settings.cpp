#include "shell/log_settings.h"

#include "foundation/directory.h"
#include "foundation/profile.h"
#include "settings/settings_location.h"

namespace {

CtProfile SettingsKey(int multiUser) {
  const SettingsScope scope = ScopeFor(multiUser);
  CtProfile profile(scope.root, scope.basePath);
  profile.SetSection("Settings");
  return profile;
}

std::string DefaultLogDir() {
  const std::string directory = GetModuleDirectory();
  return directory + "LOG" + (directory.empty() ? "" : std::string(1, directory.back()));
}

}  // namespace

LogSettings ReadLogSettings() {
  CtProfile profile = SettingsKey(TheSettingsLocation().multiUser);
  LogSettings settings;
  settings.logDir =
      NormalizeDirPath(profile.SetDefault(DefaultLogDir()).SetValueName("LogDir").GetString());
  settings.logName = profile.SetDefault("%y_%m_%d.log").SetValueName("LogName").GetString();
  profile.SetDefault("0");
  settings.okLogOut = profile.SetValueName("OkLogOut").GetInt();
  settings.errorLogOut = profile.SetValueName("ErrorLogOut").GetInt();
  return settings;
}

void StoreLogSettings(LogSettings& settings) {
  settings.logDir = NormalizeDirPath(settings.logDir);
  CtProfile profile = SettingsKey(TheSettingsLocation().multiUser);
  profile.SetValueName("LogDir").SetString(settings.logDir);
  profile.SetValueName("LogName").SetString(settings.logName);
  profile.SetValueName("OkLogOut").SetInt(settings.okLogOut);
  profile.SetValueName("ErrorLogOut").SetInt(settings.errorLogOut);
}

void StoreSettingsScope(int multiUser) {
  CtProfile profile = SettingsKey(0);
  profile.SetValueName("multiUser").SetInt(multiUser);
}
