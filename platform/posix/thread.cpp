#include "platform/thread.h"

#include <pthread.h>

namespace platform {

namespace {

struct Start {
  ThreadBody body;
  void* argument;
};

void* RunThread(void* start) noexcept {
  const Start copy = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  copy.body(copy.argument);
  return nullptr;
}

}  // namespace

bool StartDetachedThread(ThreadBody body, void* argument) {
  auto* start = new Start{body, argument};
  pthread_t thread;
  if (pthread_create(&thread, nullptr, RunThread, start) != 0) {
    delete start;
    return false;
  }
  pthread_detach(thread);
  return true;
}

}  // namespace platform
