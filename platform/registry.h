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

// Reads the data of a value. Fails (false) when the key or the value is
// missing, or when the data is longer than maxBytes.
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
