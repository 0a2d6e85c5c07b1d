#include "platform/window_system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "tests/support/window_thread.h"

namespace {

using platform::WindowHandle;

constexpr unsigned kProbe = platform::kMessageUser + 9;

TEST(WindowSystem, SentMessageRunsOnTheWindowsThreadAndGivesItsResult) {
  test::WindowThread thread;
  const WindowHandle window = thread.NewWindow();
  std::thread::id windowThread;
  thread.Run([&] { windowThread = std::this_thread::get_id(); });
  EXPECT_NE(windowThread, std::this_thread::get_id());
  EXPECT_TRUE(platform::IsWindowAlive(window));
  EXPECT_EQ(platform::SendToWindow(window, kProbe, 1, 2), 1000 + kProbe);
  EXPECT_EQ(test::MessageLog::Of(window), std::vector<unsigned>{kProbe});
}

// A procedure finds the object it works for through its window: the data is
// there from the window's first message on.
platform::MessageResult KELMORAY_CALLBACK DataProcedure(WindowHandle window, unsigned, platform::WordParam,
                                                        platform::LongParam) {
  return static_cast<platform::MessageResult>(platform::WindowData(window));
}

TEST(WindowSystem, AWindowKeepsItsOwnersData) {
  test::WindowThread thread;
  WindowHandle window = 0;
  thread.Run([&] { window = platform::CreateMessageWindow(DataProcedure, 1234); });
  EXPECT_EQ(platform::SendToWindow(window, kProbe, 0, 0), 1234);
  platform::SetWindowData(window, 5678);
  EXPECT_EQ(platform::WindowData(window), 5678u);
  EXPECT_EQ(platform::SendToWindow(window, kProbe, 0, 0), 5678);
  thread.Run([&] { platform::DestroyMessageWindow(window); });
  EXPECT_EQ(platform::WindowData(window), 0u) << "a window gone keeps nothing";
}

TEST(WindowSystem, PostedMessagesArriveInOrder) {
  test::WindowThread thread;
  const WindowHandle window = thread.NewWindow();
  for (unsigned i = 0; i < 50; ++i) EXPECT_TRUE(platform::PostToWindow(window, kProbe + i, 0, 0));
  ASSERT_TRUE(test::WaitUntil([&] { return test::MessageLog::Of(window).size() == 50; }));
  const auto log = test::MessageLog::Of(window);
  for (unsigned i = 0; i < 50; ++i) EXPECT_EQ(log[i], kProbe + i);
}

TEST(WindowSystem, TimersTickUntilStopped) {
  test::WindowThread thread;
  const WindowHandle window = thread.NewWindow();
  auto ticks = [&] {
    const auto log = test::MessageLog::Of(window);
    return std::count(log.begin(), log.end(), platform::kMessageTimer);
  };
  bool started = false;
  thread.Run([&] { started = platform::StartTimer(window, 7, 20); });
  ASSERT_TRUE(started);
  EXPECT_TRUE(test::WaitUntil([&] { return ticks() >= 3; }));
  thread.Run([&] { platform::StopTimer(window, 7); });
  const long stopped = ticks();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ticks(), stopped);
}

TEST(WindowSystem, DestroyedWindowIsDeadAndAnswersNothing) {
  test::WindowThread thread;
  const WindowHandle window = thread.NewWindow();
  thread.Run([&] { EXPECT_TRUE(platform::DestroyMessageWindow(window)); });
  EXPECT_FALSE(platform::IsWindowAlive(window));
  EXPECT_FALSE(platform::IsWindowAlive(0));
  EXPECT_EQ(platform::SendToWindow(window, kProbe, 0, 0), 0);
  EXPECT_FALSE(platform::PostToWindow(window, kProbe, 0, 0));
  const auto log = test::MessageLog::Of(window);
  EXPECT_EQ(log, (std::vector<unsigned>{platform::kMessageDestroy, platform::kMessageNcDestroy}));
}

TEST(WindowSystem, DestroyingAWindowFromAnotherThreadIsRefused) {
  test::WindowThread thread;
  const WindowHandle window = thread.NewWindow();
  EXPECT_FALSE(platform::DestroyMessageWindow(window));
  EXPECT_TRUE(platform::IsWindowAlive(window));
}

TEST(WindowSystem, SendWaitingWhileTheWindowGoesGivesZero) {
  test::WindowThread thread;
  const WindowHandle window = thread.NewWindow();
  std::promise<void> busy;
  thread.RunLater([&busy, window] {
    busy.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    platform::DestroyMessageWindow(window);
  });
  busy.get_future().wait();
  EXPECT_EQ(platform::SendToWindow(window, kProbe, 0, 0), 0);
  const auto log = test::MessageLog::Of(window);
  EXPECT_EQ(std::count(log.begin(), log.end(), kProbe), 0);
}

TEST(WindowSystem, RegisteredMessageNumbersDependOnTheNameOnly) {
  const unsigned a = platform::RegisterMessageName("KelmorayTestMessageA");
  EXPECT_GE(a, 0xc000u);
  EXPECT_LE(a, 0xffffu);
  EXPECT_EQ(platform::RegisterMessageName("KELMORAYTESTMESSAGEA"), a);
  EXPECT_NE(platform::RegisterMessageName("KelmorayTestMessageB"), a);
}

}  // namespace
