// The console's frame: what the status line shows for each posted text,
// and the busy indicator between "*+" and "*-".

#include "shell/console/console_frame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "engine/status_texts.h"
#include "platform/code_page.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

class ConsoleFrameTest : public testing::Test {
 protected:
  ConsoleFrameTest() {
    EXPECT_TRUE(frame_.Create());
    key_ = MainFrameKey(frame_.Window());
  }
  ~ConsoleFrameTest() override { std::fclose(statusFile_); }

  // Posts the text and handles the frame's messages for a while.
  void Post(const char* text, int milliseconds = 50) {
    PostData(key_.c_str(), text);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    platform::Message message;
    while (std::chrono::steady_clock::now() < until) {
      while (platform::TakeMessage(&message)) platform::DispatchToWindow(message);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // Handles the frame's messages until `done` holds; false if it never does.
  bool HandleUntil(const std::function<bool()>& done) {
    platform::Message message;
    return WaitUntil([&] {
      while (platform::TakeMessage(&message)) platform::DispatchToWindow(message);
      return done();
    });
  }
  // What the status line shows now: the text after the last clearing.
  std::string Shown() {
    std::fflush(statusFile_);
    const std::string written = ReadStoredText(status_);
    const size_t last = written.rfind("\r\033[K");
    return last == std::string::npos ? "" : written.substr(last + 4);
  }
  size_t Updates() {
    std::fflush(statusFile_);
    const std::string written = ReadStoredText(status_);
    size_t count = 0;
    for (size_t at = written.find("\r\033[K"); at != std::string::npos; at = written.find("\r\033[K", at + 1))
      ++count;
    return count;
  }

  TempDir dir_;
  const std::string status_ = dir_ / "status.txt";
  std::FILE* statusFile_ = std::fopen(status_.c_str(), "wb");
  ConsoleOutput output_{stdout, statusFile_};
  CKelmdupDoc document_;
  ConsoleFrame frame_{document_, output_};
  std::string key_;
};

TEST_F(ConsoleFrameTest, StatusTexts) {
  const std::string working = std::string("作業中");
  EXPECT_EQ(Shown(), "Kelmoray") << "the idle text at the start";
  Post("");
  EXPECT_EQ(Shown(), working) << "the empty text";
  Post("hello");
  EXPECT_EQ(Shown(), "hello");
  Post("*");
  Post("*++");
  EXPECT_EQ(Shown(), "hello") << "other texts that begin with a star change nothing";
  Post("*-");
  EXPECT_EQ(Shown(), "hello") << "a stop while the indicator is stopped changes nothing";
}

TEST_F(ConsoleFrameTest, BusyIndicatorRunsBetweenStartAndStop) {
  const std::string copying = std::string("コピー中");
  Post("*+", 10);
  EXPECT_TRUE(HandleUntil([&] { return Shown().size() >= copying.size() + 2; })) << "two ticks";
  EXPECT_EQ(Shown().substr(0, copying.size()), copying);
  EXPECT_EQ(Shown().find_first_not_of('>', copying.size()), std::string::npos) << Shown();
  Post("*+", 10);
  EXPECT_TRUE(HandleUntil([&] { return Shown() == copying; })) << "a second start restarts the row";
  PostData(key_.c_str(), "*-");
  PostData(key_.c_str(), "stopped");
  EXPECT_TRUE(HandleUntil([&] { return Shown() == "stopped"; }));
  const size_t updates = Updates();
  Post("keep", 450);
  EXPECT_EQ(Shown(), "keep");
  EXPECT_EQ(Updates(), updates + 1) << "no tick after the stop";
}

}  // namespace

}  // namespace test
