#include "posting/post_data.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <set>
#include <thread>

#include "platform/code_page.h"
#include "posting/local_delivery.h"
#include "posting/post_channel.h"
#include "tests/posting/receiver.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_thread.h"

namespace {

using platform::SharedHandle;
using platform::SharedView;
using platform::WindowHandle;
using posting::DataBlockName;

// The info block's last serial, read and written as another process could.
std::uint32_t LastSerial() {
  const SharedHandle info = platform::OpenSharedBlock(posting::InfoBlockName());
  std::uint32_t serial = 0;
  if (const SharedView view{info}) serial = posting::LoadWord(view, posting::kLastSerialOffset);
  platform::CloseSharedBlock(info);
  return serial;
}

void SetLastSerial(std::uint32_t serial) {
  const SharedHandle info = platform::OpenSharedBlock(posting::InfoBlockName());
  if (const SharedView view{info}) posting::StoreWord(view, posting::kLastSerialOffset, serial);
  platform::CloseSharedBlock(info);
}

bool BlockExists(const std::string& name) {
  const SharedHandle block = platform::OpenSharedBlock(name);
  platform::CloseSharedBlock(block);
  return block != 0;
}

// Receivers on a window thread of this process; texts reach them either
// through the shared blocks, as any other process's would, or through their
// windows' queues.
class ChannelTest : public testing::Test {
 protected:
  ~ChannelTest() override { posting::SetLocalDelivery(true); }

  // A receiver on a new window of the thread, installed on the window's thread.
  test::Receiver& AddReceiver(const std::string& installKey, bool expectInstalled = true) {
    test::Receiver& receiver = receivers_.emplace_back();
    const WindowHandle window = thread_.NewWindow();
    bool installed = false;
    thread_.Run([&] { installed = receiver.Install(window, installKey); });
    EXPECT_EQ(installed, expectInstalled) << "receiver " << receivers_.size();
    return receiver;
  }
  void Destroy(WindowHandle window) {
    thread_.Run([&] { platform::DestroyMessageWindow(window); });
  }

  const std::string key_ = test::UniqueName("Post") + ".CMainFrame";
  // Declared before the thread, so that the windows go first: their final
  // message unhooks the receivers before these are destroyed.
  std::deque<test::Receiver> receivers_;
  test::WindowThread thread_;
};

class PostDataTest : public ChannelTest, public testing::WithParamInterface<bool> {
 protected:
  PostDataTest() { posting::SetLocalDelivery(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Delivery, PostDataTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "ThroughQueues" : "SharedBlocks";
                         });

// What other processes see: serials, data blocks and slots.
class ProtocolTest : public ChannelTest {
 protected:
  ProtocolTest() { posting::SetLocalDelivery(false); }
};

// The names as the programs use them, without this test run's suffix.
class PostChannelNames : public testing::Test {
 protected:
  PostChannelNames() { posting::SetChannelSuffix(""); }
  ~PostChannelNames() override { posting::SetChannelSuffix(testRunSuffix_); }

