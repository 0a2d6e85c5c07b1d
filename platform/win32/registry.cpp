#include "platform/registry.h"

#include <windows.h>

namespace platform {
namespace {

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kNone: return nullptr;
    case RegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

// An open key, closed when it goes out of scope.
class Key {
 public:
  Key(RegistryRoot root, const std::string& path, REGSAM access) {
    HKEY rootKey = RootHandle(root);
    if (rootKey && RegOpenKeyExA(rootKey, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

// The registry is always there; a key the user may not read is what keeps
// a store from being used.
StoreState CheckRegistryStore(RegistryRoot root, const std::string& keyPath, std::string* where) {
  *where = (root == RegistryRoot::kLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + keyPath;
  HKEY rootKey = RootHandle(root);
  HKEY key = nullptr;
  if (!rootKey) return StoreState::kUnreadable;
  const LONG opened = RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_READ, &key);
  if (opened == ERROR_SUCCESS) RegCloseKey(key);
  return opened == ERROR_SUCCESS || opened == ERROR_FILE_NOT_FOUND ? StoreState::kUsable : StoreState::kUnreadable;
}

bool RegistryRead(RegistryRoot root, const std::string& keyPath, const std::string& valueName, size_t maxBytes,
                  std::string& data) {
  Key key(root, keyPath, KEY_READ);
  if (!key.get()) return false;
  data.assign(maxBytes, '\0');
  DWORD size = static_cast<DWORD>(maxBytes);
  DWORD type = REG_NONE;
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  data.resize(size);
  return true;
}

bool RegistryWrite(RegistryRoot root, const std::string& keyPath, const std::string& valueName, RegistryType type,
                   std::string_view data) {
  HKEY rootKey = RootHandle(root);
  if (!rootKey) return false;
  HKEY created = nullptr;
  if (RegCreateKeyA(rootKey, keyPath.c_str(), &created) != ERROR_SUCCESS) return false;
  RegCloseKey(created);
  Key key(root, keyPath, KEY_WRITE);
  if (!key.get()) return false;
  return RegSetValueExA(key.get(), valueName.c_str(), 0, static_cast<DWORD>(type),
                        reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegistryDeleteKey(RegistryRoot root, const std::string& keyPath) {
  HKEY rootKey = RootHandle(root);
  return rootKey && RegDeleteKeyA(rootKey, keyPath.c_str()) == ERROR_SUCCESS;
}

bool RegistryDeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
  Key key(root, keyPath, KEY_SET_VALUE);
  return key.get() && RegDeleteValueA(key.get(), valueName.c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
