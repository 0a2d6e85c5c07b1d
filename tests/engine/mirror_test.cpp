// Whole runs over real trees: what ends up at the destination, and the lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <set>

#include "engine/messages.h"
#include "foundation/profile.h"
#include "tests/support/fault_injection.h"
#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/paths.h"
#include "shell/command_line.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

using Tree = std::set<std::string>;


// A name hidden on this platform: a leading dot natively; on Windows the attribute is set too.
std::string Hide(const std::string& root, const std::string& relative) {
  if (Windows())
    platform::WriteFileAttributes(Below(root, relative),
                                  platform::ReadFileAttributes(Below(root, relative)) |
                                      platform::kAttrHidden);
  return relative;
}

TEST_F(MirrorTest, DeletionFlagsTable) {
  const struct {
    int subdir, destinationdirDelete, destinationDelete;
    Tree expected;
  } rows[] = {
      {1, 1, 0, {"a.txt", "only.txt", "s/", "s/x.txt", "sub/", "sub/only2.txt", "d/"}},
      {0, 0, 0, {"a.txt", "only.txt", "sub/", "sub/only2.txt", "d/"}},
      {1, 0, 1, {"a.txt", "s/", "s/x.txt"}},
      {0, 0, 1, {"a.txt", "sub/", "sub/only2.txt", "d/"}},
      {0, 1, 1, {"a.txt"}},
  };
  int row = 0;
  for (const auto& r : rows) {
    ++row;
    TempDir trees;
    const std::string src = trees / "src/", dst = trees / "dst/";
    MakeTree(src, {"a.txt", "s/x.txt"});
    MakeTree(dst, {"a.txt", "only.txt", "sub/only2.txt", "d/"});
    MirrorEntry entry = Entry();
    entry.source = src;
    entry.destination = dst;
    entry.subdir = r.subdir;
    entry.destinationdir_delete = r.destinationdirDelete;
    entry.destination_delete = r.destinationDelete;
    Store({entry});
    Run();
    EXPECT_EQ(ListTree(dst), r.expected) << "row " << row;
  }
}

TEST_F(MirrorTest, ExtensionListRules) {
  const struct {
    const char* list;
    Tree expected;
  } rows[] = {
      {".;.log", {"a.logs", "b.txt", "c.tmp", "d.bak"}},
      {".bak; .tmp", {"README", "a.LOG", "a.logs", "b.txt", "c.tmp"}},
      {"bak", {"README", "a.LOG", "a.logs", "b.txt", "c.tmp", "d.bak"}},
      {"", {"README", "a.LOG", "a.logs", "b.txt", "c.tmp", "d.bak"}},
      {".TXT;.Tmp", {"README", "a.LOG", "a.logs", "d.bak"}},
  };
  MakeTree(src_, {"README", "a.LOG", "a.logs", "b.txt", "c.tmp", "d.bak"});
  for (const auto& row : rows) {
    MirrorEntry entry = Entry();
    entry.nomirrext = row.list;
    Store({entry});
    Run();
    EXPECT_EQ(ListTree(dst_), row.expected) << "list \"" << row.list << "\"";
  }
}

TEST_F(MirrorTest, AttributeMaskKeepsHiddenDirectoriesAndReadOnlyFilesOut) {
  MakeTree(src_, {".hid/inside.txt", ".h.txt", "ro.txt", "plain.txt"});
  Hide(src_, ".hid");
  Hide(src_, ".h.txt");
  platform::WriteFileAttributes(Below(src_, "ro.txt"), platform::kAttrReadOnly);
  MirrorEntry entry = Entry();
  entry.hidden_files = 0;
  entry.readonly_files = 0;
  Store({entry});
  Run();
  EXPECT_EQ(ListTree(dst_), (Tree{"plain.txt"}));

  entry.hidden_files = entry.readonly_files = 1;
  Store({entry});
  Run();
  EXPECT_EQ(ListTree(dst_), (Tree{".h.txt", ".hid/", ".hid/inside.txt", "plain.txt", "ro.txt"}));
  EXPECT_TRUE(platform::ReadFileAttributes(Below(dst_, "ro.txt")) & platform::kAttrReadOnly)
      << "a copy carries the attributes";
  for (const std::string& root : {src_, dst_})
    platform::WriteFileAttributes(Below(root, "ro.txt"), 0);
}

