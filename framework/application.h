#pragma once
// The program's message loop, with the main frame's accelerators and, each
// time the queue runs empty, the frame's toolbar brought up to date. The
// application is the last target of the command route.

#include <windows.h>

#include "framework/command_target.h"

namespace fw {

class FrameWindow;

class Application : public CommandTarget {
 public:
  // Handles messages until the main frame has gone; the exit code.
  int Run(FrameWindow& frame);
  // Handles every message that has come in, without waiting; false once the
  // program is to end. For loops that must go on handling messages while
  // they wait for something (tests, closing during a run).
  static bool HandlePending(FrameWindow* frame);

 private:
  static bool Translate(FrameWindow* frame, MSG& message);
};

}  // namespace fw
