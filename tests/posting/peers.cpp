#include "tests/posting/peers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "tests/posting/receiver.h"
#include "tests/support/files.h"
#include "tests/support/test_run.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

constexpr std::uintptr_t kCheckTimer = 1;

struct ReceiveRole {
  Receiver receiver;
  std::string key;
  std::string dir;
  size_t expected;
  std::string name;
};

// Checks on a timer whether the peer's work is done, so that the loop never
// waits for a file.
platform::MessageResult KELMORAY_CALLBACK ReceiverWindow(platform::WindowHandle window,
                                                         unsigned message, platform::WordParam,
                                                         platform::LongParam) {
  auto* role = reinterpret_cast<ReceiveRole*>(platform::WindowData(window));
  if (message != platform::kMessageTimer || role == nullptr) return 0;
  const std::vector<Delivery> got = role->receiver.Deliveries();
  if (got.size() < role->expected && !FileExists(role->dir + "stop")) return 0;
  std::set<std::string> distinct;
  int otherKey = 0;
  for (const Delivery& delivery : got) {
    distinct.insert(delivery.text);
    if (delivery.key != role->key) ++otherKey;
  }
  WriteFile(role->dir + role->name + ".tally", std::to_string(got.size()) + " " +
                                                   std::to_string(distinct.size()) + " " +
                                                   std::to_string(otherKey));
  platform::StopTimer(window, kCheckTimer);
  platform::PostQuit();
  return 0;
}

int Receive(const std::vector<std::string>& a) {
  ReceiveRole state{{}, a[1], a[2], static_cast<size_t>(std::atoi(a[3].c_str())), a[4]};
  const platform::WindowHandle window =
      platform::CreateMessageWindow(ReceiverWindow, reinterpret_cast<std::uintptr_t>(&state));
  if (window == 0 || !state.receiver.Install(window, state.key)) return 10;
  platform::StartTimer(window, kCheckTimer, 20);
  WriteFile(state.dir + state.name + ".ready", "");
  platform::Message message;
  while (platform::NextMessage(&message)) platform::DispatchToWindow(message);
  platform::DestroyMessageWindow(window);
  return 0;
}

int Send(const std::vector<std::string>& a) {
  const std::string key = a[1], dir = a[2], tag = a[5];
  const int threads = std::atoi(a[3].c_str()), count = std::atoi(a[4].c_str());
  std::vector<std::thread> senders;
  for (int t = 0; t < threads; ++t) {
    senders.emplace_back([&, t] {
      for (int i = 0; i < count; ++i) {
        const std::string text = tag + "." + std::to_string(t) + "." + std::to_string(i);
        PostData(key.c_str(), text.c_str());
      }
    });
  }
  for (std::thread& sender : senders) sender.join();
  // Deliveries still under way end with the process: stay until told, however
  // slowly the receivers work (the limit only outlives a test that died).
  return WaitUntil([&] { return FileExists(dir + "done"); }, 900) ? 0 : 11;
}

int Hold(const std::vector<std::string>& a) {
  const std::string key = a[1], dir = a[2];
  Receiver receiver;
  const platform::WindowHandle window = platform::CreateMessageWindow(RecordingProcedure);
  if (window == 0 || !receiver.Install(window, key)) return 10;
  platform::NamedMutex serialMutex(posting::SerialMutexName());
  if (!serialMutex.Lock()) return 13;
  WriteFile(dir + "hold.ready", "");
  const bool told = WaitUntil([&] { return FileExists(dir + "done"); }, 900);
  serialMutex.Unlock();
  platform::DestroyMessageWindow(window);
  return told ? 0 : 11;
}

}  // namespace

std::vector<std::string> HolderPeer(const std::string& key, const std::string& dir) {
  return {"--peer", "hold", key, dir};
}

std::vector<std::string> ReceiverPeer(const std::string& key, const std::string& dir,
                                      int expected, const std::string& name) {
  return {"--peer", "receive", key, dir, std::to_string(expected), name};
}

std::vector<std::string> SenderPeer(const std::string& key, const std::string& dir, int threads,
                                    int count, const std::string& tag) {
  return {"--peer", "send", key, dir, std::to_string(threads), std::to_string(count), tag};
}

int RunPeer(const std::vector<std::string>& arguments) {
  if (arguments.size() == 5 && arguments[0] == "receive") return Receive(arguments);
  if (arguments.size() == 6 && arguments[0] == "send") return Send(arguments);
  if (arguments.size() == 3 && arguments[0] == "hold") return Hold(arguments);
  return 12;
}

}  // namespace test

int main(int argc, char** argv) {
  test::UseChannelOfThisRun();
  if (argc >= 2 && std::string(argv[1]) == "--peer")
    return test::RunPeer(std::vector<std::string>(argv + 2, argv + argc));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
