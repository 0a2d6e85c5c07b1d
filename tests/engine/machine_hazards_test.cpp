// What real machines do to a backup: a disk not mounted today behind a
// link, links standing in the backup, runs killed half way, sparse files,
// snapshots that share the backup's files, and what a killed run left.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/messages.h"
#include "tests/support/fault_injection.h"
#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/thread.h"
#include "tests/support/files.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"

namespace test {

namespace {

namespace fs = std::filesystem;
using Tree = std::set<std::string>;

bool Archived(const std::string& path) {
  return (platform::ReadFileAttributes(path) & platform::kAttrArchive) != 0;
}

// A link whose target is on a disk that is not mounted today is no
// deletion: the backup of what it points to stays, and nothing is copied.
TEST_F(MirrorTest, ASourceLinkToNothingKeepsItsBackup) {
  MakeTree(src_, {"kept.txt"});
  MakeTree(dst_, {"kept.txt"});
  WriteFile(Below(dst_, "data.db"), "last week's database");
  if (!MakeFileLink(Below(src_, "data.db"), dir_ / "unmounted/data.db"))
    GTEST_SKIP() << "no file links here";
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(ReadFile(Below(dst_, "data.db")), "last week's database");
  EXPECT_EQ(CountOf(lines, kMsgDeleteFile) + CountOf(lines, kMsgCopyFile) + CountOf(lines, kMsgUpdateFile), 0);
}

// A link in the backup is no copy, even when it points at an equal file: it
// would dangle once the source file went.
TEST_F(MirrorTest, ADestinationLinkToAnEqualFileIsReplacedByACopy) {
  MakeTree(src_, {"a.txt"});
  MakeTree(dst_, {});
  if (!MakeFileLink(Below(dst_, "a.txt"), Below(src_, "a.txt"))) GTEST_SKIP() << "no file links here";
  Store({Entry()});
  EXPECT_EQ(CountOf(Run(), kMsgUpdateFile), 1);
  EXPECT_FALSE(fs::is_symlink(Below(dst_, "a.txt")));
  EXPECT_EQ(ReadFile(Below(dst_, "a.txt")), "a.txt");
  EXPECT_EQ(IdsOf(Run()), (std::vector<int>{kMsgRunStart, kMsgAnalysing, kMsgAnalysing, kMsgRunEnd}));
}

// The archive bit goes only once the copy is complete and named, and only
// for the version that was copied: a run killed after the update's line, or
// a file changed meanwhile, is copied again by the next run.
TEST_F(MirrorTest, ArchiveBitIsClearedOnlyForACompleteCopyOfAnUnchangedFile) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine reports the archive bit on every file and cannot clear it";
  const struct {
    const char* name;
    bool changeDuringCopy;
  } rows[] = {{"unchanged", false}, {"changed while copied", true}};
  for (const auto& row : rows) {
    TempDir trees;
    MirrorEntry entry = Entry();
    entry.source = trees / "src/";
    entry.destination = trees / "dst/";
    entry.use_archive = 1;
    MakeTree(entry.source, {"f.txt"});
    MakeTree(entry.destination, {"f.txt"});
    const std::string source = Below(entry.source, "f.txt");
    platform::WriteFileAttributes(source, platform::kAttrArchive);
    Store({entry});
    bool markedAtTheLine = false;
    view_.onLine = [&](const Line& line) {
      if (line.id != kMsgUpdateFile) return;
      markedAtTheLine = Archived(source);  // what a run killed now would leave
      if (row.changeDuringCopy) WriteFile(source, "changed while it was copied");
    };
    EXPECT_EQ(CountOf(Run(), kMsgUpdateFile), 1) << row.name;
    view_.onLine = nullptr;
    EXPECT_TRUE(markedAtTheLine) << row.name;
    EXPECT_EQ(Archived(source), row.changeDuringCopy) << row.name;
    EXPECT_EQ(CountOf(Run(), kMsgUpdateFile), row.changeDuringCopy ? 1 : 0) << row.name;
    EXPECT_EQ(ReadFile(Below(entry.destination, "f.txt")), ReadFile(source)) << row.name;
  }
}

// Natively: holes stay holes, and the old file of an update or a deletion
// keeps its mode, which a hard-linked snapshot of the backup shares.
TEST_F(MirrorTest, SparseFilesStaySparseAndSnapshotsKeepTheirModes) {
  if (Windows()) GTEST_SKIP() << "POSIX modes and holes";
  MakeTree(src_, {"changed.txt"});
  MakeTree(dst_, {"changed.txt", "gone.txt"});
  WriteFile(Below(src_, "changed.txt"), "the new content");
  {
    std::FILE* file = std::fopen(Below(src_, "sparse.img").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 256 << 20, SEEK_SET);
    std::fputs("end", file);
    std::fclose(file);
  }
  const std::string snapshot = dir_ / "snapshot/";
  fs::create_directories(snapshot);
  for (const char* name : {"changed.txt", "gone.txt"}) {
    fs::permissions(Below(dst_, name), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_hard_link(Below(dst_, name), snapshot + name);
  }
  Store({Entry()});
  const auto lines = Run();
  EXPECT_EQ(CountOf(lines, kMsgUpdateFile), 1);
  EXPECT_EQ(CountOf(lines, kMsgDeleteFile), 1);
  EXPECT_EQ(ReadFile(Below(dst_, "changed.txt")), "the new content");
  EXPECT_FALSE(FileExists(Below(dst_, "gone.txt")));
  for (const char* name : {"changed.txt", "gone.txt"}) {
    EXPECT_EQ(fs::status(snapshot + name).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read)
        << name;
    EXPECT_EQ(ReadFile(snapshot + name), name) << "the snapshot keeps its content";
  }
  EXPECT_EQ(fs::file_size(Below(dst_, "sparse.img")), (256u << 20) + 3);
  EXPECT_LT(AllocatedBytes(Below(dst_, "sparse.img")), 1 << 20) << "the hole was written out";
}

// What a killed run left under a temporary name goes with the next run,
// whatever the entry says of deletions; a copy another run is making now
// stays; neither is ever listed, copied or reported.
TEST_F(MirrorTest, TemporaryCopiesOfAKilledRunAreRemovedAndNeverListed) {
  const std::string abandoned = ".kelmoray-1073741824-7.tmp";  // beyond any process identifier
  const std::string live = ".kelmoray-" + std::to_string(platform::CurrentProcessId()) + "-999999.tmp";
  MakeTree(src_, {"a.txt", "sub/b.txt"});
  MakeTree(dst_, {"sub/"});
  for (const std::string& name : {abandoned, live}) {
    WriteFile(Below(dst_, "sub/" + name), "half a copy");
    WriteFile(Below(src_, name), "half a copy in the source");
  }
  MirrorEntry entry = Entry();
  entry.destination_delete = 0;
  Store({entry});
  const auto lines = Run();
  EXPECT_EQ(ListTree(dst_), (Tree{"a.txt", "sub/", "sub/b.txt", "sub/" + live}));
  EXPECT_EQ(ListTree(src_), (Tree{"a.txt", "sub/", "sub/b.txt", abandoned, live})) << "the source is never changed";
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 2);
  EXPECT_EQ(CountOf(lines, kMsgDeleteFile), 0);
  entry.destination_delete = 1;
  Store({entry});
  EXPECT_EQ(CountOf(Run(), kMsgDeleteFile), 0) << "a live temporary copy is no file of the backup";
}


// Copies are made ahead in their own directories: a set-group-ID directory
// gives each its group, as it gives every file made in it. And a copy made
// ahead that failed for space is made again in its turn (renames before it
// may have freed the space): only a failure in its turn ends the run.
TEST_F(MirrorTest, CopiesMadeAheadTakeTheirDirectorysGroupAndAreTriedAgainInTheirTurn) {
  if (Windows()) GTEST_SKIP() << "POSIX groups; no copies are made ahead on Windows";
  std::vector<std::string> names;
  for (int i = 0; i < 20; ++i) names.push_back("shared/f" + std::to_string(i) + ".txt");
  MakeTree(src_, names);
  MakeTree(dst_, {"shared/"});
  const long long group = GroupOf(dst_) == 100 ? 101 : 100;
  if (!GiveGroupToNewFiles(Below(dst_, "shared/"), static_cast<std::uint32_t>(group)))
    GTEST_SKIP() << "cannot give the directory another group here";
  Store({Entry()});
  platform::InjectPreparedCopyFailures(platform::kErrorDiskFull, 0, 1);
  const auto lines = Run();
  platform::InjectPreparedCopyFailures(0, 0, 0);
  EXPECT_EQ(CountOf(lines, kMsgCopyFile), 20);
  EXPECT_EQ(CountOf(lines, kMsgDiskFull) + CountOf(lines, kMsgCopyFailed), 0);
  for (const std::string& name : names) EXPECT_EQ(GroupOf(Below(dst_, name)), group) << name;
}

}  // namespace

}  // namespace test
