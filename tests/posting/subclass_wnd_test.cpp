#include "posting/subclass_wnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/window_thread.h"

namespace {

using platform::SendToWindow;
using platform::WindowHandle;

constexpr unsigned kProbe = platform::kMessageUser + 5;

// A hook that writes its name for every message it sees, then passes it on.
class NamedHook : public CtSubclassWnd {
 public:
  NamedHook(std::string name, std::vector<std::string>* seen) : name_(std::move(name)), seen_(seen) {}
  platform::MessageResult HandleMessage(unsigned message, platform::WordParam wordParam,
                                        platform::LongParam longParam) override {
    seen_->push_back(name_ + ":" + std::to_string(message) + ":" + std::to_string(wordParam) + ":" +
                     std::to_string(longParam));
    return CtSubclassWnd::HandleMessage(message, wordParam, longParam);
  }

 private:
  std::string name_;
  std::vector<std::string>* seen_;
};

// A window of this thread with the recording procedure, destroyed at the end.
class TestWindow {
 public:
  TestWindow() : handle_(platform::CreateMessageWindow(test::RecordingProcedure)) {}
  ~TestWindow() {
    if (platform::IsWindowAlive(handle_)) platform::DestroyMessageWindow(handle_);
    test::MessageLog::Forget(handle_);
  }
  WindowHandle Handle() const { return handle_; }
  // How many times the window's own procedure saw `message`.
  long Seen(unsigned message) const {
    const auto log = test::MessageLog::Of(handle_);
    return std::count(log.begin(), log.end(), message);
  }

 private:
  WindowHandle handle_;
};

std::string Seen(const std::string& hook, unsigned message, int word, int lng) {
  return hook + ":" + std::to_string(message) + ":" + std::to_string(word) + ":" +
         std::to_string(lng);
}

TEST(SubclassWnd, OneHookSeesFirstAndPassesOnParametersAndResult) {
  TestWindow window;
  std::vector<std::string> seen;
  NamedHook hook("A", &seen);
  EXPECT_TRUE(hook.Hook(window.Handle()));
  EXPECT_EQ(SendToWindow(window.Handle(), kProbe, 7, -9), 1000 + kProbe);
  EXPECT_EQ(seen, std::vector<std::string>{Seen("A", kProbe, 7, -9)});
  EXPECT_EQ(window.Seen(kProbe), 1);

  // Unhooked, the window's own procedure is back alone.
  EXPECT_TRUE(hook.Hook(0));
  EXPECT_EQ(hook.HookedWindow(), 0u);
  EXPECT_EQ(SendToWindow(window.Handle(), kProbe, 1, 2), 1000 + kProbe);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(window.Seen(kProbe), 2);
  EXPECT_TRUE(hook.Hook(0)) << "removing an unhooked hook does nothing";
}

// Three hooks A, B, C installed in that order, removed in every order: after
// each removal the remaining ones see a message newest first, then the window.
TEST(SubclassWnd, RemovalInEveryOrderKeepsTheRestOfTheChain) {
  std::vector<int> order{0, 1, 2};
  do {
    TestWindow window;
    std::vector<std::string> seen;
    const char* names[] = {"A", "B", "C"};
    NamedHook a(names[0], &seen), b(names[1], &seen), c(names[2], &seen);
    NamedHook* hooks[] = {&a, &b, &c};
    for (NamedHook* hook : hooks) hook->Hook(window.Handle());
    std::vector<int> remaining{0, 1, 2};
    std::string row = "removal order " + std::to_string(order[0]) + std::to_string(order[1]) +
                      std::to_string(order[2]);
    for (const int removed : order) {
      hooks[removed]->Hook(0);
      std::erase(remaining, removed);
      seen.clear();
      const long before = window.Seen(kProbe);
      EXPECT_EQ(SendToWindow(window.Handle(), kProbe, removed, 0), 1000 + kProbe) << row;
      std::vector<std::string> expected;
      for (auto it = remaining.rbegin(); it != remaining.rend(); ++it)
        expected.push_back(Seen(names[*it], kProbe, removed, 0));
      EXPECT_EQ(seen, expected) << row << ", after removing " << names[removed];
      EXPECT_EQ(window.Seen(kProbe), before + 1) << row;
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(SubclassWnd, FinalDestroyRemovesEveryHookAndReachesTheWindowItself) {
  TestWindow window;
  std::vector<std::string> seen;
  NamedHook a("A", &seen), b("B", &seen), c("C", &seen);
  for (NamedHook* hook : {&a, &b, &c}) hook->Hook(window.Handle());
  ASSERT_TRUE(platform::DestroyMessageWindow(window.Handle()));
  // The destroy message still goes through the chain; the final one does not.
  EXPECT_EQ(seen, (std::vector<std::string>{Seen("C", platform::kMessageDestroy, 0, 0),
                                            Seen("B", platform::kMessageDestroy, 0, 0),
                                            Seen("A", platform::kMessageDestroy, 0, 0)}));
  EXPECT_EQ(window.Seen(platform::kMessageNcDestroy), 1);
  for (NamedHook* hook : {&a, &b, &c}) EXPECT_EQ(hook->HookedWindow(), 0u);
}

TEST(SubclassWnd, HooksOnTwoWindowsStayApart) {
  TestWindow first, second;
  std::vector<std::string> seen;
  NamedHook a("A", &seen), b("B", &seen);
  a.Hook(first.Handle());
  b.Hook(second.Handle());
  SendToWindow(second.Handle(), kProbe, 0, 0);
  EXPECT_EQ(seen, std::vector<std::string>{Seen("B", kProbe, 0, 0)});
  a.Hook(0);
  b.Hook(0);
}

// The hook procedure records the message being handled while a hook runs.
TEST(SubclassWnd, CurrentMessageIsTheHookedOneWhileHandling) {
  struct Peek : CtSubclassWnd {
    platform::Message during;
    platform::MessageResult HandleMessage(unsigned message, platform::WordParam w,
                                          platform::LongParam l) override {
      during = platform::ThreadCurrentMessage().message;
      return CtSubclassWnd::HandleMessage(message, w, l);
    }
  };
  TestWindow window;
  Peek peek;
  peek.Hook(window.Handle());
  platform::ThreadCurrentMessage().message = {1, 2, 3, 4};
  SendToWindow(window.Handle(), kProbe, 5, 6);
  EXPECT_EQ(peek.during.window, window.Handle());
  EXPECT_EQ(peek.during.message, kProbe);
  EXPECT_EQ(peek.during.wordParam, 5u);
  EXPECT_EQ(peek.during.longParam, 6);
  EXPECT_EQ(platform::ThreadCurrentMessage().message.message, 2u) << "restored afterwards";
  peek.Hook(0);
}

}  // namespace