  const std::string testRunSuffix_ = posting::ChannelSuffix();
};

TEST_F(PostChannelNames, AreTheSharedOnes) {
  EXPECT_EQ(posting::InfoBlockName(), "DATAPOSTINFO[CF55C152370711d1A38300A0C9035471]");
  EXPECT_EQ(posting::KeyBlockName("1234.CMainFrame"),
            "DATAPOSTKEY[CF55C152370711D1A38300A0C9035471]1234.CMAINFRAME");
  EXPECT_EQ(posting::IdMutexName(), "DATAPOSTMUTEXID[CF55C152370711d1A38300A0C9035471]");
  EXPECT_EQ(posting::SerialMutexName(), "DATAPOSTMUTEXCOUNT[CF55C152370711d1A38300A0C9035471]");
  // Keys are named as they are stored, where double-byte characters pass
  // whole: ヂ's trail byte is "a" in code page 932.
  const std::string dbcs = platform::ToStoredText("ヂ");
  EXPECT_EQ(posting::KeyBlockName(dbcs + "a"),
            "DATAPOSTKEY[CF55C152370711D1A38300A0C9035471]" + dbcs + "A");
}

TEST_F(PostChannelNames, SerialsAreSignedInDataBlockNames) {
  const struct { std::uint32_t serial; const char* suffix; } rows[] = {
      {1, "1"}, {2147483647u, "2147483647"}, {2147483648u, "-2147483648"}, {4294967294u, "-2"}};
  for (const auto& row : rows)
    EXPECT_EQ(DataBlockName(row.serial),
              std::string("DATAPOSTDATA[CF55C152370711d1A38300A0C9035471]") + row.suffix)
        << row.serial;
}

TEST_F(PostChannelNames, ATestRunsSuffixFollowsTheIdentifier) {
  posting::SetChannelSuffix("-test7");
  EXPECT_EQ(posting::InfoBlockName(), "DATAPOSTINFO[CF55C152370711d1A38300A0C9035471-test7]");
  EXPECT_EQ(posting::KeyBlockName("1.CMainFrame"),
            "DATAPOSTKEY[CF55C152370711D1A38300A0C9035471-TEST7]1.CMAINFRAME");
  EXPECT_EQ(DataBlockName(5), "DATAPOSTDATA[CF55C152370711d1A38300A0C9035471-test7]5");
}

TEST_F(PostChannelNames, CounterStepSkipsZeroAndAllOnes) {
  const struct { std::uint32_t last, next; } rows[] = {
      {0, 1}, {1, 2}, {4294967293u, 4294967294u}, {4294967294u, 1}};
  for (const auto& row : rows) EXPECT_EQ(posting::NextCounterValue(row.last), row.next) << row.last;
}

TEST_P(PostDataTest, KeyWithoutReceiversMakesNoDataBlock) {
  AddReceiver(key_);  // keeps the info block alive
  const std::uint32_t before = LastSerial();
  EXPECT_EQ(PostData((key_ + ".nobody").c_str(), "text"), 0);
  EXPECT_EQ(LastSerial(), before);
  EXPECT_FALSE(BlockExists(posting::KeyBlockName(key_ + ".nobody")));
}

TEST_P(PostDataTest, KeysDifferingInLetterCaseReachTheSameWindows) {
  test::Receiver& mixed = AddReceiver(key_);
  test::Receiver& lower = AddReceiver(cp::ToLower(key_));
  const std::string upper = cp::ToUpper(key_);
  PostData(upper.c_str(), "hello");
  for (test::Receiver* receiver : {&mixed, &lower}) {
    const auto got = receiver->WaitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].text, "hello");
    EXPECT_EQ(got[0].key, upper) << "the key as the sender wrote it";
  }
}

TEST_P(PostDataTest, EmptyTextAndJapaneseTextArriveAsPosted) {
  test::Receiver& receiver = AddReceiver(key_);
  const std::string japanese = std::string("検索中 - 表\\ソ");
  PostData(key_.c_str(), "");
  ASSERT_EQ(receiver.WaitFor(1).size(), 1u);
  PostData(key_.c_str(), japanese.c_str());
  const auto got = receiver.WaitFor(2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].text, "");
  EXPECT_EQ(got[1].text, japanese);
}

TEST_F(ProtocolTest, TwoWindowsOnePostTwoDeliveriesWithTheirOwnSerials) {
  test::Receiver& first = AddReceiver(key_);
  test::Receiver& second = AddReceiver(key_);
  PostData(key_.c_str(), "both");
  const auto a = first.WaitFor(1), b = second.WaitFor(1);
  ASSERT_EQ(a.size(), 1u);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(a[0].text, "both");
  EXPECT_EQ(b[0].text, "both");
  EXPECT_NE(a[0].serial, b[0].serial);
  EXPECT_NE(first.DeliveredWindow(), second.DeliveredWindow());
}

TEST_F(ProtocolTest, SlotOfAVanishedWindowIsReused) {
  test::Receiver& first = AddReceiver(key_);
  test::Receiver& second = AddReceiver(key_);
  const WindowHandle gone = first.HookedWindow(), kept = second.HookedWindow();
  Destroy(gone);
  test::Receiver& third = AddReceiver(key_);
  const SharedHandle keyBlock = platform::OpenSharedBlock(posting::KeyBlockName(key_));
  const SharedView view{keyBlock};
  ASSERT_TRUE(view);
  EXPECT_EQ(posting::SlotWindow(view, 0), third.HookedWindow());
  EXPECT_EQ(posting::SlotWindow(view, 1), kept);
  EXPECT_EQ(posting::SlotCount(view), 2);
  platform::CloseSharedBlock(keyBlock);
}

