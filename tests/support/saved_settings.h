#pragma once
// Stored values that tests change and put back: under Windows the settings
// keys are the machine's real ones.

#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace test {

// Saves values of one settings key with their types, and at destruction
// puts back each one that was there and deletes each one that was not.
class SavedRegistryValues {
 public:
  struct Value {
    const char* name;
    platform::RegistryType type;
  };
  // `multiUser`: the settings key of that scope (settings/stored_settings.h).
  SavedRegistryValues(int multiUser, std::vector<Value> values);
  ~SavedRegistryValues();
  SavedRegistryValues(const SavedRegistryValues&) = delete;
  SavedRegistryValues& operator=(const SavedRegistryValues&) = delete;

 private:
  platform::RegistryRoot root_;
  std::string key_;
  std::vector<Value> values_;
  std::vector<std::optional<std::string>> saved_;
};

// The four log settings of the per-user key, set to log nothing while the
// guard lives.
class LogSettingsGuard {
 public:
  LogSettingsGuard();
  void Set(const std::string& logDir, const std::string& logName, int ok, int error);

 private:
  SavedRegistryValues saved_;
};

// The settings scope in the shared key, deleted while the guard lives.
class SettingsScopeGuard {
 public:
  SettingsScopeGuard();

 private:
  SavedRegistryValues saved_;
};

}  // namespace test