TEST_F(MirrorTest, SearchPatterns) {
  MakeTree(src_, {"a.txt", "b.log", "sub/c.txt", "sub/d.log"});
  const struct {
    int useWildcard;
    const char* wildcard;
    Tree expected;
  } rows[] = {
      {1, "*.txt", {"a.txt", "sub/", "sub/c.txt"}},
      {0, "*.txt", {"a.txt", "b.log", "sub/", "sub/c.txt", "sub/d.log"}},
      {1, "?.log", {"b.log", "sub/", "sub/d.log"}},
      {1, "", {}},
  };
  for (const auto& row : rows) {
    TempDir fresh;
    MirrorEntry entry = Entry();
    entry.destination = fresh / "dst/";
    entry.use_wildcard = row.useWildcard;
    entry.wildcard = row.wildcard;
    Store({entry});
    Run();
    EXPECT_EQ(ListTree(entry.destination), row.expected) << row.wildcard << " " << row.useWildcard;
  }
}

TEST_F(MirrorTest, ExclusionItems) {
  MakeTree(src_, {"a.txt", "b.log", "sub/a.txt", "sub/b.txt", "sub/c.log", "temp/x/y.txt", "temp/z.txt"});
  MakeTree(dst_, {"temp/x/", "sub/"});
  TempDir elsewhere;
  MakeTree(elsewhere.Path(), {"a.txt", "b.txt"});
  MirrorEntry entry = Entry();
  entry.nomirror = {Below(src_, "temp/"), Below(src_, "a.txt"), Below(src_, "*.log"),
                    elsewhere / "b.txt", elsewhere.Path()};
  Store({entry});
  Run();
  // The directory item keeps what lies below it out (so its copies are
  // removed), but not the directory itself; file and pattern items exclude
  // files only.
  EXPECT_EQ(ListTree(dst_), (Tree{"sub/", "sub/b.txt", "temp/"}));
}

TEST_F(MirrorTest, TwoSecondRule) {
  const long long base = 1'600'000'000;
  const struct {
    long long destinationOffset;
    bool sameSize;
    bool updated;
  } rows[] = {
      {0, true, false}, {2, true, false}, {-2, true, false}, {3, true, true},
      {-3, true, true}, {0, false, true},
  };
  MirrorEntry entry = Entry();
  Store({entry});
  std::filesystem::create_directories(src_);
  std::filesystem::create_directories(dst_);
  int n = 0;
  for (const auto& row : rows) {
    const std::string name = "f" + std::to_string(n++) + ".txt";
    WriteFile(Below(src_, name), "source");
    WriteFile(Below(dst_, name), row.sameSize ? "destin" : "longer destination");
    ASSERT_TRUE(SetWriteTime(Below(src_, name), base));
    ASSERT_TRUE(SetWriteTime(Below(dst_, name), base + row.destinationOffset));
  }
  const auto lines = Run();
  n = 0;
  for (const auto& row : rows) {
    const std::string name = "f" + std::to_string(n++) + ".txt";
    const bool updated = std::any_of(lines.begin(), lines.end(), [&](const Line& line) {
      return line.id == kMsgUpdateFile && line.destination == Below(dst_, name);
    });
    EXPECT_EQ(updated, row.updated) << name << " offset " << row.destinationOffset;
    EXPECT_EQ(ReadFile(Below(dst_, name)) == "source", row.updated) << name;
  }
}

TEST_F(MirrorTest, ArchiveModeAndAFailedUpdateTriedAgain) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine reports the archive bit on every file and cannot clear it";
  MakeTree(src_, {"marked.txt", "unmarked.txt"});
  MakeTree(dst_, {"marked.txt"});
  WriteFile(Below(dst_, "unmarked.txt"), "a different size");
  platform::WriteFileAttributes(Below(src_, "marked.txt"), platform::kAttrArchive);
  platform::WriteFileAttributes(Below(src_, "unmarked.txt"), 0);
  MirrorEntry entry = Entry();
  entry.use_archive = 1;
  Store({entry});

  platform::InjectCopyFailures(platform::kErrorAccessDenied, 0, 1);
  auto lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgUpdateFile), 1);
  EXPECT_EQ(CountOf(lines, kMsgUpdateFailed), 1);
  EXPECT_TRUE(platform::ReadFileAttributes(Below(src_, "marked.txt")) & platform::kAttrArchive)
      << "set again after the failed update";

  lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgUpdateFile), 1) << "tried again";
  EXPECT_EQ(CountOf(lines, kMsgUpdateFailed), 0);
  EXPECT_FALSE(platform::ReadFileAttributes(Below(src_, "marked.txt")) & platform::kAttrArchive);
  EXPECT_EQ(ReadFile(Below(dst_, "unmarked.txt")), "a different size") << "no archive bit: left alone";

  lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgUpdateFile), 0) << "nothing marked any more";
}