TEST_F(ProtocolTest, SerialAfterTheLastOneIsOneAndHighSerialsNameBlocksNegatively) {
  test::Receiver& receiver = AddReceiver(key_);
  SetLastSerial(4294967293u);
  PostData(key_.c_str(), "high");  // block ...-2
  ASSERT_EQ(receiver.WaitFor(1).size(), 1u);
  PostData(key_.c_str(), "wrapped");
  const auto got = receiver.WaitFor(2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].text, "high");
  EXPECT_EQ(got[0].serial, 4294967294u);
  EXPECT_EQ(got[1].text, "wrapped");
  EXPECT_EQ(got[1].serial, 1u);
}

TEST_P(PostDataTest, LongTextsAreCutToTheBufferWithoutSplittingACharacter) {
  test::Receiver& receiver = AddReceiver(key_);
  const std::string wide = std::string("表");
  const struct { std::string text; std::string expected; } rows[] = {
      {std::string(4095, 'x'), std::string(4095, 'x')},
      {std::string(4096, 'y'), std::string(4095, 'y')},
      {std::string(100000, 'z'), std::string(4095, 'z')},
      {std::string(4094, 'w') + wide, std::string(4094, 'w')},
  };
  size_t count = 0;
  for (const auto& row : rows) {
    PostData(key_.c_str(), row.text.c_str());
    const auto got = receiver.WaitFor(++count);
    ASSERT_EQ(got.size(), count);
    EXPECT_EQ(got.back().text, row.expected) << "row " << count;
    EXPECT_EQ(got.back().key, key_);
  }
}

// Data blocks that another process could have made: too short, without
// terminators, too long for the buffers, or missing.
TEST_F(ProtocolTest, ForeignDataBlocksAreReadWithinTheirBounds) {
  test::Receiver& receiver = AddReceiver(key_);
  const WindowHandle window = receiver.HookedWindow();
  const std::string longText(5000, 'a'), longKey(6000, 'k');
  const struct { std::string content; bool exists; const char* text; std::string key; } rows[] = {
      {"abc", true, "abc", ""},
      {"x", true, "x", ""},
      {std::string("t\0k", 3), true, "t", "k"},
      {longText + '\0' + longKey + '\0', true, nullptr, std::string(4095, 'k')},
      {"", false, nullptr, ""},
  };
  std::uint32_t serial = 0x7fff0000u + (test::UniqueName("").size() % 1000) * 16;
  size_t delivered = 0;
  for (const auto& row : rows) {
    ++serial;
    SharedHandle block = 0;
    if (row.exists) {
      ASSERT_EQ(platform::CreateSharedBlock(DataBlockName(serial), row.content.size(), &block),
                platform::CreateSharedResult::kCreated);
      const SharedView view{block};
      std::memcpy(view.Data(), row.content.data(), row.content.size());
    }
    const long before = test::MessageLog::Of(window).size();
    platform::SendToWindow(window, posting::NotificationMessage(), 0,
                           static_cast<platform::LongParam>(serial));
    platform::CloseSharedBlock(block);
    EXPECT_EQ(test::MessageLog::Of(window).size(), before + 1u) << "passed on, row " << serial;
    const auto got = receiver.Deliveries();
    if (!row.exists) {
      EXPECT_EQ(got.size(), delivered) << "a missing block reaches no OnPostData";
      continue;
    }
    ASSERT_EQ(got.size(), ++delivered);
    EXPECT_EQ(got.back().text, row.text ? std::string(row.text) : std::string(4095, 'a'));
    EXPECT_EQ(got.back().key, row.key);
  }
}

TEST_P(PostDataTest, FiveHundredTwelveLiveWindowsAndOneMore) {
  for (int i = 0; i < posting::kMaxSlots; ++i) AddReceiver(key_);
  test::Receiver& extra = AddReceiver(key_, false);
  EXPECT_NE(extra.HookedWindow(), 0u) << "hooked whatever the registration gave";
  PostData(key_.c_str(), "all");
  for (int i = 0; i < posting::kMaxSlots; ++i)
    ASSERT_EQ(receivers_[i].WaitFor(1).size(), 1u) << "receiver " << i;
  EXPECT_TRUE(extra.Deliveries().empty());
  // A window gone frees a slot for the next one.
  Destroy(receivers_[7].HookedWindow());
  AddReceiver(key_, true);
}

