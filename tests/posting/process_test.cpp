// The channel between real processes: the test program plays one side and
// copies of itself the others.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "posting/post_channel.h"
#include "posting/post_data.h"
#include "tests/posting/peers.h"
#include "tests/posting/receiver.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_thread.h"

namespace {

struct Tally {
  int texts = -1, distinct = -1, otherKey = -1;
};

// Waits for a receiver peer's tally.
Tally ReadTally(const test::TempDir& dir, const std::string& name) {
  Tally tally;
  const std::string path = dir / (name + ".tally");
  test::WaitUntil([&] { return !test::ReadFile(path).empty(); }, 120);
  std::istringstream(test::ReadFile(path)) >> tally.texts >> tally.distinct >> tally.otherKey;
  return tally;
}

// Shared-memory objects of the channel that concern one key: its key
// block, any data block, and objects being made. Other tests may hold the
// info block and their own keys meanwhile.
std::set<std::string> ChannelObjects(const std::string& key) {
  std::string upperKey = key;
  std::transform(upperKey.begin(), upperKey.end(), upperKey.begin(), ::toupper);
  std::set<std::string> found;
  for (const std::string& name : test::SharedMemoryNames()) {
    if (name.find("DATAPOSTDATA[") != std::string::npos || name.rfind("kelmoray.", 0) == 0 ||
        name.find("]" + upperKey) != std::string::npos)
      found.insert(name);
  }
  return found;
}

TEST(PostingBetweenProcesses, TextsGoBothWays) {
  test::TempDir dir;
  const std::string toPeer = test::UniqueName("ToPeer"), fromPeer = test::UniqueName("FromPeer");
  test::Receiver receiver;
  test::WindowThread thread;
  const platform::WindowHandle window = thread.NewWindow();
  thread.Run([&] { ASSERT_TRUE(receiver.Install(window, fromPeer)); });

  test::ChildProcess peerReceiver(test::ReceiverPeer(toPeer, dir.Path(), 1, "r"));
  ASSERT_TRUE(peerReceiver.Started());
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "r.ready"); }, 60));
  PostData(toPeer.c_str(), "to the peer");
  const Tally tally = ReadTally(dir, "r");
  EXPECT_EQ(tally.texts, 1);
  EXPECT_EQ(tally.otherKey, 0);
  EXPECT_EQ(peerReceiver.Wait(), 0);

  test::ChildProcess peerSender(test::SenderPeer(fromPeer, dir.Path(), 1, 3, "peer"));
  const auto got = receiver.WaitFor(3);
  test::WriteFile(dir / "done", "");
  EXPECT_EQ(peerSender.Wait(), 0);
  ASSERT_EQ(got.size(), 3u);
  std::set<std::string> texts;
  for (const auto& delivery : got) texts.insert(delivery.text);
  EXPECT_EQ(texts, (std::set<std::string>{"peer.0.0", "peer.0.1", "peer.0.2"}));
}

// Counts texts by the tag of the sender that posted them ("s0.1.7" is s0's).
std::map<std::string, int> TextsPerSender(const std::vector<test::Delivery>& got) {
  std::map<std::string, int> counts;
  for (const auto& delivery : got) ++counts[delivery.text.substr(0, delivery.text.find('.'))];
  return counts;
}

// 4 processes of 2 threads post 2,000 texts each (500 under Wine, where each
// delivery between processes costs a millisecond) to one key that windows of
// two processes registered: each window gets every text once.
TEST(PostingBetweenProcesses, LoadReachesEveryReceiverExactlyOnceAndLeavesNothing) {
#ifdef _WIN32
  constexpr int kTexts = 500;
#else
  constexpr int kTexts = 2000;
#endif
  constexpr int kSenders = 4, kThreads = 2;
  constexpr int kExpected = kSenders * kThreads * kTexts;
  const std::string key = test::UniqueName("Load") + ".CMainFrame";
  const auto start = std::chrono::steady_clock::now();
  {
    test::TempDir dir;
    test::Receiver receiver;
    test::WindowThread thread;
    const platform::WindowHandle window = thread.NewWindow();
    thread.Run([&] { ASSERT_TRUE(receiver.Install(window, key)); });
    test::ChildProcess peerReceiver(test::ReceiverPeer(key, dir.Path(), kExpected, "r"));
    ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "r.ready"); }, 60));

    std::vector<std::unique_ptr<test::ChildProcess>> senders;
    std::map<std::string, int> everyText;
    for (int s = 0; s < kSenders; ++s) {
      const std::string tag = "s" + std::to_string(s);
      senders.push_back(std::make_unique<test::ChildProcess>(
          test::SenderPeer(key, dir.Path(), kThreads, kTexts, tag)));
      everyText[tag] = kThreads * kTexts;
    }
    const auto got = receiver.WaitFor(kExpected, 180);
    // The peer tallies once it has every text, or what it has when told to stop.
    test::WaitUntil([&] { return test::FileExists(dir / "r.tally"); }, 30);
    test::WriteFile(dir / "stop", "");
    const Tally tally = ReadTally(dir, "r");
    test::WriteFile(dir / "done", "");
    for (auto& sender : senders) EXPECT_EQ(sender->Wait(), 0);
    EXPECT_EQ(peerReceiver.Wait(), 0);

    std::set<std::string> distinct;
    for (const auto& delivery : got) distinct.insert(delivery.text);
    EXPECT_EQ(TextsPerSender(got), everyText);
    EXPECT_EQ(receiver.Notifications(), kExpected);
    EXPECT_EQ(got.size(), size_t{kExpected});
    EXPECT_EQ(distinct.size(), size_t{kExpected});
    EXPECT_EQ(tally.texts, kExpected);
    EXPECT_EQ(tally.distinct, kExpected);
    EXPECT_EQ(tally.otherKey, 0);
    thread.Run([&] { platform::DestroyMessageWindow(window); });
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("load: %d texts to 2 receivers in %.2f s\n", kExpected, seconds);
  // Natively the objects are files; everything the run made must be gone.
  EXPECT_TRUE(test::WaitUntil([&] { return ChannelObjects(key).empty(); }, 10));
}

// A killed receiver cannot unregister: its key block goes all the same
// once nothing alive holds it, as the system closes a dead process's handles.
TEST(PostingBetweenProcesses, AKilledReceiversKeyBlockGoes) {
  test::TempDir dir;
  const std::string key = test::UniqueName("Killed") + ".CMainFrame";
  test::ChildProcess peer(test::ReceiverPeer(key, dir.Path(), 1, "r"));
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "r.ready"); }, 60));
  const platform::SharedHandle whileAlive = platform::OpenSharedBlock(posting::KeyBlockName(key));
  EXPECT_NE(whileAlive, 0u);
  platform::CloseSharedBlock(whileAlive);
  peer.Signal(9);
  peer.Wait();
  EXPECT_TRUE(test::WaitUntil([&] {
    const platform::SharedHandle block = platform::OpenSharedBlock(posting::KeyBlockName(key));
    platform::CloseSharedBlock(block);
    return block == 0;
  }));
  EXPECT_TRUE(ChannelObjects(key).empty());
}

}  // namespace