TEST_F(MirrorTest, NewFileInNewNestedDirectoriesAndDestinationOnlyTreeRemoved) {
  MakeTree(src_, {"a/b/c/new.txt"});
  MakeTree(dst_, {"x/y/z/"});
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(ListTree(dst_), (Tree{"a/", "a/b/", "a/b/c/", "a/b/c/new.txt"}));
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 1);
  std::set<std::string> removed;
  for (const Line& line : lines)
    if (line.id == kMsgDeleteDirectory) removed.insert(line.destination);
  EXPECT_EQ(removed, (std::set<std::string>{Below(dst_, "x/"), Below(dst_, "x/y/"), Below(dst_, "x/y/z/")}));
  EXPECT_EQ(CountOf(lines, kMsgDeleteDirectory), 3) << "one line each";
}

TEST_F(MirrorTest, FullDiskEndsTheRunAndNothingLaterIsCopied) {
  MakeTree(src_, {"a.txt", "b.txt", "c.txt"});
  TempDir second;
  MakeTree(second / "src/", {"later.txt"});
  MirrorEntry other = Entry("second");
  other.source = second / "src/";
  other.destination = second / "dst/";
  Store({Entry(), other});
  platform::InjectCopyFailures(platform::kErrorDiskFull, 1, 1);
  const auto lines = Run();
  EXPECT_EQ(IdsOf(lines), (std::vector<int>{kMsgRunStart, kMsgAnalysing, kMsgAnalysing, kMsgCopyFile,
                                            kMsgCopyFile, kMsgDiskFull, kMsgInterrupted, kMsgRunEnd}));
  EXPECT_EQ(ListTree(dst_).size(), 1u) << "only the file before the full disk";
  EXPECT_EQ(ListTree(second / "dst/").size(), 0u) << "the second entry is not visited";
  platform::InjectCopyFailures(0, 0, 0);
}

// A stop between items, at each phase: nothing changes after the line at
// which it came, and the run ends with 59409 and 59402. A stop while the
// source is listed ends the listing of both trees.
TEST_F(MirrorTest, StopAtEachPhase) {
  const struct {
    int stopAt;
    std::vector<int> tail;  // the lines after the stop line
  } rows[] = {
      {kMsgAnalysing, {kMsgInterrupted, kMsgRunEnd}},
      {kMsgDeleteFile, {kMsgInterrupted, kMsgRunEnd}},
      {kMsgDeleteDirectory, {kMsgInterrupted, kMsgRunEnd}},
      {kMsgCopyFile, {kMsgInterrupted, kMsgRunEnd}},
  };
  for (const auto& row : rows) {
    TempDir trees;
    MirrorEntry entry = Entry();
    entry.source = trees / "src/";
    entry.destination = trees / "dst/";
    MakeTree(entry.source, {"new1.txt", "new2.txt"});
    MakeTree(entry.destination, {"old1.txt", "old2.txt", "gone1/", "gone2/"});
    Store({entry});
    Tree before = ListTree(entry.destination);
    bool stopped = false;
    view_.onLine = [&](const Line& line) {
      if (!stopped && line.id == row.stopAt) {
        stopped = true;
        Stop();
        before = ListTree(entry.destination);  // the line comes before its action
      }
    };
    const auto lines = Run();
    view_.onLine = nullptr;
    const auto ids = IdsOf(lines);
    const auto at = std::find(ids.begin(), ids.end(), row.stopAt);
    ASSERT_NE(at, ids.end()) << row.stopAt;
    EXPECT_EQ(std::vector<int>(at + 1, ids.end()), row.tail) << "stop at " << row.stopAt;
    Tree after = ListTree(entry.destination);
    if (row.stopAt == kMsgAnalysing) EXPECT_EQ(after, before) << "stopped before any phase";
    else EXPECT_LE(std::abs(static_cast<long>(after.size()) - static_cast<long>(before.size())), 1)
        << "at most the item of the stop line";
  }
}

