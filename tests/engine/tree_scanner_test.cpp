#include "engine/tree_scanner.h"

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <thread>

#include "engine/paths.h"
#include "tests/support/platform_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree.h"

namespace test {

namespace {

std::set<std::string> Keys(const FoundMap& map) {
  std::set<std::string> keys;
  for (const auto& [key, item] : map) keys.emplace(key);
  return keys;
}

std::string Native(std::string relative) {
  for (char& c : relative)
    if (c == '/') c = engine::Separator();
  return relative;
}

TEST(TreeScanner, KeysAreRelativeAndTheRootIsNormalised) {
  TempDir dir;
  MakeTree(dir.Path(), {"a.txt", "sub/b.txt", "sub/deeper/c.txt"});
  CtTreeScanner scanner;
  std::string root = dir.Path();
  root.pop_back();  // without its separator
  EXPECT_TRUE(scanner.Scan(root, std::nullopt, true, kAdmitEveryItem, ""));
  EXPECT_EQ(scanner.root, dir.Path());
  EXPECT_EQ(Keys(scanner.fileMap),
            (std::set<std::string>{"a.txt", Native("sub/b.txt"), Native("sub/deeper/c.txt")}));
  EXPECT_EQ(Keys(scanner.dirMap), (std::set<std::string>{Native("sub/"), Native("sub/deeper/")}));
  ASSERT_NE(scanner.fileMap.Find("a.txt"), nullptr);
  EXPECT_EQ(scanner.fileMap.Find("a.txt")->Size(), 5u);
}

TEST(TreeScanner, WithoutRecursionNoDirectoryIsListed) {
  TempDir dir;
  MakeTree(dir.Path(), {"a.txt", "sub/b.txt"});
  CtTreeScanner scanner;
  EXPECT_TRUE(scanner.Scan(dir.Path(), std::nullopt, false, kAdmitEveryItem, ""));
  EXPECT_EQ(Keys(scanner.fileMap), std::set<std::string>{"a.txt"});
  EXPECT_TRUE(scanner.dirMap.empty());
}

TEST(TreeScanner, APatternStillEntersEveryDirectory) {
  TempDir dir;
  MakeTree(dir.Path(), {"a.txt", "b.log", "x.log/c.txt", "x.log/d.log"});
  CtTreeScanner scanner;
  EXPECT_TRUE(scanner.Scan(dir.Path(), std::string("*.txt"), true, kAdmitEveryItem, ""));
  EXPECT_EQ(Keys(scanner.fileMap), (std::set<std::string>{"a.txt", Native("x.log/c.txt")}));
  EXPECT_EQ(Keys(scanner.dirMap), std::set<std::string>{Native("x.log/")});
}

TEST(TreeScanner, ExtensionOfADottedDirectoryDoesNotCount) {
  TempDir dir;
  MakeTree(dir.Path(), {"backup.2/README", "Makefile", "a.BAK"});
  CtTreeScanner scanner;
  scanner.Scan(dir.Path(), std::nullopt, true, kAdmitEveryItem, ".2");
  EXPECT_EQ(Keys(scanner.fileMap), (std::set<std::string>{"Makefile", "a.BAK", Native("backup.2/README")}));
  scanner.Scan(dir.Path(), std::nullopt, true, kAdmitEveryItem, ".;.bak");
  EXPECT_TRUE(scanner.fileMap.empty());
}

TEST(TreeScanner, AnUnreadableRootListsEmpty) {
  TempDir dir;
  CtTreeScanner scanner;
  EXPECT_TRUE(scanner.Scan(dir / "missing/", std::nullopt, true, kAdmitEveryItem, ""));
  EXPECT_TRUE(scanner.fileMap.empty());
  EXPECT_TRUE(scanner.dirMap.empty());
}

// A stop of the run, asked before the listing began or from another thread
// while the root's own entries are enumerated: Scan gives false, and the
// listing is cut short.
TEST(TreeScanner, AStopOfTheRunEndsTheListing) {
  TempDir dir;
  const int files = RunningUnderWine() ? 3000 : 20000;
  std::vector<std::string> names;
  for (int i = 0; i < files; ++i) names.push_back("f" + std::to_string(i));
  MakeTree(dir.Path(), names);
  std::stop_source before;
  before.request_stop();
  CtTreeScanner early(before.get_token());
  EXPECT_FALSE(early.Scan(dir.Path(), std::nullopt, 1, kAdmitEveryItem, ""));
  EXPECT_TRUE(early.fileMap.empty());
  // Each attempt lets the scan run a little longer before stopping it.
  bool caught = false;
  for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
    std::stop_source stop;
    CtTreeScanner scanner(stop.get_token());
    auto result = std::async(std::launch::async,
                             [&] { return scanner.Scan(dir.Path(), std::nullopt, 1, kAdmitEveryItem, ""); });
    std::this_thread::sleep_for(std::chrono::microseconds(250 * attempt));
    stop.request_stop();
    if (!result.get()) {
      caught = true;
      EXPECT_LT(scanner.fileMap.size(), static_cast<size_t>(files));
    }
  }
  EXPECT_TRUE(caught) << "no attempt stopped the scan while it listed the root";
}

TEST(ExclusionItem, DirectoryFileAndPatternItems) {
  TempDir dir;
  MakeTree(dir.Path(), {"a.txt", "sub/a.txt", "sub/b.txt", "temp/x/y.txt", "temp/z.log"});
  const struct {
    std::string item;
    std::set<std::string> files;
    std::set<std::string> dirs;
  } rows[] = {
      {dir / "temp/",
       {"a.txt", Native("sub/a.txt"), Native("sub/b.txt")},
       {Native("sub/"), Native("temp/")}},
      {dir / "a.txt",
       {Native("sub/b.txt"), Native("temp/x/y.txt"), Native("temp/z.log")},
       {Native("sub/"), Native("temp/"), Native("temp/x/")}},
      {dir / "*.log",
       {"a.txt", Native("sub/a.txt"), Native("sub/b.txt"), Native("temp/x/y.txt")},
       {Native("sub/"), Native("temp/"), Native("temp/x/")}},
      {dir / "sub/*.*",
       {"a.txt", Native("temp/x/y.txt"), Native("temp/z.log")},
       {Native("sub/"), Native("temp/"), Native("temp/x/")}},
  };
  for (const auto& row : rows) {
    CtTreeScanner source;
    source.Scan(dir.Path(), std::nullopt, true, kAdmitEveryItem, "");
    ApplyExclusionItem(dir.Path(), source, row.item);
    EXPECT_EQ(Keys(source.fileMap), row.files) << row.item;
    EXPECT_EQ(Keys(source.dirMap), row.dirs) << row.item;
  }
}

// Only what lies below the item's directory is compared: an item elsewhere
// whose listing happens to hold the same relative names takes nothing out.
TEST(ExclusionItem, ItemsOutsideTheSourceTakeNothing) {
  TempDir dir;
  MakeTree(dir.Path(), {"src/a.txt", "src/sub/b.txt", "other/a.txt", "other/sub/b.txt"});
  CtTreeScanner source;
  source.Scan(dir / "src/", std::nullopt, true, kAdmitEveryItem, "");
  ApplyExclusionItem(dir / "src/", source, dir / "other/");
  ApplyExclusionItem(dir / "src/", source, dir / "other/a.txt");
  EXPECT_EQ(Keys(source.fileMap), (std::set<std::string>{"a.txt", Native("sub/b.txt")}));
  // An item above the source root covers all of it.
  ApplyExclusionItem(dir / "src/", source, dir.Path() + "*.txt");
  EXPECT_TRUE(source.fileMap.empty());
}

}  // namespace

}  // namespace test
