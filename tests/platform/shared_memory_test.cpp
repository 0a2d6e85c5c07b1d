// Named shared blocks as the posting channel uses them.

#include "platform/shared_memory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace test {

namespace {

// Natively every user shares /dev/shm: a block that others may write could
// have been changed by anyone, and is not opened.
TEST(SharedMemory, ABlockThatOthersMayWriteIsNeverOpened) {
  if (platform::NativePathStyle() == platform::PathStyle::kWindows)
    GTEST_SKIP() << "the system keeps every user's blocks apart";
  const std::string name = UniqueName("Loose");
  platform::SharedHandle block = 0;
  ASSERT_EQ(platform::CreateSharedBlock(name, 16, &block), platform::CreateSharedResult::kCreated);
  namespace fs = std::filesystem;
  const fs::path file = "/dev/shm/" + name;
  const struct { fs::perms mode; bool opened; } rows[] = {
      {fs::perms::owner_read | fs::perms::owner_write, true},
      {fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write, false},
      {fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read | fs::perms::others_write, false},
  };
  for (const auto& row : rows) {
    fs::permissions(file, row.mode);
    const platform::SharedHandle opened = platform::OpenSharedBlock(name);
    EXPECT_EQ(opened != 0, row.opened) << static_cast<int>(row.mode);
    platform::CloseSharedBlock(opened);
  }
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  platform::CloseSharedBlock(block);
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace

}  // namespace test