TEST_F(MirrorTest, ThreeHundredEntriesAndTheEndOfTheList) {
  std::vector<MirrorEntry> entries;
  for (int i = 0; i < 300; ++i) {
    MirrorEntry entry = Entry("e" + std::to_string(i));
    entry.source = dir_ / ("s" + std::to_string(i) + "/");
    entry.destination = dir_ / ("d" + std::to_string(i) + "/");
    MakeTree(entry.source, {"f.txt"});
    entries.push_back(entry);
  }
  // The settings file takes 256 entries at a time from the editors; the run has no limit.
  Store(std::vector<MirrorEntry>(entries.begin(), entries.begin() + 256));
  for (int i = 256; i < 300; ++i) {
    CtProfile profile;
    profile.SetFile(entries_).SetSection("%d", i);
    profile.SetValueName("name").SetString(entries[i].name);
    profile.SetValueName("source").SetString(entries[i].source);
    profile.SetValueName("destination").SetString(entries[i].destination);
    profile.SetValueName("subdir").SetInt(1);
  }
  const auto lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 300);
  EXPECT_TRUE(FileExists(dir_ / "d299/f.txt"));
}

TEST_F(MirrorTest, EntryZeroWithoutSourceGivesOnlyStartAndEnd) {
  MirrorEntry empty = Entry();
  empty.source.clear();
  Store({empty, Entry("second")});
  EXPECT_EQ(IdsOf(Run()), (std::vector<int>{kMsgRunStart, kMsgRunEnd}));
}

// Entries that could only do harm are skipped with their line, and the run goes on.
TEST_F(MirrorTest, UnusableEntriesAreSkippedAndTheRunGoesOn) {
  MakeTree(src_, {"a.txt"});
  MirrorEntry noDestination = Entry("no destination"), relative = Entry("relative"),
              inside = Entry("inside"), same = Entry("same"), good = Entry("good");
  noDestination.destination.clear();
  relative.source = "relative/src/";
  inside.destination = Below(src_, "nested/");
  same.destination = src_;
  Store({noDestination, relative, inside, same, good});
  const auto lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgBadEntry), 4);
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 1);
  EXPECT_TRUE(FileExists(Below(dst_, "a.txt")));
  EXPECT_FALSE(FileExists(Below(src_, "nested/a.txt")));
}

TEST_F(MirrorTest, MissingSourceRootLeavesTheDestinationAlone) {
  MakeTree(dst_, {"precious.txt", "keep/deep.txt"});
  TempDir second;
  MakeTree(second / "src/", {"b.txt"});
  MirrorEntry missing = Entry("missing");
  missing.source = dir_ / "no such dir/";
  MirrorEntry other = Entry("other");
  other.source = second / "src/";
  other.destination = second / "dst/";
  Store({missing, other});
  const auto lines = Run();
  EXPECT_EQ(ListTree(dst_), (Tree{"precious.txt", "keep/", "keep/deep.txt"}));
  ASSERT_EQ(CountOf(lines, kMsgSourceMissing), 1);
  EXPECT_TRUE(FileExists(second / "dst/b.txt")) << "the next entry is mirrored";

  // An existing empty source is still mirrored as empty.
  MakeTree(missing.source, {});
  std::filesystem::create_directories(missing.source);
  Run();
  EXPECT_EQ(ListTree(dst_), Tree{});
}

}  // namespace

}  // namespace test

