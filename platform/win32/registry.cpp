#include "platform/registry.h"

#include <windows.h>
#include <utility>

#include "platform/win32/wide_text.h"

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
    if (rootKey && RegOpenKeyExW(rootKey, WideText(path).c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
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
  const LONG opened = RegOpenKeyExW(rootKey, WideText(keyPath).c_str(), 0, KEY_READ, &key);
  if (opened == ERROR_SUCCESS) RegCloseKey(key);
  return opened == ERROR_SUCCESS || opened == ERROR_FILE_NOT_FOUND ? StoreState::kUsable : StoreState::kUnreadable;
}

// Texts are kept in UTF-16 by the system, with their terminating zero;
// every other type as its bytes.
bool RegistryRead(RegistryRoot root, const std::string& keyPath, const std::string& valueName, size_t maxBytes,
                  std::string& data) {
  Key key(root, keyPath, KEY_READ);
  if (!key.get()) return false;
  const std::wstring name = WideText(valueName);
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  std::string bytes(size, '\0');
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  bytes.resize(size);
  if (type == REG_SZ || type == REG_EXPAND_SZ)
    bytes = ProgramText({reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)});
  if (bytes.size() > maxBytes) return false;
  data = std::move(bytes);
  return true;
}

bool RegistryWrite(RegistryRoot root, const std::string& keyPath, const std::string& valueName, RegistryType type,
                   std::string_view data) {
  HKEY rootKey = RootHandle(root);
  if (!rootKey) return false;
  HKEY created = nullptr;
  if (RegCreateKeyW(rootKey, WideText(keyPath).c_str(), &created) != ERROR_SUCCESS) return false;
  RegCloseKey(created);
  Key key(root, keyPath, KEY_WRITE);
  if (!key.get()) return false;
  std::wstring text;
  if (type == RegistryType::kText) {
    text = WideText(data);
    data = {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)};
  }
  return RegSetValueExW(key.get(), WideText(valueName).c_str(), 0, static_cast<DWORD>(type),
                        reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegistryDeleteKey(RegistryRoot root, const std::string& keyPath) {
  HKEY rootKey = RootHandle(root);
  return rootKey && RegDeleteKeyW(rootKey, WideText(keyPath).c_str()) == ERROR_SUCCESS;
}

bool RegistryDeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
  Key key(root, keyPath, KEY_SET_VALUE);
  return key.get() && RegDeleteValueW(key.get(), WideText(valueName).c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
