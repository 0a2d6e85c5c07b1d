// What a scheduled console run must get right: options it does not know,
// where its log goes, lines that names cannot split, and a run by an
// ordinary user over files it may not read or write.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "settings/stored_settings.h"
#include "tests/shell/console_fixture.h"
#include "tests/support/tree.h"

namespace test {

namespace {

namespace fs = std::filesystem;

TEST_F(ConsoleTest, OptionsItDoesNotKnowRunNothing) {
  MakeTree(src_, {"a.txt"});
  Store({Entry()});
  for (const std::string& option : std::vector<std::string>{"/F:" + entries_, "/file=" + entries_, "/X", "/S", "/"}) {
    EXPECT_EQ(RunConsole({option}), 3) << option;
    EXPECT_FALSE(FileExists(Below(dst_, "a.txt"))) << option;
  }
  EXPECT_EQ(RunConsole({"/auto", "/Min", FileOption()}), 0) << "prefixes of the known ones";
  EXPECT_TRUE(FileExists(Below(dst_, "a.txt")));
}

// A log directory given relative is taken from the directory the option is
// given in, and stored with its separator: the log's name follows it directly.
TEST_F(ConsoleTest, ARelativeLogDirectoryIsStoredWholeWithItsSeparator) {
  std::string output;
  EXPECT_EQ(RunConsole({"--log-dir=mylogs"}, &output), 0);
  const std::string stored = SettingsKey(1).SetValueName("LogDir").GetString();
  const std::string expected =
      (fs::current_path() / "mylogs").string() + (Windows() ? "\\" : "/");
  EXPECT_EQ(stored, expected);
}

// A TAB or a line feed in a name would split a report line; the console
// writes them escaped (the log keeps the bytes).
TEST_F(ConsoleTest, NamesCannotSplitALine) {
  if (Windows()) GTEST_SKIP() << "Windows names cannot hold control characters";
  MakeTree(src_, {"tab\there.txt", "line\nfeed.txt", "back\\slash.txt"});
  Store({Entry()});
  std::string output;
  EXPECT_EQ(RunConsole({FileOption()}, &output), 0);
  EXPECT_NE(output.find(Below(src_, "tab\\there.txt") + "\t"), std::string::npos) << output;
  EXPECT_NE(output.find(Below(src_, "line\\nfeed.txt") + "\t"), std::string::npos);
  EXPECT_NE(output.find(Below(src_, "back\\\\slash.txt") + "\t"), std::string::npos);
  size_t lines = 0;
  for (const char c : output) lines += c == '\n';
  EXPECT_EQ(lines, 7u) << "start, two analyses, three copies and the end: a line each";
}

// As an ordinary user: a source directory it may not read keeps its backup,
// so does a link to a file in it, and archive mode clears the bit of a read-only file it owns without
// changing the file's mode, so that the file is not copied on every run.
TEST_F(ConsoleTest, AnOrdinaryUsersRunOverFilesItMayNotReadOrWrite) {
  const std::vector<std::string> asNobody = AsNobody();
  if (asNobody.empty()) GTEST_SKIP() << "needs root, to run as another user";
  MakeTree(src_, {"closed/a.txt", "open.txt", "readonly.txt"});
  MakeTree(dst_, {"closed/a.txt", "closed/b.txt", "hidden-target.txt"});
  fs::create_symlink(Below(src_, "closed/a.txt"), Below(src_, "hidden-target.txt"));
  MirrorEntry entry = Entry();
  entry.use_archive = 1;
  Store({entry});
  const std::string registry = dir_ / "registry";  // the user's own settings
  fs::create_directories(registry);
  for (const auto& item : fs::recursive_directory_iterator(dir_.Path())) {
    const bool directory = item.is_directory();
    fs::permissions(item.path(), directory ? fs::perms::all : fs::perms::owner_read | fs::perms::owner_write);
  }
  fs::permissions(dir_.Path(), fs::perms::all);
  // A store that others may write is never used.
  fs::permissions(registry, fs::perms::owner_all);
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::group_write;
  fs::permissions(Below(src_, "readonly.txt"), readOnly);
  fs::permissions(Below(src_, "closed/"), fs::perms::none);
  ASSERT_TRUE(GiveToNobody(dir_.Path()));
  std::vector<std::string> arguments(asNobody.begin() + 1, asNobody.end());
  arguments.insert(arguments.end(), {"/usr/bin/env", "KELMORAY_REGISTRY_DIR=" + registry, KELMORAY_CONSOLE, FileOption()});
  // New files are copied whatever their bit; the next run updates them and
  // clears it; the one after finds nothing to do.
  const struct { int copied, updated; } runs[] = {{2, 0}, {0, 2}, {0, 0}};
  for (const auto& run : runs) {
    ChildProcess child(asNobody[0], arguments, output_);
    EXPECT_EQ(child.Wait(), 1) << "the unreadable directory is an error";
    const std::string output = ReadStoredText(output_);
    EXPECT_EQ(Lines(output, kMsgSourceUnreadable), 1) << output;
    EXPECT_EQ(Lines(output, kMsgCopyFile), run.copied) << output;
    EXPECT_EQ(Lines(output, kMsgUpdateFile), run.updated) << output;
  }
  fs::permissions(Below(src_, "closed/"), fs::perms::all);
  EXPECT_TRUE(FileExists(Below(dst_, "closed/a.txt")));
  EXPECT_TRUE(FileExists(Below(dst_, "closed/b.txt")));
  EXPECT_TRUE(FileExists(Below(dst_, "hidden-target.txt"))) << "a link whose target it may not see";
  EXPECT_EQ(fs::status(Below(src_, "readonly.txt")).permissions(), readOnly);
}

// A FAT file system (a USB stick) refuses most modes and keeps times in
// 2-second steps: every copy is made all the same, and the next run, which
// the 2-second rule lets see them as up to date, copies nothing.
TEST_F(ConsoleTest, AFatDestinationTakesEveryCopyAndTheNextRunFindsNothingToDo) {
  const std::string mkfs = "/sbin/mkfs.vfat", fusefat = "/usr/bin/fusefat", fusermount = "/bin/fusermount";
  if (Windows() || !fs::exists(mkfs) || !fs::exists(fusefat) || !fs::exists(fusermount))
    GTEST_SKIP() << "needs dosfstools and fusefat";
  const std::string image = dir_ / "fat.img", mounted = dir_ / "stick";
  WriteFile(image, "");
  fs::resize_file(image, 32u << 20);
  fs::create_directories(mounted);
  if (ChildProcess(mkfs, {image}, dir_ / "mkfs.txt").Wait() != 0 ||
      ChildProcess(fusefat, {"-o", "rw+", image, mounted}, dir_ / "fusefat.txt").Wait() != 0)
    GTEST_SKIP() << "no FAT file system can be mounted here";
  struct Unmount {
    std::string program, directory;
    ~Unmount() { ChildProcess(program, {"-u", directory}, "").Wait(); }
  } unmount{fusermount, mounted};

  MakeTree(src_, {"a.txt", "sub/b.txt", "c.txt"});
  fs::permissions(Below(src_, "c.txt"), fs::perms::owner_read | fs::perms::group_read);
  MirrorEntry entry = Entry();
  entry.destination = mounted + "/dst/";
  Store({entry});
  std::string output;
  EXPECT_EQ(RunConsole({FileOption()}, &output), 0) << output;
  EXPECT_EQ(Lines(output, kMsgCopyFile), 3);
  EXPECT_EQ(ReadFile(Below(entry.destination, "sub/b.txt")), "sub/b.txt");
  EXPECT_EQ(RunConsole({FileOption()}, &output), 0) << output;
  EXPECT_EQ(Lines(output, kMsgCopyFile) + Lines(output, kMsgUpdateFile), 0) << output;
  fs::permissions(Below(src_, "c.txt"), fs::perms::owner_all);
}


// A destination that is a folder of the source reached through a bind mount
// (as containers and backup disks are set up): walking up from it never
// meets the source, but the source's listing meets it.
TEST_F(ConsoleTest, ABindMountCannotHideAnOverlap) {
  const std::string unshare = "/usr/bin/unshare";
  if (Windows() || !fs::exists(unshare)) GTEST_SKIP() << "needs unshare";
  MakeTree(src_, {"thesis.txt", "backup/thesis.txt", "backup/old.txt"});
  const std::set<std::string> before = ListTree(src_);
  const std::string mounted = dir_ / "mounted/";
  fs::create_directories(mounted);
  MirrorEntry entry = Entry();
  entry.destination = mounted;
  Store({entry});
  // The mount lives and dies with the run's own mount namespace.
  ChildProcess child(unshare,
                     {"--mount", "--propagation", "private", "sh", "-c",
                      "mount --bind \"$0\" \"$1\" && exec \"$2\" \"$3\"", Below(src_, "backup/"), mounted,
                      KELMORAY_CONSOLE, FileOption()},
                     output_);
  const int status = child.Wait();
  const std::string output = ReadStoredText(output_);
  if (output.find(MessageText(kMsgRunStart)) == std::string::npos)
    GTEST_SKIP() << "no bind mount can be made here";
  EXPECT_EQ(status, 1) << output;
  EXPECT_EQ(Lines(output, kMsgBadEntry), 1) << output;
  EXPECT_EQ(Lines(output, kMsgDeleteFile) + Lines(output, kMsgCopyFile), 0) << output;
  EXPECT_EQ(ListTree(src_), before);
}

}  // namespace

}  // namespace test
