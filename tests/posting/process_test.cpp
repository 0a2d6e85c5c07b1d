// The channel between real processes: the test program plays one side and
// copies of itself the others.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
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

// The longest wait for texts that are under way. It only guards against a
// text that never arrives: the test then reports what did arrive instead of
// hanging until ctest gives up. The slowest build on a 2-core machine beside
// other test runs (ThreadSanitizer) needs about a tenth of it.
constexpr int kLostTextLimit = 600;

struct Tally {
  int texts = -1, distinct = -1, otherKey = -1;
};

// Waits for a receiver peer's tally.
Tally ReadTally(const test::TempDir& dir, const std::string& name) {
  Tally tally;
  const std::string path = dir / (name + ".tally");
  test::WaitUntil([&] { return !test::ReadFile(path).empty(); }, kLostTextLimit);
  std::istringstream(test::ReadFile(path)) >> tally.texts >> tally.distinct >> tally.otherKey;
  return tally;
}

// Shared-memory objects of this test run's channel that concern one key:
// its key block and any data block. Other tests may hold the info block
// and their own keys meanwhile.
std::set<std::string> ChannelObjects(const std::string& key) {
  const std::string dataBlocks = posting::DataBlockName(0).substr(0, posting::DataBlockName(0).size() - 1);
  const std::string keyBlock = posting::KeyBlockName(key);
  std::set<std::string> found;
  for (const std::string& name : test::SharedMemoryNames()) {
    if (name.rfind(dataBlocks, 0) == 0 || name == keyBlock) found.insert(name);
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
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "r.ready"); }));
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

// How many texts each sender thread posts: each delivery between processes
// costs a millisecond under Wine, and several under a sanitizer.
#if defined(_WIN32) || defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kLoadTexts = 500;
#else
constexpr int kLoadTexts = 2000;
#endif


// 4 processes of 2 threads post their texts to one key that windows of two
// processes registered: each window gets every text once.
TEST(PostingBetweenProcesses, LoadReachesEveryReceiverExactlyOnceAndLeavesNothing) {
  constexpr int kSenders = 4, kThreads = 2;
  constexpr int kExpected = kSenders * kThreads * kLoadTexts;
  const std::string key = test::UniqueName("Load") + ".CMainFrame";
  {
    test::TempDir dir;
    test::Receiver receiver;
    test::WindowThread thread;
    const platform::WindowHandle window = thread.NewWindow();
    thread.Run([&] { ASSERT_TRUE(receiver.Install(window, key)); });
    test::ChildProcess peerReceiver(test::ReceiverPeer(key, dir.Path(), kExpected, "r"));
    ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "r.ready"); }, kLostTextLimit));

    std::vector<std::unique_ptr<test::ChildProcess>> senders;
    std::map<std::string, int> everyText;
    for (int s = 0; s < kSenders; ++s) {
      const std::string tag = "s" + std::to_string(s);
      senders.push_back(std::make_unique<test::ChildProcess>(
          test::SenderPeer(key, dir.Path(), kThreads, kLoadTexts, tag)));
      everyText[tag] = kThreads * kLoadTexts;
    }
    const auto got = receiver.WaitFor(kExpected, kLostTextLimit);
    // The peer tallies once it has every text, or what it has when told to stop.
    test::WaitUntil([&] { return test::FileExists(dir / "r.tally"); }, kLostTextLimit);
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
  // Natively the objects are files; everything the run made must be gone.
  EXPECT_TRUE(test::WaitUntil([&] { return ChannelObjects(key).empty(); }, kLostTextLimit));
}

// A killed receiver cannot unregister: its key block goes all the same
// once nothing alive holds it, as the system closes a dead process's handles.
TEST(PostingBetweenProcesses, AKilledReceiversKeyBlockGoes) {
  test::TempDir dir;
  const std::string key = test::UniqueName("Killed") + ".CMainFrame";
  test::ChildProcess peer(test::ReceiverPeer(key, dir.Path(), 1, "r"));
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "r.ready"); }));
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

// /dev/shm is one namespace for every user. An object another user made is
// never used: it could hold a lock for good, or be anything. A program then
// goes on without status texts; nothing waits, and nothing is written.
TEST(PostingBetweenProcesses, ObjectsOfAnotherUserAreNeverUsed) {
  const std::vector<std::string> asNobody = test::AsNobody();
  if (asNobody.empty()) GTEST_SKIP() << "needs root, to run a peer as another user";
  test::TempDir dir;
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);  // the peer writes here
  const std::string key = test::UniqueName("Foreign") + ".CMainFrame";
  std::vector<std::string> arguments(asNobody.begin() + 1, asNobody.end());
  arguments.push_back(test::SelfPath());
  for (const std::string& argument : test::HolderPeer(key, dir.Path())) arguments.push_back(argument);
  // A channel whose objects the other user makes: this run's own are this user's already.
  struct RestoreSuffix {
    const std::string own = posting::ChannelSuffix();
    ~RestoreSuffix() { posting::SetChannelSuffix(own); }
  } restore;
  const std::string ownSuffix = restore.own, foreignSuffix = ownSuffix + "-foreign";
  test::SetEnvironment("KELMORAY_TEST_CHANNEL", foreignSuffix);
  test::ChildProcess holder(asNobody[0], arguments, "");
  test::SetEnvironment("KELMORAY_TEST_CHANNEL", ownSuffix);
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(dir / "hold.ready"); }));
  posting::SetChannelSuffix(foreignSuffix);
  const std::vector<std::string> names = {posting::InfoBlockName(), posting::KeyBlockName(key),
                                          posting::SerialMutexName()};
  const auto bytes = [&] {
    std::vector<std::string> contents;
    for (const std::string& name : names) contents.push_back(test::ReadFile("/dev/shm/" + name));
    return contents;
  };
  const std::vector<std::string> before = bytes();
  for (const std::string& content : before) ASSERT_FALSE(content.empty());

  // Whatever might wait on the other user's lock, on a thread of its own.
  std::promise<bool> installed;
  std::thread attempt([&] {
    test::Receiver receiver;
    test::WindowThread thread;
    const platform::WindowHandle window = thread.NewWindow();
    bool done = true;
    thread.Run([&] { done = receiver.Install(window, key); });
    PostData(key.c_str(), "to another user's window");
    installed.set_value(done);
  });
  std::future<bool> result = installed.get_future();
  const bool returned = result.wait_for(std::chrono::duration<double>(test::kLongestWait)) ==
                        std::future_status::ready;
  const bool untouched = bytes() == before;
  test::WriteFile(dir / "done", "");  // the peer lets go of its lock and ends
  attempt.join();
  EXPECT_TRUE(returned) << "waited on another user's lock";
  EXPECT_FALSE(result.get()) << "registered on another user's key block";
  EXPECT_TRUE(untouched) << "wrote into another user's objects";
  EXPECT_EQ(holder.Wait(), 0);
}

}  // namespace
