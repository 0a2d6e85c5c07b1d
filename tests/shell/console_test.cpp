// The console front end as a user runs it: a separate process, its exit
// status, its lines, its stored settings, and what signals do to a run.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "engine/messages.h"
#include "foundation/profile.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "settings/stored_settings.h"
#include "tests/support/mirror_fixture.h"
#include "tests/shell/console_fixture.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

TEST_F(ConsoleTest, MirrorsThenFindsNothingToDo) {
  MakeTree(src_, {"a.txt", "sub/b.txt"});
  Store({Entry()});
  std::string output;
  EXPECT_EQ(RunConsole({FileOption()}, &output), 0);
  EXPECT_EQ(Lines(output, kMsgCopyFile), 2);
  // A line ends as lines end on the platform: "\r\n" on Windows.
  const std::string line = MessageText(kMsgCopyFile) + "\t" + Below(src_, "a.txt") + "\t" +
                           Below(dst_, "a.txt") + (Windows() ? "\r\n" : "\n");
  EXPECT_NE(output.find(line), std::string::npos) << "status text, source column, destination column";
  EXPECT_EQ(RunConsole({FileOption()}, &output), 0);
  EXPECT_EQ(Lines(output, kMsgCopyFile), 0);
  EXPECT_EQ(Lines(output, kMsgRunEnd), 1);
}

TEST_F(ConsoleTest, ExitStatuses) {
  MakeTree(src_, {"a.txt"});
  MirrorEntry skipped = Entry("skipped");
  skipped.destination.clear();
  Store({skipped, Entry()});
  EXPECT_EQ(RunConsole({FileOption()}), 1) << "an entry was skipped";
  EXPECT_TRUE(FileExists(Below(dst_, "a.txt"))) << "and the next one mirrored";
  EXPECT_EQ(RunConsole({"/F=" + (dir_ / "missing.kyf")}), 3) << "a settings file that is not there";
  EXPECT_EQ(RunConsole({"--nonsense"}), 3);
  EXPECT_EQ(RunConsole({"--success-log=2"}), 3);
  std::string help;
  EXPECT_EQ(RunConsole({"--help"}, &help), 0);
  EXPECT_NE(help.find("--log-dir"), std::string::npos);
}

TEST_F(ConsoleTest, StoresTheLogSettingsAsTheDialogDoes) {
  // As on a fresh installation: nothing stored yet.
  for (const char* name : {"LogDir", "LogName", "OkLogOut", "ErrorLogOut"}) {
    [[maybe_unused]] const bool gone = platform::RegistryDeleteValue(
        platform::RegistryRoot::kCurrentUser, SettingsKey(1).KeyPath(), name);
  }
  const std::string logDir = dir_ / "logs";  // without its separator
  std::string output;
  EXPECT_EQ(RunConsole({"--log-dir=" + logDir, "--success-log=1"}, &output), 0);
  CtProfile profile = SettingsKey(1);
  EXPECT_EQ(profile.SetValueName("LogDir").GetString(), logDir + (Windows() ? "\\" : "/"));
  EXPECT_EQ(profile.SetValueName("LogName").GetString(), "%y_%m_%d.log") << "the dialog's default, stored";
  EXPECT_EQ(profile.SetValueName("OkLogOut").GetInt(), 1);
  EXPECT_EQ(profile.SetValueName("ErrorLogOut").GetInt(), 0);
  EXPECT_NE(output.find("LogDir=" + logDir), std::string::npos);

  MakeTree(src_, {"a.txt"});
  Store({Entry()});
  EXPECT_EQ(RunConsole({FileOption()}), 0);
  bool logged = false;
  for (const auto& file : std::filesystem::directory_iterator(logDir))
    logged = ReadStoredText(file.path().string()).find(MessageText(kMsgCopyFile)) != std::string::npos;
  EXPECT_TRUE(logged) << "the run logs where the settings say";
}

TEST_F(ConsoleTest, StoresTheSettingsScopeInTheSharedKey) {
  const std::string key = SettingsKey(0).KeyPath();
  std::string saved;
  const bool had = platform::RegistryRead(platform::RegistryRoot::kLocalMachine, key, "multiUser", 4, saved);
  std::string output;
  EXPECT_EQ(RunConsole({"--multi-user=0"}, &output), 0);
  EXPECT_EQ(ReadSettingsScope(), 0);
  EXPECT_NE(output.find("multiUser=0"), std::string::npos);
  if (had) {
    [[maybe_unused]] const bool put = platform::RegistryWrite(
        platform::RegistryRoot::kLocalMachine, key, "multiUser", platform::RegistryType::kNumber, saved);
  } else {
    [[maybe_unused]] const bool gone =
        platform::RegistryDeleteValue(platform::RegistryRoot::kLocalMachine, key, "multiUser");
  }
}

// Big enough that a copy is under way a moment after the start.
void MakeBigFiles(const std::string& root, int files, size_t megabytes) {
  std::filesystem::create_directories(root);
  std::string block(1 << 20, '\0');
  std::mt19937 random(7);
  for (char& c : block) c = static_cast<char>(random());
  for (int i = 0; i < files; ++i) {
    std::string content;
    for (size_t m = 0; m < megabytes; ++m) {
      block[m % block.size()] = static_cast<char>(i);
      content += block;
    }
    WriteFile(Below(root, "big" + std::to_string(i) + ".bin"), content);
  }
}