TEST_P(PostDataTest, ReceiverGoneBeforeDeliveryReleasesTheBlock) {
  test::Receiver& receiver = AddReceiver(key_);
  const WindowHandle window = receiver.HookedWindow();
  std::promise<void> busy;
  thread_.RunLater([&busy, window] {
    busy.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    platform::DestroyMessageWindow(window);
  });
  busy.get_future().wait();
  const std::uint32_t before = LastSerial();
  PostData(key_.c_str(), "too late");
  const std::uint32_t serial = LastSerial();
  EXPECT_TRUE(test::WaitUntil([&] { return !BlockExists(DataBlockName(serial)); }));
  EXPECT_EQ(serial != before, !GetParam()) << "a data block only for another process's way";
  EXPECT_TRUE(receiver.Deliveries().empty());
}

TEST_P(PostDataTest, SendersNeverWaitForABusyReceiver) {
  test::Receiver& receiver = AddReceiver(key_);
  std::promise<void> busy, posted;
  std::atomic<bool> releasedBySender{false};
  // The receiver's thread stays blocked until every text is posted: a sender
  // that waited for it would keep it blocked until the wait gave up.
  thread_.RunLater([&busy, &releasedBySender, sent = posted.get_future().share()] {
    busy.set_value();
    releasedBySender = sent.wait_for(std::chrono::duration<double>(test::kLongestWait)) ==
                       std::future_status::ready;
  });
  busy.get_future().wait();
  for (int i = 0; i < 5; ++i) PostData(key_.c_str(), "quick");
  posted.set_value();
  EXPECT_EQ(receiver.WaitFor(5).size(), 5u);
  EXPECT_TRUE(releasedBySender) << "PostData waited for the blocked receiver";
}

TEST_P(PostDataTest, KeyBlockGoesWithTheLastReceiverEvenAfterItsWindow) {
  auto receiver = std::make_unique<test::Receiver>();
  const WindowHandle window = thread_.NewWindow();
  thread_.Run([&] { EXPECT_TRUE(receiver->Install(window, key_)); });
  EXPECT_TRUE(BlockExists(posting::KeyBlockName(key_)));
  Destroy(window);
  receiver.reset();
  EXPECT_FALSE(BlockExists(posting::KeyBlockName(key_)));
  PostData(key_.c_str(), "nobody");  // nothing to do, nothing to fail
}

TEST_F(ChannelTest, QueuedTextsMakeNoDataBlockAndReachEveryReceiverOfTheWindow) {
  test::Receiver& first = AddReceiver(key_);
  test::Receiver second;
  thread_.Run([&] { second.Install(first.HookedWindow(), key_ + ".second"); });
  const std::uint32_t before = LastSerial();
  PostData(key_.c_str(), "queued");
  // Each receiver on the window gets the text, as each gets a notification.
  EXPECT_EQ(first.WaitFor(1).size(), 1u);
  EXPECT_EQ(second.WaitFor(1).size(), 1u);
  EXPECT_EQ(second.Deliveries()[0].key, key_);
  EXPECT_EQ(LastSerial(), before);
  thread_.Run([&] { platform::DestroyMessageWindow(first.HookedWindow()); });
  EXPECT_EQ(posting::LocalPostsPending(), 0u);
}

TEST_F(ChannelTest, TextsQueuedForAWindowThatGoesAreDropped) {
  auto receiver = std::make_unique<test::Receiver>();
  const WindowHandle window = thread_.NewWindow();
  thread_.Run([&] { receiver->Install(window, key_); });
  std::promise<void> busy;
  thread_.RunLater([&busy, window] {
    busy.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    platform::DestroyMessageWindow(window);
  });
  busy.get_future().wait();
  for (int i = 0; i < 10; ++i) PostData(key_.c_str(), "never read");
  EXPECT_GE(posting::LocalPostsPending(), 10u);
  ASSERT_TRUE(test::WaitUntil([&] { return !platform::IsWindowAlive(window); }));
  receiver.reset();
  EXPECT_EQ(posting::LocalPostsPending(), 0u);
}

}  // namespace
