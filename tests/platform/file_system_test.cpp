// The file services the engine relies on, on real files.

#include "platform/directory_listing.h"
#include "tests/support/fault_injection.h"
#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/prepared_copy.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree.h"

namespace test {

namespace {

using platform::MatchesWildcard;

TEST(Wildcard, MatchesAsTheWindowsEnumerationDoes) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } rows[] = {
      {"README", "*.*", true},  {"a.txt", "*.txt", true},   {"a.txt.bak", "*.txt", false},
      {"a.txt", "?.txt", true}, {"ab.txt", "?.txt", false}, {"abc", "a*c", true},
      {"ac", "a*c", true},      {"abd", "a*c", false},      {"a", "", false},
      {"x.log", "*.l?g", true}, {"aXbXc", "a*b*c", true},   {"", "*", true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(MatchesWildcard(row.name, row.pattern, false), row.matches)
        << row.name << " ~ " << row.pattern;
  EXPECT_TRUE(MatchesWildcard("A.TXT", "*.txt", true));
  EXPECT_FALSE(MatchesWildcard("A.TXT", "*.txt", false));
}

TEST(DirectoryListing, GivesDotEntriesNamesTimesAndSizes) {
  TempDir dir;
  MakeTree(dir.Path(), {"sub/", "file.txt"});
  ASSERT_TRUE(SetWriteTime(dir / "file.txt", 1'600'000'000));
  std::set<std::string> names;
  platform::DirectoryEntry entry;
  platform::DirectoryListing listing(dir.Path(), "*.*");
  while (listing.Next(&entry) == platform::ListStep::kEntry) {
    names.insert(entry.name);
    if (entry.name == "file.txt") {
      EXPECT_EQ(entry.size, 8u);
      EXPECT_EQ(entry.lastWriteTime, 116444736000000000ull + 1'600'000'000ull * 10'000'000ull);
      EXPECT_FALSE(entry.attributes & platform::kAttrDirectory);
    }
    if (entry.name == "sub") {
      EXPECT_TRUE(entry.attributes & platform::kAttrDirectory);
    }
  }
  EXPECT_EQ(names, (std::set<std::string>{".", "..", "sub", "file.txt"}));
  platform::DirectoryListing missing(dir / "missing/", "*.*");
  EXPECT_EQ(missing.Next(&entry), platform::ListStep::kEnd) << "a directory gone is empty";
}

TEST(FileOperations, CopyReplacesAndCarriesTimeAndReadOnly) {
  TempDir dir;
  WriteFile(dir / "src.txt", "new content");
  WriteFile(dir / "dst.txt", "old");
  ASSERT_TRUE(SetWriteTime(dir / "src.txt", 1'500'000'000));
  EXPECT_TRUE(platform::CopyFileReplacing(dir / "src.txt", dir / "dst.txt"));
  EXPECT_EQ(ReadFile(dir / "dst.txt"), "new content");
  ASSERT_TRUE(platform::WriteFileAttributes(dir / "src.txt", platform::kAttrReadOnly));
  EXPECT_TRUE(platform::CopyFileReplacing(dir / "src.txt", dir / "new.txt"));
  EXPECT_TRUE(platform::ReadFileAttributes(dir / "new.txt") & platform::kAttrReadOnly);
  platform::DirectoryEntry entry;
  platform::DirectoryListing listing(dir.Path(), "dst.txt");
  ASSERT_EQ(listing.Next(&entry), platform::ListStep::kEntry);
  EXPECT_EQ(entry.lastWriteTime, 116444736000000000ull + 1'500'000'000ull * 10'000'000ull);
  for (const char* name : {"src.txt", "new.txt"}) platform::WriteFileAttributes(dir / name, 0);
}

TEST(FileOperations, FailuresGiveTheirReasonsAndLeaveNothingBehind) {
  TempDir dir;
  MakeTree(dir.Path(), {"full/f.txt", "empty/", "src.txt"});
  EXPECT_EQ(platform::CopyFileReplacing(dir / "none.txt", dir / "x.txt").error,
            platform::kErrorFileNotFound);
  EXPECT_EQ(platform::CopyFileReplacing(dir / "src.txt", dir / "no/such/x.txt").error,
            platform::kErrorPathNotFound);
  EXPECT_FALSE(platform::CopyFileReplacing(dir / "src.txt", dir / "empty"));
  EXPECT_EQ(platform::DeleteFilePlain(dir / "none.txt").error, platform::kErrorFileNotFound);
  EXPECT_EQ(platform::RemoveDirectoryPlain(dir / "full/").error, platform::kErrorDirNotEmpty);
  EXPECT_EQ(platform::RemoveDirectoryPlain(dir / "none/").error, platform::kErrorFileNotFound);
  EXPECT_TRUE(platform::RemoveDirectoryPlain(dir / "empty/"));
  EXPECT_EQ(platform::ReadFileAttributes(dir / "none.txt"), platform::kInvalidAttributes);
  EXPECT_EQ(ListTree(dir.Path()), (std::set<std::string>{"full/", "full/f.txt", "src.txt"}))
      << "no temporary file is left by the failed copies";
}

// A process that must end before its copies could abandons them: each fails
// at once, leaving the old file and no temporary one.
TEST(FileOperations, AbandonedCopiesFailAndLeaveTheOldFile) {
  if (platform::NativePathStyle() != platform::PathStyle::kWindows)
    GTEST_SKIP() << "natively nothing ends the process before its run has stopped";
  TempDir dir;
  MakeTree(dir.Path(), {"new.txt", "old.txt"});
  platform::SetCopiesAbandoned(true);
  EXPECT_FALSE(platform::CopyFileReplacing(dir / "new.txt", dir / "old.txt"));
  platform::SetCopiesAbandoned(false);
  EXPECT_EQ(ReadFile(dir / "old.txt"), "old.txt");
  EXPECT_EQ(ListTree(dir.Path()), (std::set<std::string>{"new.txt", "old.txt"})) << "no temporary file";
  EXPECT_TRUE(platform::CopyFileReplacing(dir / "new.txt", dir / "old.txt")) << "copies go on once resumed";
  EXPECT_EQ(ReadFile(dir / "old.txt"), "new.txt");
}

// A copy prepared ahead is seen by nobody until it is named, then appears
// whole under its name, replacing what stood there; one never named leaves
// nothing. Where no copy can be prepared, nothing is made at all.
TEST(FileOperations, PreparedCopiesAppearOnlyWhenNamed) {
  TempDir dir;
  MakeTree(dir.Path(), {"sub/", "sub/old.txt"});
  WriteFile(dir / "src.txt", "prepared content");
  ASSERT_TRUE(SetWriteTime(dir / "src.txt", 1'500'000'000));
  const std::set<std::string> before = ListTree(dir.Path());
  if (!platform::CanPrepareCopies()) {
    EXPECT_EQ(platform::PrepareCopy(dir / "src.txt", dir.Path()).Error(), platform::kErrorNotSupported);
    EXPECT_EQ(ListTree(dir.Path()), before);
    return;
  }
  platform::PreparedCopy fresh = platform::PrepareCopy(dir / "src.txt", dir.Path());
  platform::PreparedCopy replacing = platform::PrepareCopy(dir / "src.txt", dir.Path());
  platform::PreparedCopy dropped = platform::PrepareCopy(dir / "src.txt", dir.Path());
  ASSERT_EQ(fresh.Error(), platform::kErrorNone);
  ASSERT_EQ(replacing.Error(), platform::kErrorNone);
  EXPECT_EQ(ListTree(dir.Path()), before) << "nothing shows before a name is given";

  EXPECT_TRUE(platform::NamePreparedCopy(fresh, dir / "sub/new.txt"));
  EXPECT_TRUE(platform::NamePreparedCopy(replacing, dir / "sub/old.txt"));
  dropped.Discard();
  EXPECT_EQ(ReadFile(dir / "sub/new.txt"), "prepared content");
  EXPECT_EQ(ReadFile(dir / "sub/old.txt"), "prepared content");
  platform::DirectoryEntry entry;
  platform::DirectoryListing listing(dir / "sub", "new.txt");
  ASSERT_EQ(listing.Next(&entry), platform::ListStep::kEntry);
  EXPECT_EQ(entry.lastWriteTime, 116444736000000000ull + 1'500'000'000ull * 10'000'000ull);
  EXPECT_EQ(ListTree(dir.Path()), (std::set<std::string>{"src.txt", "sub/", "sub/new.txt", "sub/old.txt"}));

  EXPECT_EQ(platform::PrepareCopy(dir / "none.txt", dir.Path()).Error(), platform::kErrorFileNotFound);
  EXPECT_EQ(platform::PrepareCopy(dir / "src.txt", dir / "no/such/").Error(), platform::kErrorPathNotFound)
      << "a missing directory is no file system without unnamed files";
  platform::PreparedCopy homeless = platform::PrepareCopy(dir / "src.txt", dir.Path());
  EXPECT_EQ(platform::NamePreparedCopy(homeless, dir / "no/such/x.txt").error,
            platform::kErrorPathNotFound);
  EXPECT_EQ(ListTree(dir.Path()).size(), 4u) << "failures leave nothing behind";
}

// Natively the archive bit is set while a file differs from what was
// recorded when the bit was last cleared.
TEST(FileOperations, ArchiveBitFollowsChanges) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine reports the archive bit on every file and cannot clear it";
  TempDir dir;
  const std::string file = dir / "a.txt";
  WriteFile(file, "one");
  EXPECT_TRUE(platform::ReadFileAttributes(file) & platform::kAttrArchive) << "a new file";
  ASSERT_TRUE(platform::WriteFileAttributes(file, 0));
  EXPECT_FALSE(platform::ReadFileAttributes(file) & platform::kAttrArchive);
  WriteFile(file, "changed");
  EXPECT_TRUE(platform::ReadFileAttributes(file) & platform::kAttrArchive) << "after a change";
}

TEST(FileOperations, LocalSecondsDropFractionsAndOldTimes) {
  const unsigned long long second = 10'000'000ull, epoch = 116444736000000000ull;
  const long long base = platform::FileTimeToLocalSeconds(epoch + 1'600'000'000ull * second);
  EXPECT_EQ(platform::FileTimeToLocalSeconds(epoch + 1'600'000'000ull * second + second - 1), base);
  EXPECT_EQ(platform::FileTimeToLocalSeconds(epoch + 1'600'000'003ull * second), base + 3);
  EXPECT_EQ(platform::FileTimeToLocalSeconds(epoch - second), -1);
  EXPECT_EQ(platform::FileTimeToLocalSeconds(0), -1);
}

// A copy made ahead asks between chunks whether it is still wanted, so a
// stop never waits for a large copy the run will throw away.
TEST(FileOperations, APreparedCopyAsksBetweenChunksWhetherItIsStillWanted) {
  if (!platform::CanPrepareCopies()) GTEST_SKIP() << "no copies are made ahead here";
  TempDir dir;
  WriteFile(dir / "big.bin", std::string(40u << 20, 'x'));  // three chunks
  int asked = 0;
  platform::PreparedCopy whole = platform::PrepareCopy(dir / "big.bin", dir.Path(), [&] {
    ++asked;
    return false;
  });
  EXPECT_EQ(whole.Error(), platform::kErrorNone);
  EXPECT_EQ(asked, 3);
  asked = 0;
  platform::PreparedCopy cancelled = platform::PrepareCopy(dir / "big.bin", dir.Path(), [&] {
    return ++asked == 2;
  });
  EXPECT_NE(cancelled.Error(), platform::kErrorNone);
  EXPECT_EQ(asked, 2) << "it gave up at the second chunk";
}

// Natively: what a copy must not carry, and what it must not open.
TEST(FileOperations, CopiesDropSetIdBitsAndNeverOpenPipes) {
  if (RunningUnderWine()) GTEST_SKIP() << "POSIX modes and pipes";
  TempDir dir;
  namespace fs = std::filesystem;
  WriteFile(dir / "tool", "#!/bin/sh\n");
  fs::permissions(dir / "tool", fs::perms::set_uid | fs::perms::set_gid | fs::perms::owner_all |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
  ASSERT_TRUE(platform::CopyFileReplacing(dir / "tool", dir / "copy"));
  EXPECT_EQ(fs::status(dir / "copy").permissions(),
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                fs::perms::others_read | fs::perms::others_exec);
  ASSERT_TRUE(MakeNamedPipe(dir / "pipe"));
  EXPECT_EQ(platform::CopyFileReplacing(dir / "pipe", dir / "piped").error, platform::kErrorAccessDenied)
      << "refused at once, not waited for";
  EXPECT_EQ(platform::PrepareCopy(dir / "pipe", dir.Path()).Error(), platform::kErrorAccessDenied);
  EXPECT_FALSE(FileExists(dir / "piped"));
}

// Clearing the archive bit records the file; it never changes the file's
// mode, neither the write permissions of others nor those of a file its
// owner may not write.
TEST(FileOperations, ClearingTheArchiveBitKeepsTheMode) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine reports the archive bit on every file and cannot clear it";
  namespace fs = std::filesystem;
  const fs::perms r = fs::perms::owner_read, w = fs::perms::owner_write;
  const fs::perms modes[] = {r | fs::perms::group_read | fs::perms::group_write | fs::perms::others_read,
                             r | w | fs::perms::group_write, r};
  for (const fs::perms mode : modes) {
    TempDir dir;
    WriteFile(dir / "a.txt", "a");
    fs::permissions(dir / "a.txt", mode);
    const std::uint32_t attributes = platform::ReadFileAttributes(dir / "a.txt");
    ASSERT_TRUE(platform::WriteFileAttributes(dir / "a.txt", attributes & ~platform::kAttrArchive))
        << static_cast<int>(mode);
    EXPECT_EQ(fs::status(dir / "a.txt").permissions(), mode);
    EXPECT_FALSE(platform::ReadFileAttributes(dir / "a.txt") & platform::kAttrArchive) << static_cast<int>(mode);
  }
}

// A listing tells an entry, its end and a failure apart; a test can make
// any directory fail, or list as a drive root does, without "." and "..".
// Only name surrogates are links: a cloud placeholder or a deduplicated
// file is what it stands for. Wine cannot make these reparse points, so
// the tags a listing reports are taken here as the system gives them.
TEST(DirectoryListing, OnlyNameSurrogateReparsePointsAreLinks) {
  using platform::kAttrArchive, platform::kAttrDirectory, platform::kAttrReparsePoint;
  const std::uint32_t file = kAttrArchive | kAttrReparsePoint, directory = kAttrDirectory | kAttrReparsePoint;
  const struct {
    const char* what;
    std::uint32_t attributes, tag;
    bool link;
  } rows[] = {
      {"symbolic link", file, 0xA000000C, true},        {"junction", directory, 0xA0000003, true},
      {"WSL symbolic link", file, 0xA000001D, true},    {"cloud placeholder file", file, 0x9000001A, false},
      {"cloud placeholder folder", directory, 0x9000601A, false}, {"deduplicated file", file, 0x80000013, false},
      {"app execution alias", file, 0x8000001B, false}, {"single-instance store", file, 0x80000007, false},
  };
  for (const auto& row : rows) {
    const std::uint32_t seen = platform::AttributesWithReparseTag(row.attributes, row.tag);
    EXPECT_EQ((seen & kAttrReparsePoint) != 0, row.link) << row.what;
    EXPECT_EQ(seen & ~kAttrReparsePoint, row.attributes & ~kAttrReparsePoint) << row.what << ": other bits kept";
  }
  EXPECT_EQ(platform::AttributesWithReparseTag(kAttrArchive, 0x9000001A), kAttrArchive) << "no reparse point";
}

TEST(DirectoryListing, InjectedFaultsFailOrEndTheListing) {
  TempDir dir;
  MakeTree(dir.Path(), {"a.txt", "b.txt", "c.txt"});
  const struct { int entries; std::uint32_t error; int listed; platform::ListStep last; } rows[] = {
      {0, platform::kErrorAccessDenied, 0, platform::ListStep::kError},
      {2, platform::kErrorAccessDenied, 2, platform::ListStep::kError},
      {0, 0, 0, platform::ListStep::kEnd},
      {10, 0, 3, platform::ListStep::kEnd},
  };
  for (const auto& row : rows) {
    platform::InjectListingFault(dir.Path(), row.entries, row.error);
    platform::DirectoryListing listing(dir.Path(), "*.*");
    platform::DirectoryEntry entry;
    int listed = 0;
    platform::ListStep step;
    while ((step = listing.Next(&entry)) == platform::ListStep::kEntry) {
      EXPECT_NE(entry.name, ".");
      ++listed;
    }
    EXPECT_EQ(listed, row.listed) << row.entries;
    EXPECT_EQ(step, row.last) << row.entries;
    if (step == platform::ListStep::kError) {
      EXPECT_EQ(listing.Error(), row.error);
    }
  }
  platform::InjectListingFault("", 0, 0);
}

}  // namespace

}  // namespace test
