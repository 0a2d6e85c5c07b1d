#include "tests/support/saved_settings.h"

#include "settings/stored_settings.h"

namespace test {

using platform::RegistryType;

SavedRegistryValues::SavedRegistryValues(int multiUser, std::vector<Value> values)
    : root_(multiUser ? platform::RegistryRoot::kCurrentUser : platform::RegistryRoot::kLocalMachine),
      key_(SettingsKey(multiUser).KeyPath()),
      values_(std::move(values)) {
  for (const Value& value : values_) {
    std::string data;
    if (platform::RegistryRead(root_, key_, value.name, 4096, data)) saved_.push_back(data);
    else saved_.push_back(std::nullopt);
  }
}

SavedRegistryValues::~SavedRegistryValues() {
  for (size_t i = 0; i < values_.size(); ++i) {
    if (saved_[i]) {
      [[maybe_unused]] const bool written =
          platform::RegistryWrite(root_, key_, values_[i].name, values_[i].type, *saved_[i]);
    } else {
      [[maybe_unused]] const bool deleted = platform::RegistryDeleteValue(root_, key_, values_[i].name);
    }
  }
}

LogSettingsGuard::LogSettingsGuard()
    : saved_(1, {{"LogDir", RegistryType::kText},
                 {"LogName", RegistryType::kText},
                 {"OkLogOut", RegistryType::kNumber},
                 {"ErrorLogOut", RegistryType::kNumber}}) {
  Set("", "", 0, 0);
}

void LogSettingsGuard::Set(const std::string& logDir, const std::string& logName, int ok, int error) {
  CtProfile profile = SettingsKey(1);
  profile.SetValueName("LogDir").SetString(logDir);
  profile.SetValueName("LogName").SetString(logName);
  profile.SetValueName("OkLogOut").SetInt(ok);
  profile.SetValueName("ErrorLogOut").SetInt(error);
}

SettingsScopeGuard::SettingsScopeGuard() : saved_(0, {{"multiUser", RegistryType::kNumber}}) {
  SettingsKey(0).SetValueName("multiUser").DeleteValue();
}

}  // namespace test
