#include "platform/thread.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace platform {

namespace {

struct StartRecord {
  ThreadBody body;
  void* argument;
};

void* RunThread(void* start) noexcept {
  const StartRecord copy = *static_cast<StartRecord*>(start);
  delete static_cast<StartRecord*>(start);
  copy.body(copy.argument);
  return nullptr;
}

}  // namespace

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

bool ProcessHasEnded(std::uint32_t process) {
  if (process == 0 || process > static_cast<std::uint32_t>(INT_MAX)) return false;
  if (kill(static_cast<pid_t>(process), 0) == 0) return false;
  const int error = errno;
  return error == ESRCH;  // EPERM: it runs, as another user
}

bool StartDetachedThread(ThreadBody body, void* argument, size_t stackReserve) {
  auto* start = new StartRecord{body, argument};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  if (stackReserve != 0)
    pthread_attr_setstacksize(&attributes, std::max<size_t>(stackReserve, PTHREAD_STACK_MIN));
  pthread_t thread;
  const int error = pthread_create(&thread, &attributes, RunThread, start);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete start;
    return false;
  }
  pthread_detach(thread);
  return true;
}

JoinableThread::~JoinableThread() { Join(); }

bool JoinableThread::Start(ThreadBody body, void* argument) {
  Join();
  auto* start = new StartRecord{body, argument};
  pthread_t thread;
  if (pthread_create(&thread, nullptr, RunThread, start) != 0) {
    delete start;
    return false;
  }
  handle_ = static_cast<std::uintptr_t>(thread);
  running_ = true;
  return true;
}

void JoinableThread::Join() {
  if (!running_) return;
  pthread_join(static_cast<pthread_t>(handle_), nullptr);
  running_ = false;
}

}  // namespace platform
