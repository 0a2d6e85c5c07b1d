// What a run must never do to a user's data, however the trees are named,
// spelled, linked or broken: each case here once lost or endangered data.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "engine/messages.h"
#include "platform/code_page.h"
#include "tests/support/fault_injection.h"
#include "platform/file_operations.h"
#include "platform/paths.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

using Tree = std::set<std::string>;

class DataSafetyTest : public MirrorTest {
 protected:
  // Runs with the listings of one directory failing (or ending) as given;
  // the trees are looked at afterwards as they are.
  std::vector<Line> RunWithListingFault(const std::string& directory, int entries, std::uint32_t error) {
    platform::InjectListingFault(directory, entries, error);
    const std::vector<Line> lines = Run();
    platform::InjectListingFault("", 0, 0);
    return lines;
  }
};

// 表, ソ, 予, 能, 十 and 申 end in the byte of "\" in code page 932: in file
// names, directory names, both roots, exclusion items and the extension
// list they are taken whole (inside the program they are UTF-8, which has
// no such byte).
TEST_F(DataSafetyTest, JapaneseNamesWhoseLastByteIsThatOfABackslash) {
  const std::string src = dir_ / "元ソ/", dst = dir_ / "先表/";
  const std::vector<std::string> mirrored = {"ソフト.txt", "日本語/表示.txt", "top表.txt",
                                             "予定表",     "sub/一覧表",      "能/十/申"};
  MakeTree(src, mirrored);
  MakeTree(src, {"除外表/x.txt", "外/予", "拡張.ソ"});
  MirrorEntry entry = Entry();
  entry.source = src;
  entry.destination = dst;
  entry.nomirror = {Below(src, "除外表/"), Below(src, "外/予")};
  entry.nomirrext = ".ソ";
  Store({entry});

  const auto first = Run();
  const Tree expected = {"ソフト.txt", "日本語/", "日本語/表示.txt", "top表.txt", "予定表",
                         "sub/",       "sub/一覧表", "能/",        "能/十/",    "能/十/申"};
  EXPECT_EQ(ListTree(dst), expected) << "no stray directory, nothing excluded copied";
  EXPECT_EQ(CountOf(first, kMsgCopyFile), 6);
  EXPECT_EQ(CountOf(first, kMsgCopyFailed), 0);
  for (const std::string& name : mirrored) EXPECT_EQ(ReadFile(Below(dst, name)), name);

  EXPECT_EQ(IdsOf(Run()), (std::vector<int>{kMsgRunStart, kMsgAnalysing, kMsgAnalysing, kMsgRunEnd}))
      << "a second run finds nothing to do";
}

// Every name is listed, compared, copied and deleted under its own name,
// also where the system's code page has no such character: on Windows the
// look-alike of café.txt is cafe.txt, and that of a¥b.txt is a\b.txt.
TEST_F(DataSafetyTest, EveryNameIsMirroredUnderItsOwnName) {
  const std::string composed = "caf\xC3\xA9.txt", decomposed = "cafe\xCC\x81.txt";  // é, and e with its accent
  const std::vector<std::string> files = {"cafe.txt",         "naïve.txt",      "한국어.txt",
                                          "😀 smile.txt",     "a¥b.txt",        "Ελληνικά.txt",
                                          "überdir/ß.txt",    "表/ü/😀/予.txt", "forms/" + composed,
                                          "forms/" + decomposed};
  MakeTree(src_, files);
  // Destination only: each must go, and only itself.
  MakeTree(dst_, {composed, "überdir/old 😀.txt", "한/"});
  Store({Entry()});
  const auto first = Run();
  EXPECT_EQ(ListTree(dst_), ListTree(src_));
  EXPECT_EQ(CountOf(first, kMsgCopyFile), static_cast<int>(files.size()));
  EXPECT_EQ(CountOf(first, kMsgDeleteFile), 2);
  EXPECT_EQ(CountOf(first, kMsgDeleteDirectory), 1);
  for (const int failed : {kMsgCopyFailed, kMsgDeleteFileFailed, kMsgSourceUnreadable, kMsgDestinationUnreadable})
    EXPECT_EQ(CountOf(first, failed), 0) << failed;
  for (const std::string& name : files) EXPECT_EQ(ReadFile(Below(dst_, name)), name);

  // An update reaches the file of that name, not its look-alike.
  WriteFile(Below(src_, "forms/" + decomposed), "changed");
  ASSERT_TRUE(SetWriteTime(Below(src_, "forms/" + decomposed), 2000000000));
  const auto second = Run();
  EXPECT_EQ(CountOf(second, kMsgUpdateFile), 1);
  EXPECT_EQ(ReadFile(Below(dst_, "forms/" + decomposed)), "changed");
  EXPECT_EQ(ReadFile(Below(dst_, "forms/" + composed)), "forms/" + composed);
  EXPECT_EQ(IdsOf(Run()), (std::vector<int>{kMsgRunStart, kMsgAnalysing, kMsgAnalysing, kMsgRunEnd}))
      << "a third run finds nothing to do";
}

