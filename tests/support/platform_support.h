#pragma once
// The few services tests need that differ between the platforms.

#include <string>

namespace test {

void SetEnvironment(const char* name, const std::string& value);
void ClearEnvironment(const char* name);

// Deletes a registry key with all its subkeys (test clean-up only; natively
// each sandbox has a store of its own, removed with its directory).
void DeleteRegistryTree(bool localMachine, const std::string& keyPath);

}  // namespace test
