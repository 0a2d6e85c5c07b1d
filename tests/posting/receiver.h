#pragma once
// A receiver that keeps what it gets, for the posting tests and their peers.

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "posting/post_data.h"
#include "tests/support/window_thread.h"

namespace test {

struct Delivery {
  std::string key;
  std::string text;
  std::uint32_t serial;
};

class Receiver : public CtPostData {
 public:
  platform::MessageResult HandleMessage(unsigned message, platform::WordParam wordParam,
                                        platform::LongParam longParam) override {
    if (message == posting::NotificationMessage()) {
      std::lock_guard guard(lock_);
      lastSerial_ = static_cast<std::uint32_t>(longParam);
      ++notifications_;
    }
    return CtPostData::HandleMessage(message, wordParam, longParam);
  }

  void OnPostData(platform::WindowHandle window, const char* key, const char* text) override {
    std::lock_guard guard(lock_);
    window_ = window;
    deliveries_.push_back({key, text, lastSerial_});
    arrived_.notify_all();
  }

  // Waits up to `seconds` until `count` texts have arrived; what arrived by then.
  std::vector<Delivery> WaitFor(size_t count, double seconds = kLongestWait) {
    std::unique_lock guard(lock_);
    arrived_.wait_for(guard, std::chrono::duration<double>(seconds), [&] { return deliveries_.size() >= count; });
    return deliveries_;
  }
  std::vector<Delivery> Deliveries() {
    std::lock_guard guard(lock_);
    return deliveries_;
  }
  int Notifications() {
    std::lock_guard guard(lock_);
    return notifications_;
  }
  platform::WindowHandle DeliveredWindow() {
    std::lock_guard guard(lock_);
    return window_;
  }

 private:
  std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<Delivery> deliveries_;
  std::uint32_t lastSerial_ = 0;
  int notifications_ = 0;
  platform::WindowHandle window_ = 0;
};

}  // namespace test