// Paths beyond the system's old limit of 260 characters, and beyond 1,000:
// listed, copied, and deleted where only the destination holds them.
TEST_F(DataSafetyTest, TreesDeeperThanAnyPathLimitAreMirrored) {
  std::string deep;
  while ((dst_ + deep).size() < 1100) deep += "level-" + std::to_string(deep.size()) + "-of-a-deep-tree/";
  const std::string shallower = deep.substr(0, deep.find('/', 300) + 1);
  MakeTree(src_, {deep + "deepest.txt", shallower + "past-260.txt"});
  MakeTree(dst_, {deep + "old.txt", shallower + "gone/old.txt"});
  Store({Entry()});
  const auto first = Run();
  EXPECT_EQ(ListTree(dst_), ListTree(src_));
  EXPECT_EQ(CountOf(first, kMsgCopyFile), 2);
  EXPECT_EQ(CountOf(first, kMsgDeleteFile), 2);
  EXPECT_EQ(ReadFile(Below(dst_, deep + "deepest.txt")), deep + "deepest.txt");
  EXPECT_EQ(IdsOf(Run()), (std::vector<int>{kMsgRunStart, kMsgAnalysing, kMsgAnalysing, kMsgRunEnd}));
}

// The same directory spelled another way, or reached through a link, is
// still the same directory: such an entry would delete from its own source.
TEST_F(DataSafetyTest, OverlappingTreesAreSkippedHoweverTheirPathsAreSpelled) {
  MakeTree(src_, {"a.txt", "sub/a.txt", "sub/b.txt"});
  const Tree before = ListTree(src_);
  const std::string s = Windows() ? "\\" : "/";
  const std::string top = dir_.Path();
  struct Row {
    std::string name, source, destination;
  };
  std::vector<Row> rows = {
      {"doubled separator", src_, top + s + "src" + s + "sub" + s},
      {"a dot", src_, src_ + "." + s + "sub" + s},
      {"up and down again", src_, src_ + "sub" + s + ".." + s + "sub" + s},
      {"not there yet", src_, src_ + "new" + s + "deeper" + s},
      {"source inside the destination", Below(src_, "sub/"), top + s + "src" + s},
  };
  if (MakeDirectoryLink(top + "link", src_)) {
    rows.push_back({"through a link", src_, top + "link" + s + "sub" + s});
    rows.push_back({"the link as source", top + "link" + s, Below(src_, "sub/")});
  }
  if (Windows()) {
    std::string upper = src_;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    rows.push_back({"letter case", src_, upper + "SUB\\"});
    std::string forward = Below(src_, "sub/");
    for (char& c : forward)
      if (c == '\\') c = '/';  // the temporary directory's path is ASCII
    rows.push_back({"forward slashes", src_, forward});
    const std::string shortName = ShortPathOf(src_);
    if (!shortName.empty() && shortName != src_) rows.push_back({"short name", src_, shortName + "sub\\"});
  }
  // A root whose last character ends in the byte of "\\" (表 in code page 932),
  // and a destination below it that does not exist yet, spelled another way.
  const std::string rootTop = top + s + std::string("元表") + s;
  MakeTree(Below(top, std::string("元表/")), {});
  rows.push_back({"a root ending in 表", Below(top, std::string("元表/")), rootTop + "new" + s});
  rows.push_back({"not there yet, spelled another way", src_, top + s + "src" + s + "new" + s});
  for (const Row& row : rows) {
    MirrorEntry entry = Entry(row.name);
    entry.source = row.source;
    entry.destination = row.destination;
    Store({entry});
    const auto lines = Run();
    EXPECT_EQ(CountOf(lines, kMsgBadEntry), 1) << row.name;
    EXPECT_EQ(CountOf(lines, kMsgDeleteFile) + CountOf(lines, kMsgCopyFile), 0) << row.name;
    EXPECT_EQ(ListTree(src_), before) << row.name;
  }
}

