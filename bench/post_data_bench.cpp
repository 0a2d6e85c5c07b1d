// The cost of PostData to a window of the same process and to a window of
// another process: what the sender pays per call, and how long until the
// receiver has the text.
//   post_data_bench [texts]

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "posting/post_data.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_thread.h"

namespace {

using Clock = std::chrono::steady_clock;

// Counts what arrives; in the other process it also answers on `answerKey`.
class CountingReceiver : public CtPostData {
 public:
  explicit CountingReceiver(std::string answerKey = {}) : answerKey_(std::move(answerKey)) {}
  void OnPostData(platform::WindowHandle, const char*, const char* text) override {
    if (!answerKey_.empty()) PostData(answerKey_.c_str(), text);
    if (std::string(text) == "quit") platform::PostQuit();
    std::lock_guard guard(lock_);
    ++count_;
    arrived_.notify_all();
  }
  void WaitFor(long count) {
    std::unique_lock guard(lock_);
    arrived_.wait(guard, [&] { return count_ >= count; });
  }
  long Count() {
    std::lock_guard guard(lock_);
    return count_;
  }

 private:
  std::string answerKey_;
  std::mutex lock_;
  std::condition_variable arrived_;
  long count_ = 0;
};

double MicrosecondsSince(Clock::time_point start, int count) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
}

// Posts `texts` texts as fast as the sender can, then one at a time waiting
// for each; `arrivals` counts what came back.
void Measure(const char* label, const std::string& key, CountingReceiver& arrivals, int texts) {
  long expected = arrivals.Count();
  auto start = Clock::now();
  for (int i = 0; i < texts; ++i) PostData(key.c_str(), "検索中 - /srv/source/tree/dir");
  const double sender = MicrosecondsSince(start, texts);
  arrivals.WaitFor(expected += texts);
  const double throughput = MicrosecondsSince(start, texts);
  start = Clock::now();
  for (int i = 0; i < texts; ++i) {
    PostData(key.c_str(), "*+");
    arrivals.WaitFor(++expected);
  }
  const double latency = MicrosecondsSince(start, texts);
  std::printf("%-16s sender %7.1f us/post   all delivered %7.1f us/post   one at a time %7.1f us/post\n",
              label, sender, throughput, latency);
}

// The other process: a receiver that answers every text.
int RunPeer(const std::string& key, const std::string& answerKey, const std::string& readyFile) {
  CountingReceiver receiver(answerKey);
  const platform::WindowHandle window = platform::CreateMessageWindow(test::RecordingProcedure);
  if (!receiver.Install(window, key)) return 1;
  test::WriteFile(readyFile, "");
  platform::Message message;
  while (platform::NextMessage(&message)) platform::DispatchToWindow(message);
  platform::DestroyMessageWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--peer") return RunPeer(argv[2], argv[3], argv[4]);
  const int texts = argc > 1 ? std::atoi(argv[1]) : 2000;

  const std::string key = test::UniqueName("Bench") + ".CMainFrame";
  const std::string peerKey = key + ".peer", answerKey = key + ".answer";
  CountingReceiver local, answers;
  test::WindowThread thread;
  const platform::WindowHandle localWindow = thread.NewWindow();
  const platform::WindowHandle answerWindow = thread.NewWindow();
  thread.Run([&] {
    local.Install(localWindow, key);
    answers.Install(answerWindow, answerKey);
  });
  Measure("same process", key, local, texts);

  test::TempDir dir;
  const std::string ready = dir / "ready";
  test::ChildProcess peer({"--peer", peerKey, answerKey, ready});
  test::WaitUntil([&] { return test::FileExists(ready); }, 60);
  Measure("other process", peerKey, answers, texts);
  std::printf("(other process: \"all delivered\" and \"one at a time\" count the answer's way back too)\n");
  PostData(peerKey.c_str(), "quit");
  peer.Wait();
  thread.Run([&] {
    platform::DestroyMessageWindow(localWindow);
    platform::DestroyMessageWindow(answerWindow);
  });
  return 0;
}
