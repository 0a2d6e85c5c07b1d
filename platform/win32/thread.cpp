#include "platform/thread.h"

#include <windows.h>

namespace platform {

namespace {

struct Start {
  ThreadBody body;
  void* argument;
};

DWORD WINAPI RunThread(void* start) noexcept {
  const Start copy = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  copy.body(copy.argument);
  return 0;
}

}  // namespace

bool StartDetachedThread(ThreadBody body, void* argument) {
  auto* start = new Start{body, argument};
  HANDLE thread = CreateThread(nullptr, 0, RunThread, start, 0, nullptr);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  CloseHandle(thread);
  return true;
}

}  // namespace platform