// Every file at the destination has its source's full size: nothing partial
// stands under a target's name.
void ExpectNoPartialFile(const std::string& source, const std::string& destination) {
  for (const std::string& path : ListTree(destination)) {
    if (path.back() == '/') continue;
    ASSERT_TRUE(FileExists(Below(source, path))) << "a stray file " << path;
    EXPECT_EQ(std::filesystem::file_size(Below(destination, path)),
              std::filesystem::file_size(Below(source, path)))
        << path;
  }
}

TEST_F(ConsoleTest, InterruptsStopTheRunAndLeaveNoPartialFile) {
  if (Windows()) GTEST_SKIP() << "signals are the native build's; Ctrl+C goes through the same stop";
  MakeBigFiles(src_, 8, 48);
  for (const int signal : {kSigInt, kSigTerm, kSigHup}) {
    bool caughtDuringCopy = false;
    for (int attempt = 0; attempt < 4 && !caughtDuringCopy; ++attempt) {
      TempDir fresh;
      MirrorEntry entry = Entry();
      entry.destination = fresh / "dst/";
      Store({entry});
      ChildProcess child(KELMORAY_CONSOLE, {FileOption()}, output_);
      ASSERT_TRUE(WaitUntil([&] { return ReadStoredText(output_).find(MessageText(kMsgCopyFile)) != std::string::npos; }));
      child.Signal(signal);
      const int status = child.Wait();
      const std::string output = ReadStoredText(output_);
      ExpectNoPartialFile(src_, entry.destination);
      if (status == 0) continue;  // the run was over before the signal came
      caughtDuringCopy = true;
      EXPECT_EQ(status, 2) << "signal " << signal;
      EXPECT_EQ(Lines(output, kMsgInterrupted), 1) << "signal " << signal;
      EXPECT_LT(Lines(output, kMsgCopyFile), 8);
    }
    EXPECT_TRUE(caughtDuringCopy) << "signal " << signal;
  }
}

// `kelmoray | head -3`: the reader goes away while a file is being copied.
// The run stops after that file and says so by its status; it is not
// killed mid-copy.
TEST_F(ConsoleTest, AReaderThatGoesAwayStopsTheRunAfterTheFileInProgress) {
  if (Windows()) GTEST_SKIP() << "pipes of the native shell";
  MakeBigFiles(src_, 8, 48);
  Store({Entry()});
  const std::string status = dir_ / "status.txt";
  ChildProcess child("/bin/bash",
                     {"-c", "\"$0\" \"$1\" | head -n 3 >/dev/null; echo \"${PIPESTATUS[0]}\" >\"$2\"",
                      KELMORAY_CONSOLE, FileOption(), status},
                     "");
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(ReadFile(status), "2\n") << "stopped, not killed by the closed pipe";
  ExpectNoPartialFile(src_, dst_);
  EXPECT_LT(ListTree(dst_).size(), 8u);
}

// An interrupt while the program waits for a busy settings store, before
// any run exists, ends it at once: nothing has been changed yet.
TEST_F(ConsoleTest, AnInterruptBeforeTheRunStartsEndsTheProgramAtOnce) {
  if (Windows()) GTEST_SKIP() << "signals are the native build's";
  MakeTree(src_, {"a.txt"});
  Store({Entry()});
  WriteSettingsScope(1);
  BusySharedStore busy;
  ASSERT_TRUE(busy.Held());
  ChildProcess child(KELMORAY_CONSOLE, {FileOption()}, output_);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // into its wait for the store
  child.Signal(kSigTerm);
  const int status = child.Wait();
  // 2; or, on a machine too busy to have started watching yet, ended by the signal.
  EXPECT_TRUE(status == 2 || status == -1) << status;
  EXPECT_FALSE(FileExists(Below(dst_, "a.txt")));
}

TEST_F(ConsoleTest, KilledRunsLeaveNoPartialFileAndTheNextRunConverges) {
  if (Windows()) GTEST_SKIP() << "the native copy is the one that renames into place";
  MakeBigFiles(src_, 6, 32);
  MakeTree(src_, {"small/a.txt", "small/b.txt"});
  Store({Entry()});
  std::mt19937 random(std::random_device{}());
  for (int trial = 0; trial < 20; ++trial) {
    ChildProcess child(KELMORAY_CONSOLE, {FileOption()}, output_);
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
    child.Signal(kSigKill);
    child.Wait();
    ExpectNoPartialFile(src_, dst_);
    // Half the trials start from a destination with some files already there.
    if (trial % 2 == 0) std::filesystem::remove_all(dst_);
  }
  EXPECT_EQ(RunConsole({FileOption()}), 0);
  EXPECT_EQ(ListTree(dst_), ListTree(src_));
  ExpectNoPartialFile(src_, dst_);
  for (const std::string& path : ListTree(src_)) {
    if (path.back() != '/') {
      EXPECT_EQ(ReadFile(Below(dst_, path)), ReadFile(Below(src_, path))) << path;
    }
  }
  // The killed runs' frames never unregistered.
  RemoveAbandonedSharedObjects();
}

}  // namespace

}  // namespace test
