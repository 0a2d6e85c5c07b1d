#include "platform/interrupt_target.h"

#include <atomic>

#include "platform/console.h"

namespace platform {

namespace {

// Set once a window is there, read by the thread that takes the interrupts.
std::atomic<WindowHandle> interruptWindow{0};
std::atomic<unsigned> interruptMessage{0};
std::atomic<WordParam> interruptWordParam{0};

}  // namespace

void PostInterruptsTo(WindowHandle window, unsigned message, WordParam wordParam) {
  interruptMessage = message;
  interruptWordParam = wordParam;
  interruptWindow = window;
}

void PostInterrupt() {
  const WindowHandle window = interruptWindow.load();
  if (window != 0) PostToWindow(window, interruptMessage.load(), interruptWordParam.load(), 0);
}

}  // namespace platform
