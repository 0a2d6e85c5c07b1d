#include "platform/interrupt_target.h"

#include <atomic>
#include <cstdlib>

#include "platform/console.h"

namespace platform {

namespace {

// Set once a window is there, read by the thread that takes the interrupts.
std::atomic<WindowHandle> interruptWindow{0};
std::atomic<unsigned> interruptMessage{0};
std::atomic<WordParam> interruptWordParam{0};
std::atomic<bool> windowNamed{false};
std::atomic<int> statusBeforeWindow{-1};

}  // namespace

void PostInterruptsTo(WindowHandle window, unsigned message, WordParam wordParam) {
  interruptMessage = message;
  interruptWordParam = wordParam;
  interruptWindow = window;
  if (window != 0) windowNamed = true;
}

void EndOnEarlyInterrupts(int exitStatus) { statusBeforeWindow = exitStatus; }

void RaiseInterrupt() { PostInterrupt(); }

void PostInterrupt() {
  const WindowHandle window = interruptWindow.load();
  if (window != 0) {
    PostToWindow(window, interruptMessage.load(), interruptWordParam.load(), 0);
    return;
  }
  // Before the run's window exists nothing has been changed: the program
  // ends at once, even while it waits for a busy settings store.
  const int status = statusBeforeWindow.load();
  if (!windowNamed && status >= 0) std::_Exit(status);
}

}  // namespace platform
