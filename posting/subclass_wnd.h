#pragma once
// A hook on a window that some other object owns: it sees the window's
// messages before the window's own procedure does. Several hooks can sit on
// one window; the newest sees each message first and passes on what it does
// not consume, down to the window's own procedure.

#include "platform/window_system.h"

class CtSubclassWnd {
 public:
  CtSubclassWnd() = default;
  // Does not unhook: unhook first, or let the window's destruction do it.
  virtual ~CtSubclassWnd() = default;
  CtSubclassWnd(const CtSubclassWnd&) = delete;
  CtSubclassWnd& operator=(const CtSubclassWnd&) = delete;

  // With a window, installs this object as its newest hook; with 0, removes
  // this object from its window's chain (nothing when it is not hooked).
  // Always true.
  bool Hook(platform::WindowHandle window);

  // Called for each message of the hooked window. This base passes it on to
  // the next hook, or to the window's own procedure, and returns that result.
  virtual platform::MessageResult HandleMessage(unsigned message, platform::WordParam wordParam,
                                                platform::LongParam longParam);

  platform::WindowHandle HookedWindow() const { return hookedWindow_; }

 private:
  static platform::MessageResult KELMORAY_CALLBACK HookProcedure(platform::WindowHandle window,
                                                                 unsigned message,
                                                                 platform::WordParam wordParam,
                                                                 platform::LongParam longParam);
  static platform::MessageResult RemoveAllHooks(CtSubclassWnd* head, platform::WindowHandle window,
                                                platform::WordParam wordParam,
                                                platform::LongParam longParam);
  void Unhook();

  platform::WindowHandle hookedWindow_ = 0;
  // The window's procedure from before the chain's first hook; the same in every hook of a chain.
  platform::WindowProcedure previousProcedure_ = nullptr;
  CtSubclassWnd* nextHook_ = nullptr;  // installed on the same window just before this one
};
