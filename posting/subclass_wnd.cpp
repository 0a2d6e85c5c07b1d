#include "posting/subclass_wnd.h"

#include <mutex>
#include <unordered_map>

using platform::LongParam;
using platform::MessageResult;
using platform::WindowHandle;
using platform::WordParam;

namespace {

// The newest hook of every hooked window. Hooks are made, removed and called
// on the window's own thread; the lock only keeps the windows of different
// threads from tripping over each other in the one table.
struct HookTable {
  std::mutex lock;
  std::unordered_map<WindowHandle, CtSubclassWnd*> heads;

  CtSubclassWnd* Head(WindowHandle window) {
    std::lock_guard guard(lock);
    const auto found = heads.find(window);
    return found == heads.end() ? nullptr : found->second;
  }
  void SetHead(WindowHandle window, CtSubclassWnd* head) {
    std::lock_guard guard(lock);
    if (head == nullptr) heads.erase(window);
    else heads[window] = head;
  }
};

HookTable& Hooks() {
  static HookTable table;
  return table;
}

}  // namespace

bool CtSubclassWnd::Hook(WindowHandle window) {
  if (window == 0) {
    Unhook();
    return true;
  }
  HookTable& hooks = Hooks();
  CtSubclassWnd* head = hooks.Head(window);
  nextHook_ = head;
  hooks.SetHead(window, this);
  previousProcedure_ = head != nullptr
                           ? head->previousProcedure_
                           : platform::ReplaceWindowProcedure(window, &CtSubclassWnd::HookProcedure);
  hookedWindow_ = window;
  return true;
}

void CtSubclassWnd::Unhook() {
  const WindowHandle window = hookedWindow_;
  if (window == 0) return;
  HookTable& hooks = Hooks();
  CtSubclassWnd* head = hooks.Head(window);
  if (head == this) {
    hooks.SetHead(window, nextHook_);
    if (nextHook_ == nullptr) platform::ReplaceWindowProcedure(window, previousProcedure_);
  } else {
    for (CtSubclassWnd* hook = head; hook != nullptr; hook = hook->nextHook_) {
      if (hook->nextHook_ != this) continue;
      hook->nextHook_ = nextHook_;
      break;
    }
  }
  hookedWindow_ = 0;
  previousProcedure_ = nullptr;
  nextHook_ = nullptr;
}

MessageResult CtSubclassWnd::HandleMessage(unsigned message, WordParam wordParam,
                                           LongParam longParam) {
  if (nextHook_ != nullptr) return nextHook_->HandleMessage(message, wordParam, longParam);
  return platform::CallWindowProcedure(previousProcedure_, hookedWindow_, message, wordParam,
                                       longParam);
}

// The window's last message: every hook goes, and its own procedure handles it.
MessageResult CtSubclassWnd::RemoveAllHooks(CtSubclassWnd* head, WindowHandle window,
                                            WordParam wordParam, LongParam longParam) {
  const platform::WindowProcedure own = head->previousProcedure_;
  for (CtSubclassWnd* hook = head; hook != nullptr; hook = Hooks().Head(window)) hook->Unhook();
  return platform::CallWindowProcedure(own, window, platform::kMessageNcDestroy, wordParam,
                                       longParam);
}

MessageResult KELMORAY_CALLBACK CtSubclassWnd::HookProcedure(WindowHandle window, unsigned message,
                                                             WordParam wordParam,
                                                             LongParam longParam) {
  platform::CurrentMessage& current = platform::ThreadCurrentMessage();
  const platform::Message saved = current.message;
  current.message = {window, message, wordParam, longParam};

  // A window without hooks has nothing to route its message to.
  MessageResult result = 0;
  if (CtSubclassWnd* head = Hooks().Head(window); head != nullptr) {
    result = message == platform::kMessageNcDestroy
                 ? RemoveAllHooks(head, window, wordParam, longParam)
                 : head->HandleMessage(message, wordParam, longParam);
  }
  current.message = saved;
  return result;
}
