// Where a scheduled run takes its entries from: never a place another user
// can write, and never an empty list in place of a store it cannot read.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "settings/entry_storage.h"
#include "settings/stored_settings.h"
#include "tests/shell/console_fixture.h"
#include "tests/support/tree.h"

namespace test {

namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public ConsoleTest {
 protected:
  // Stores the entries in the registry of the given scope instead of a file.
  void StoreInRegistry(std::vector<MirrorEntry> entries, int multiUser) {
    SettingsLocation location;
    location.multiUser = multiUser;
    WriteSettingsScope(multiUser);
    SaveEntryList(entries, location);
  }

  // Runs the console with `environment` ("NAME=value", or "-u NAME" pairs)
  // set for it; its exit status, with what it said on standard error in *said.
  int RunWith(const std::vector<std::string>& environment, const std::vector<std::string>& arguments,
              std::string* said) {
    std::vector<std::string> all = environment;
    all.insert(all.end(), {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>&1 >/dev/null", KELMORAY_CONSOLE});
    all.insert(all.end(), arguments.begin(), arguments.end());
    ChildProcess child("/usr/bin/env", all, output_);
    const int status = child.Wait();
    *said = ReadStoredText(output_);
    return status;
  }

  const std::string registry_ = std::getenv("KELMORAY_REGISTRY_DIR");
};

// A service started without a home directory (a system unit without a
// user) has no per-user store: it once read one from /tmp, which every
// local user can write.
TEST_F(SettingsStoreTest, WithoutAHomeThePerUserStoreCannotBeFound) {
  if (Windows()) GTEST_SKIP() << "home directories";
  // The machine's own shared store is read here; one that sets the shared scope needs no home.
  if (fs::exists("/var/lib/kelmoray/local_machine.sqlite")) GTEST_SKIP() << "this machine has a shared store";
  MakeTree(src_, {"a.txt"});
  Store({Entry()});
  for (const std::string config : {"", "relative/config"}) {
    const std::vector<std::string> environment = {"-u", "HOME", "-u", "KELMORAY_REGISTRY_DIR",
                                                  "XDG_CONFIG_HOME=" + config};
    std::string said;
    EXPECT_EQ(RunWith(environment, {FileOption()}, &said), 3) << "XDG_CONFIG_HOME=" << config;
    EXPECT_NE(said.find("neither HOME nor XDG_CONFIG_HOME"), std::string::npos) << said;
    EXPECT_FALSE(FileExists(Below(dst_, "a.txt"))) << "XDG_CONFIG_HOME=" << config;
  }
}

// A store that others may write could hold entries someone planted; one
// that cannot be read is no empty list. Either way nothing runs.
TEST_F(SettingsStoreTest, AStoreOthersMayWriteOrThatCannotBeReadIsNeverUsed) {
  if (Windows()) GTEST_SKIP() << "POSIX owners and modes";
  MakeTree(src_, {"a.txt"});
  StoreInRegistry({Entry()}, 1);
  const std::string store = registry_ + "/current_user.sqlite";
  const struct {
    const char* name;
    std::string path;
    fs::perms mode;
  } rows[] = {{"a store others may write", store, fs::perms(0666)},
              {"a directory others may write", registry_, fs::perms(0777)}};
  for (const auto& row : rows) {
    const fs::perms old = fs::status(row.path).permissions();
    fs::permissions(row.path, row.mode);
    std::string said;
    EXPECT_EQ(RunWith({}, {}, &said), 3) << row.name;
    EXPECT_NE(said.find("others may write it"), std::string::npos) << row.name << ": " << said;
    EXPECT_FALSE(FileExists(Below(dst_, "a.txt"))) << row.name;
    fs::permissions(row.path, old);
  }
  EXPECT_EQ(RunConsole({}), 0) << "the same store, the user's own";
  EXPECT_TRUE(FileExists(Below(dst_, "a.txt")));
  fs::remove_all(dst_);
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(store + suffix);
  WriteFile(store, std::string(8192, 'x'));
  std::string said;
  EXPECT_EQ(RunWith({}, {}, &said), 3) << "a corrupt store";
  EXPECT_NE(said.find("cannot read the settings store"), std::string::npos) << said;
  EXPECT_FALSE(FileExists(Below(dst_, "a.txt")));
}

// The shared store of a machine belongs to root; a user who may only read
// it still runs its entries.
TEST_F(SettingsStoreTest, AUserWhoMayOnlyReadTheSharedStoreRunsItsEntries) {
  const std::vector<std::string> asNobody = AsNobody();
  if (asNobody.empty()) GTEST_SKIP() << "needs root, to run as another user";
  const std::string shared = dir_ / "shared";
  fs::create_directories(shared);
  SetEnvironment("KELMORAY_REGISTRY_DIR", shared);
  MakeTree(src_, {"a.txt", "sub/b.txt"});
  MakeTree(dst_, {});
  StoreInRegistry({Entry()}, 0);
  SetEnvironment("KELMORAY_REGISTRY_DIR", registry_);
  ASSERT_TRUE(GiveToNobody(src_) && GiveToNobody(dst_));
  fs::permissions(dir_.Path(), fs::perms(0755));
  std::vector<std::string> arguments(asNobody.begin() + 1, asNobody.end());
  arguments.insert(arguments.end(), {"/usr/bin/env", "KELMORAY_REGISTRY_DIR=" + shared, KELMORAY_CONSOLE});
  ChildProcess child(asNobody[0], arguments, output_);
  EXPECT_EQ(child.Wait(), 0) << ReadStoredText(output_);
  EXPECT_EQ(ListTree(dst_), (std::set<std::string>{"a.txt", "sub/", "sub/b.txt"}));
}

}  // namespace

}  // namespace test
