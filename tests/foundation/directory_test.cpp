#include "foundation/directory.h"

#include <gtest/gtest.h>

#include "foundation/path.h"
#include "platform/code_page.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

const PathStyle kNative = platform::NativePathStyle();

TEST(CreateDirectoryPath, CreatesEveryMissingLevel) {
  test::TempDir dir;
  const std::string deep = dir / "a/b/c";
  EXPECT_NE(CreateDirectoryPath(deep), 0);
  EXPECT_TRUE(platform::IsDirectory(deep));
  EXPECT_NE(CreateDirectoryPath(deep), 0);  // already there
  EXPECT_NE(CreateDirectoryPath(dir / "a/b/"), 0);
  const std::string japanese = dir / std::string("ログ/表/設定");
  EXPECT_NE(CreateDirectoryPath(japanese), 0);
  EXPECT_TRUE(platform::IsDirectory(japanese));
}

TEST(CreateDirectoryPath, FailsWhenAFileIsInTheWay) {
  test::TempDir dir;
  ASSERT_TRUE(test::WriteFile(dir / "f", "x"));
  EXPECT_EQ(CreateDirectoryPath(dir / "f"), 0);
  EXPECT_EQ(CreateDirectoryPath(dir / "f/sub"), 0);
  EXPECT_FALSE(platform::IsDirectory(dir / "f/sub"));
}

TEST(CreateDirectoryPath, EmptyAndBareNames) {
  EXPECT_EQ(CreateDirectoryPath(""), 0);
  // A bare name that cannot be made (no such parent: it is relative to a
  // directory that does not exist) reports failure.
  EXPECT_EQ(CreateDirectoryPath(std::string(300, 'n') + (kNative == PathStyle::kWindows ? "\\x" : "/x")), 0);
}

TEST(GetModuleDirectory, HoldsThisProgram) {
  const std::string dir = GetModuleDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), kNative == PathStyle::kWindows ? '\\' : '/');
  EXPECT_TRUE(platform::IsDirectory(dir));
  EXPECT_TRUE(platform::ModuleFilePath().rfind(dir, 0) == 0);
}

}  // namespace
