// The run log, byte for byte: code page 932 under Windows, UTF-8 natively.

#include "engine/run_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/messages.h"
#include "platform/code_page.h"
#include "tests/support/fault_injection.h"
#include "platform/file_operations.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/files.h"
#include "tests/support/tree.h"

namespace test {

namespace {

TEST(RunLog, FileNamesFromTheStartTime) {
  std::tm start{};
  start.tm_year = 98;
  start.tm_mon = 5;
  start.tm_mday = 1;
  start.tm_hour = 12;
  start.tm_min = 34;
  start.tm_sec = 56;
  EXPECT_EQ(LogFilePath("L/", "%y_%m_%d.log", start), "L/98_06_01.log");
  EXPECT_EQ(LogFilePath("L/", "fixed.log", start), "L/fixed.log");
  EXPECT_EQ(LogFilePath("L/", "", start), "L/");
  EXPECT_EQ(LogFilePath("L/", std::string(127, 'n'), start), "L/" + std::string(127, 'n'));
  EXPECT_EQ(LogFilePath("L/", std::string(128, 'n'), start), "L/") << "more than 127 bytes";
  EXPECT_EQ(FormatTimestamp(start), "98/06/01 12:34:56");
}

// One run with every kind of record: the ruler, start and end, an action
// with both texts (a copy) and with the destination only (a deletion), an
// error with the source only (a missing source), one with both (a full
// disk), and one with two empty texts (the interruption).
class RunLogFile : public MirrorTest {
 protected:
  std::string RunWithFlags(bool ok, bool error, std::vector<Line>* lines) {
    TempDir logDir;
    const std::string log = logDir / "sub/";
    log_ = LogSettings{log, "run.log", ok, error};
    MakeTree(src_, {"a.txt"});
    MakeTree(dst_, {"old.txt"});
    MirrorEntry missing = Entry("missing");
    missing.source = dir_ / "missing/";
    Store({missing, Entry()});
    platform::InjectCopyFailures(platform::kErrorDiskFull, 0, 1);
    *lines = Run();
    EXPECT_TRUE(std::filesystem::is_directory(log)) << "created whether or not anything is logged";
    return FileExists(log + "run.log") ? platform::FromStoredText(ReadFile(log + "run.log")) : "(no file)";
  }
};

// The log is kept in the system's code page: a name it cannot hold is
// written with the system's substitute, never in the bytes of another encoding.
TEST_F(RunLogFile, NamesTheCodePageCannotHoldAreLoggedWithItsSubstitute) {
  TempDir logDir;
  log_ = LogSettings{logDir / "", "run.log", true, true};
  MakeTree(src_, {"😀 café.txt", "表.txt"});
  Store({Entry()});
  Run();
  const std::string raw = ReadFile(logDir / "run.log");
  EXPECT_NE(raw.find(platform::ToStoredText(MessageText(kMsgCopyFile) + "\r\n\t" + Below(src_, "表.txt"))),
            std::string::npos);
  EXPECT_NE(raw.find(platform::ToStoredText(Below(src_, "😀 café.txt"))), std::string::npos);
  if (Windows()) {
    EXPECT_EQ(raw.find("😀"), std::string::npos) << "no UTF-8 in a file of code page 932";
    EXPECT_NE(raw.find("caf?.txt"), std::string::npos) << "the default character, not the look-alike cafe.txt";
  }
}

TEST_F(RunLogFile, EveryRecordKindForEachCombinationOfTheFlags) {
  for (const bool ok : {false, true}) {
    for (const bool error : {false, true}) {
      std::vector<Line> lines;
      const std::string log = RunWithFlags(ok, error, &lines);
      ASSERT_GE(lines.size(), 2u);
      const std::string started = lines.front().source, ended = lines.back().source;
      ASSERT_EQ(started.size(), 17u) << started;
      const std::string missing = dir_ / "missing/", src = Below(src_, "a.txt"),
                        dst = Below(dst_, "a.txt"), old = Below(dst_, "old.txt");
      std::string expected;
      if (ok || error) {
        expected += "---------+---------+---------+---------+---------+---------+---------+---------+\r\n";
        expected += std::string("ミラーリング開始") + "\t" + started + "\r\n";
      }
      if (error) expected += std::string("コピー元のディレクトリが見つかりません。") + "\r\n\t" + missing + "\r\n";
      if (ok) expected += std::string("コピー先のファイルを削除します。") + "\r\n\t" + old + "\r\n";
      if (ok) expected += std::string("ファイルをコピーします。") + "\r\n\t" + src + "\r\n\t -> " + dst + "\r\n";
      if (error) {
        expected += std::string("ディスク容量が足りません。") + "\r\n\t" + src + "\r\n\t -> " + dst + "\r\n";
        expected += std::string("ミラーリングは中断されました。") + "\r\n\t\r\n";
      }
      if (ok || error) expected += std::string("ミラーリング終了") + "\t" + ended + "\r\n";
      if (!ok && !error) expected = "(no file)";
      EXPECT_EQ(log, expected) << "OkLogOut " << ok << ", ErrorLogOut " << error;
      MakeTree(dst_, {"old.txt"});
    }
  }
}

TEST_F(RunLogFile, ASecondRunAppendsWithItsOwnRuler) {
  TempDir logDir;
  log_ = LogSettings{logDir.Path(), "same.log", true, true};
  Store({});
  Run();
  Run();
  const std::string log = ReadFile(logDir / "same.log");
  size_t rulers = 0;
  for (size_t at = log.find("---------+"); at != std::string::npos; at = log.find("\r\n---------+", at + 1))
    ++rulers;
  EXPECT_EQ(rulers, 2u);
  EXPECT_EQ(log.find(std::string("ディレクトリを解析しています。")), std::string::npos) << "never logged";
}

}  // namespace

}  // namespace test