// A listing that fails is no empty directory: what lies below it at the
// destination stays, the failure has its line, and the rest is mirrored.
TEST_F(DataSafetyTest, ASourceDirectoryThatCannotBeListedKeepsItsBackup) {
  for (const int listedBeforeTheFault : {0, 1}) {
    TempDir trees;
    MirrorEntry entry = Entry();
    entry.source = trees / "src/";
    entry.destination = trees / "dst/";
    MakeTree(entry.source, {"keep/a.txt", "keep/b.txt", "other.txt"});
    MakeTree(entry.destination, {"keep/a.txt", "keep/b.txt", "keep/deep/c.txt", "gone.txt"});
    Store({entry});
    const auto lines = RunWithListingFault(Below(entry.source, "keep/"), listedBeforeTheFault,
                                           platform::kErrorAccessDenied);
    const std::string row = "after " + std::to_string(listedBeforeTheFault) + " entries";
    EXPECT_EQ(ListTree(entry.destination),
              (Tree{"keep/", "keep/a.txt", "keep/b.txt", "keep/deep/", "keep/deep/c.txt", "other.txt"}))
        << row;
    ASSERT_EQ(CountOf(lines, kMsgSourceUnreadable), 1) << row;
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [](const Line& l) { return l.id == kMsgSourceUnreadable; });
    EXPECT_EQ(line->source, Below(entry.source, "keep/")) << row;
    EXPECT_GT(outcome_.errorLines, 0) << row;
  }
}

TEST_F(DataSafetyTest, NothingIsCopiedBlindlyIntoADestinationDirectoryThatCannotBeListed) {
  MakeTree(src_, {"d/new.txt", "d/old.txt", "top.txt"});
  MakeTree(dst_, {"d/extra.txt"});
  WriteFile(Below(dst_, "d/old.txt"), "precious");
  Store({Entry()});
  const auto lines = RunWithListingFault(Below(dst_, "d/"), 0, platform::kErrorAccessDenied);
  EXPECT_EQ(ListTree(dst_), (Tree{"d/", "d/extra.txt", "d/old.txt", "top.txt"}));
  EXPECT_EQ(ReadFile(Below(dst_, "d/old.txt")), "precious");
  ASSERT_EQ(CountOf(lines, kMsgDestinationUnreadable), 1);
  const auto line = std::find_if(lines.begin(), lines.end(),
                                 [](const Line& l) { return l.id == kMsgDestinationUnreadable; });
  EXPECT_EQ(line->destination, Below(dst_, "d/"));
}

TEST_F(DataSafetyTest, ASourceRootThatCannotBeListedTouchesNothing) {
  MakeTree(src_, {"a.txt"});
  MakeTree(dst_, {"precious.txt"});
  Store({Entry()});
  const auto lines = RunWithListingFault(src_, 0, platform::kErrorAccessDenied);
  EXPECT_EQ(CountOf(lines, kMsgSourceMissing), 1);
  EXPECT_EQ(ListTree(dst_), Tree{"precious.txt"});
}