namespace test {

namespace {

// Links on either side are never entered: a loop cannot hang the listing,
// nothing is deleted through a link, and nothing is copied through one.
TEST_F(MirrorTest, LinksAreNeverFollowed) {
  TempDir outside;
  MakeTree(outside.Path(), {"precious.txt"});
  MakeTree(src_, {"a.txt", "out/new.txt"});
  MakeTree(dst_, {"a.txt"});
  if (!MakeDirectoryLink(Below(src_, "loop"), src_) ||
      !MakeDirectoryLink(Below(dst_, "out"), outside.Path()) ||
      !MakeDirectoryLink(Below(dst_, "gone"), outside.Path()))
    GTEST_SKIP() << "directory links cannot be made here";
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(ListTree(outside.Path()), (Tree{"precious.txt"})) << "nothing deleted or copied outside";
  EXPECT_EQ(CountOf(lines, kMsgCopyFailed), 1) << "the copy through the link fails";
  EXPECT_FALSE(FileExists(Below(dst_, "loop/a.txt")));
}

// Many files, of which the run leaves some alone, updates some, copies the
// rest and must refuse those below destination directories that are links:
// each copied file gets its own content, whichever files were skipped
// before it (natively the copies are made ahead of the run). Half of the
// eight directories are links, so that in any listing order some refused
// ones come before some copied ones.
TEST_F(MirrorTest, EveryCopyGetsItsOwnContent) {
  TempDir outside;
  const auto refused = [](int i) { return (i / 15) % 2 == 1; };
  std::vector<std::string> files;
  for (int i = 0; i < 120; ++i)
    files.push_back("d" + std::to_string(i / 15) + "/f" + std::to_string(i) +
                    std::string(i % 7, 'x') + ".txt");
  MakeTree(src_, files);
  for (int i = 0; i < 120; ++i) {
    const std::string to = Below(dst_, files[i]);
    ASSERT_TRUE(SetWriteTime(Below(src_, files[i]), 1'600'000'000));
    if (refused(i)) continue;
    if (i % 3 == 0) {  // already up to date
      MakeTree(dst_, {files[i]});
      ASSERT_TRUE(SetWriteTime(to, 1'600'000'000));
    } else if (i % 5 == 0) {  // stale
      std::filesystem::create_directories(std::filesystem::path(to).parent_path());
      WriteFile(to, "stale");
    }
  }
  bool linked = !Windows();
  for (int d = 1; d < 8; d += 2) {
    const std::string directory = Below(dst_, "d" + std::to_string(d));
    linked = linked && MakeDirectoryLink(directory, outside.Path());
    if (!linked) std::filesystem::create_directories(directory);
  }
  Store({Entry()});
  const auto lines = Run();
  for (int i = 0; i < 120; ++i) {
    if (!(linked && refused(i))) {
      EXPECT_EQ(ReadFile(Below(dst_, files[i])), files[i]);
    }
  }
  if (linked) {
    EXPECT_TRUE(ListTree(outside.Path()).empty()) << "nothing copied through the links";
    EXPECT_EQ(CountOf(lines, kMsgCopyFailed), 60);
  }
  EXPECT_EQ(CountOf(Run(), kMsgCopyFile), linked ? 60 : 0)
      << "the second run only tries the refused ones again";
}

TEST_F(MirrorTest, UndeletableDirectoryEndsThePassWithItsFailure) {
  MakeTree(dst_, {"stuck/inner/", "free/deeper/"});
  UndeletableEntry held(Below(dst_, "stuck/"));
  std::filesystem::create_directories(src_);
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(ListTree(dst_).count("free/"), 0u);
  EXPECT_EQ(ListTree(dst_).count("stuck/inner/"), 0u);
  const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                 [](const Line& line) { return line.id == kMsgDeleteDirectoryFailed; });
  ASSERT_NE(last, lines.rend());
  EXPECT_EQ(last->destination, Below(dst_, "stuck/"));
  EXPECT_EQ((last + 1)->id, kMsgDeleteDirectory) << "its line comes first";
}

// On Windows names are compared without regard to case by the file system
// but with it by the listing: the destination's file is deleted, then
// copied anew under the source's name.
TEST_F(MirrorTest, NameDifferingOnlyInLetterCase) {
  if (!Windows()) GTEST_SKIP() << "names that differ in case are different files here";
  MakeTree(src_, {"Name.txt"});
  MakeTree(dst_, {"name.txt"});
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgDeleteFile), 1);
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 1);
  EXPECT_EQ(ListTree(dst_), (Tree{"Name.txt"}));
}

// The stop command from another thread while the run works on its own: the
// run ends with 59409 and 59402, and nothing changes after the stop.
TEST_F(MirrorTest, StopCommandFromTheInterfaceThread) {
  std::vector<std::string> tree;
  const int directories = RunningUnderWine() ? 300 : 3000;
  for (int i = 0; i < directories; ++i) tree.push_back("d" + std::to_string(i) + "/f.txt");
  MakeTree(src_, tree);
  Store({Entry()});
  std::promise<void> listing;
  bool signalled = false;
  view_.onLine = [&](const Line& line) {
    if (line.id == kMsgAnalysing && !signalled) {
      signalled = true;
      listing.set_value();
    }
  };
  ASSERT_TRUE(doc_.OnMirrorStart(&view_, Request()));
  listing.get_future().wait();
  doc_.OnMirrorStop();
  ASSERT_TRUE(doc_.WaitForEnd(120000));
  const Tree copied = ListTree(dst_);
  const auto ids = IdsOf(view_.Lines());
  ASSERT_GE(ids.size(), 4u);
  EXPECT_EQ(std::vector<int>(ids.end() - 2, ids.end()), (std::vector<int>{kMsgInterrupted, kMsgRunEnd}));
  EXPECT_EQ(CountOf(view_.Lines(), kMsgCopyFile), static_cast<int>(std::count_if(
                copied.begin(), copied.end(), [](const std::string& p) { return p.back() != '/'; })))
      << "every copy line stands for one file, and no file came without its line";
  EXPECT_LT(CountOf(view_.Lines(), kMsgCopyFile), directories);
  EXPECT_FALSE(doc_.Running());
  EXPECT_TRUE(doc_.LastOutcome().interrupted);
}

}  // namespace

}  // namespace test
