#pragma once
// A thread that owns windows and runs their message loop, for tests that
// need a receiver on a thread of its own.

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/window_system.h"

namespace test {

// What the window procedure of test windows saw: message numbers, per window.
class MessageLog {
 public:
  static void Record(platform::WindowHandle window, unsigned message);
  static std::vector<unsigned> Of(platform::WindowHandle window);
  static void Forget(platform::WindowHandle window);
};

// The procedure of test windows: records each message and answers 1000 + message.
platform::MessageResult KELMORAY_CALLBACK RecordingProcedure(platform::WindowHandle window,
                                                             unsigned message,
                                                             platform::WordParam wordParam,
                                                             platform::LongParam longParam);

class WindowThread {
 public:
  WindowThread();
  // Destroys the thread's windows and ends it.
  ~WindowThread();
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  // Runs `work` on the thread and waits for it.
  void Run(const std::function<void()>& work);
  // Runs `work` on the thread without waiting.
  void RunLater(std::function<void()> work);
  // A new window with RecordingProcedure, owned by the thread.
  platform::WindowHandle NewWindow();

 private:
  void Loop();
  std::thread thread_;
  platform::WindowHandle control_ = 0;  // carries the work; never given out
  std::vector<platform::WindowHandle> windows_;
};

// How long tests wait for something another thread or process does. The
// limit only keeps a test from hanging when that never happens; it lies far
// beyond what the slowest build needs on a busy 2-core machine.
inline constexpr double kLongestWait = 120;

// Polls `done` every 5 ms for up to `seconds`; its last result.
bool WaitUntil(const std::function<bool()>& done, double seconds = kLongestWait);

}  // namespace test
