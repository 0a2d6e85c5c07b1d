// After an automatic run ("/A") the program ends by itself.

#include "shell/automatic_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "engine/messages.h"
#include "resources/ids.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

// The exit command reaches the main window three seconds after the end line,
// also when the run had nothing to do; a run that was not automatic posts nothing.
TEST_F(MirrorTest, AnAutomaticRunPostsTheExitCommandThreeSecondsAfterItsEnd) {
  Store({});
  WindowThread thread;
  const platform::WindowHandle window = thread.NewWindow();
  doc_.SetMainWindow(window);
  StartupFlags flags;
  EXPECT_EQ(AfterRunOf(window, flags), nullptr);
  flags.exitAfterRun = 1;
  doc_.afterRun = AfterRunOf(window, flags);
  const auto start = std::chrono::steady_clock::now();
  const auto lines = Run();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900));
  EXPECT_EQ(IdsOf(lines), (std::vector<int>{kMsgRunStart, kMsgRunEnd}));
  ASSERT_TRUE(WaitUntil([&] {
    const auto seen = MessageLog::Of(window);
    return std::find(seen.begin(), seen.end(), platform::kMessageCommand) != seen.end();
  }));
}

}  // namespace

}  // namespace test
