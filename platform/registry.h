#pragma once
// The system's hierarchical settings store: two roots, keys named by paths
// with "\" between their components, key and value names compared without
// regard to letter case, typed values. Every call opens what it needs and
// closes it again.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class RegistryRoot { kNone, kCurrentUser, kLocalMachine };

// Value types, numbered as the system numbers them.
enum class RegistryType : uint32_t { kText = 1, kBinary = 3, kNumber = 4 };

// Whether a root's store can be used. One that does not exist yet can: it
// is empty. Natively the per-user store cannot be found without a home
// directory (never a shared place instead), and a store that another user
// owns or others may write is never used, as a planted one would be.
enum class StoreState { kUsable, kNoHome, kUntrusted, kUnreadable };

// The state of the store that holds keyPath below root, and in *where the
// store's file (natively) or key (Windows) for a message.
StoreState CheckRegistryStore(RegistryRoot root, const std::string& keyPath, std::string* where);

// Reads the data of a value. Fails (false) when the key or the value is
// missing, when the data is longer than maxBytes, or when the store cannot
// be used.
[[nodiscard]] bool RegistryRead(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                                size_t maxBytes, std::string& data);

// Creates the key with every missing key above it, then stores the value,
// replacing one of the same name. False when any step fails.
[[nodiscard]] bool RegistryWrite(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                                 RegistryType type, std::string_view data);

// Deletes a key and its values. Fails when the key is missing or has subkeys.
[[nodiscard]] bool RegistryDeleteKey(RegistryRoot root, const std::string& keyPath);

// Deletes one value. Fails when the key or the value is missing.
[[nodiscard]] bool RegistryDeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName);

}  // namespace platform