// A drive root lists no "." entry, and an empty one nothing at all: it is
// an empty source, not a missing one.
TEST_F(DataSafetyTest, AnEmptySourceRootWithoutDotEntriesIsMirroredAsEmpty) {
  MakeTree(src_, {});
  MakeTree(dst_, {"old.txt"});
  Store({Entry()});
  const auto lines = RunWithListingFault(src_, 0, 0);
  EXPECT_EQ(CountOf(lines, kMsgSourceMissing), 0);
  EXPECT_EQ(ListTree(dst_), Tree{});
}

// An exclusion item that is not an absolute path names nothing; taken from
// the current directory (or, natively, from "/") it excluded whole trees.
TEST_F(DataSafetyTest, ARelativeExclusionItemExcludesNothing) {
  MakeTree(src_, {"a.txt", "sub/b.txt"});
  MirrorEntry entry = Entry();
  // The source root itself, without what makes it absolute.
  entry.nomirror = {src_.substr(Windows() ? 2 : 1), "sub/", "a.txt",
                    Windows() ? "/not/windows/" : "C:\\not\\posix\\"};
  Store({entry});
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(src_);
  Run();
  std::filesystem::current_path(saved);
  EXPECT_EQ(ListTree(dst_), (Tree{"a.txt", "sub/", "sub/b.txt"}));
}

// Only regular files are copied: opening a named pipe waits for a writer
// for good. Its name at the destination is left alone.
TEST_F(DataSafetyTest, NamedPipesAreNeverOpenedAndTheirNamesAtTheDestinationStay) {
  MakeTree(src_, {"a.txt"});
  if (!MakeNamedPipe(Below(src_, "pipe"))) GTEST_SKIP() << "no named pipes here";
  MakeTree(dst_, {});
  WriteFile(Below(dst_, "pipe"), "keep me");
  Store({Entry()});
  ASSERT_TRUE(doc_.OnMirrorStart(&view_, Request()));
  if (!WaitUntil([&] { return !doc_.Running(); })) {
    WakeNamedPipe(Below(src_, "pipe"));  // lets the hanging run go, so that the test can end
    FAIL() << "the run opened the named pipe";
  }
  EXPECT_EQ(ReadFile(Below(dst_, "pipe")), "keep me");
  EXPECT_EQ(ReadFile(Below(dst_, "a.txt")), "a.txt");
  EXPECT_EQ(CountOf(view_.Lines(), kMsgCopyFailed), 0);
}

// A link standing at the destination is replaced by the copy, never written
// through: one to a file and one to nothing are both updated.
TEST_F(DataSafetyTest, NothingIsWrittenThroughALinkAtTheDestination) {
  TempDir outside;
  WriteFile(outside / "target.txt", "outside, not to be touched");
  MakeTree(src_, {"f.txt", "g.txt"});
  MakeTree(dst_, {});
  if (!MakeFileLink(Below(dst_, "f.txt"), outside / "target.txt") ||
      !MakeFileLink(Below(dst_, "g.txt"), outside / "missing.txt"))
    GTEST_SKIP() << "no file links here";
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgUpdateFile), 2);
  EXPECT_EQ(ReadFile(outside / "target.txt"), "outside, not to be touched");
  EXPECT_FALSE(FileExists(outside / "missing.txt")) << "the link to nothing was not written through";
  for (const char* name : {"f.txt", "g.txt"}) {
    EXPECT_EQ(ReadFile(Below(dst_, name)), name);
    EXPECT_FALSE(std::filesystem::is_symlink(Below(dst_, name))) << name;
  }
}

// FAT and exFAT refuse many modes and keep times in 2-second steps: a copy
// is a copy all the same.
TEST_F(DataSafetyTest, ACopyWhoseModeAndTimesAreRefusedIsStillACopy) {
  MakeTree(src_, {"a.txt", "b.txt"});
  Store({Entry()});
  platform::InjectMetadataFailures(2);
  const auto lines = Run();
  platform::InjectMetadataFailures(0);
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 2);
  EXPECT_EQ(CountOf(lines, kMsgCopyFailed), 0);
  EXPECT_EQ(ReadFile(Below(dst_, "b.txt")), "b.txt");
}

}  // namespace

}  // namespace test
