#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/paths.h"
#include "tests/support/platform_support.h"

namespace test {
namespace {

char Separator() { return platform::NativePathStyle() == platform::PathStyle::kWindows ? '\\' : '/'; }

}  // namespace

std::string UniqueName(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}() ^
                               static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  return prefix + std::to_string(seed) + "-" + std::to_string(++counter);
}

TempDir::TempDir(const std::string& parent) {
  const std::filesystem::path base = parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
  std::filesystem::path dir = base / UniqueName("kelmoray-test-");
  std::filesystem::create_directories(dir);
  path_ = dir.string() + Separator();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

std::string TempDir::operator/(const std::string& relative) const {
  std::string path = path_ + relative;
  for (char& c : path)
    if (c == '/') c = Separator();
  return path;
}

constexpr const char* kRegistryVariable = "KELMORAY_REGISTRY_DIR";

RegistrySandbox::RegistrySandbox() {
  const std::string unique = UniqueName("t");
  basePath_ = "\\Software\\KelmorayTests\\" + unique + "\\";
  setSuffix_ = "\\S-" + unique;
  if (const char* old = std::getenv(kRegistryVariable)) {
    hadEnvironment_ = true;
    savedEnvironment_ = old;
  }
  SetEnvironment(kRegistryVariable, dir_.Path() + "registry");
}

RegistrySandbox::~RegistrySandbox() {
  const std::string unique = setSuffix_.substr(3);
  for (bool localMachine : {false, true}) {
    DeleteRegistryTree(localMachine, "Software\\KelmorayTests\\" + unique);
    DeleteRegistryTree(localMachine, "Software\\Brindlecode\\Kelmor\\Settings\\S-" + unique);
    DeleteRegistryTree(localMachine, "SOFTWARE\\Brindlecode\\Kelmoray for Win32\\Settings\\S-" + unique);
  }
  if (hadEnvironment_)
    SetEnvironment(kRegistryVariable, savedEnvironment_);
  else
    ClearEnvironment(kRegistryVariable);
}

}  // namespace test
