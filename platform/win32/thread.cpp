#include "platform/thread.h"

#include <windows.h>

namespace platform {

namespace {

struct StartRecord {
  ThreadBody body;
  void* argument;
};

DWORD WINAPI RunThread(void* start) noexcept {
  const StartRecord copy = *static_cast<StartRecord*>(start);
  delete static_cast<StartRecord*>(start);
  copy.body(copy.argument);
  return 0;
}

}  // namespace

std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

bool ProcessHasEnded(std::uint32_t process) {
  HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (handle == nullptr) {
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_PARAMETER;  // no such process; denied: it runs
  }
  const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
  CloseHandle(handle);
  return ended;
}

bool StartDetachedThread(ThreadBody body, void* argument, size_t stackReserve) {
  auto* start = new StartRecord{body, argument};
  HANDLE thread = CreateThread(nullptr, stackReserve, RunThread, start,
                               stackReserve != 0 ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  CloseHandle(thread);
  return true;
}

JoinableThread::~JoinableThread() { Join(); }

bool JoinableThread::Start(ThreadBody body, void* argument) {
  Join();
  auto* start = new StartRecord{body, argument};
  HANDLE thread = CreateThread(nullptr, 0, RunThread, start, 0, nullptr);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  handle_ = reinterpret_cast<std::uintptr_t>(thread);
  running_ = true;
  return true;
}

void JoinableThread::Join() {
  if (!running_) return;
  HANDLE thread = reinterpret_cast<HANDLE>(handle_);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  running_ = false;
}

}  // namespace platform
