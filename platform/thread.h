#pragma once
// Starting threads without exceptions: a thread that cannot be started is a
// result, not a throw.

#include <cstddef>
#include <cstdint>

namespace platform {

using ThreadBody = void (*)(void* argument);

// Starts body(argument) on a new detached thread, with the default stack or
// with `stackReserve` bytes of address space for it. False when no thread
// could be started; body is then never called.
bool StartDetachedThread(ThreadBody body, void* argument, size_t stackReserve = 0);

// This process's identifier.
std::uint32_t CurrentProcessId();
// Whether no process with that identifier runs (a reused identifier counts
// as running: it is never taken for ended).
bool ProcessHasEnded(std::uint32_t process);

// A thread that someone waits for.
class JoinableThread {
 public:
  JoinableThread() = default;
  ~JoinableThread();  // waits for a running thread
  JoinableThread(const JoinableThread&) = delete;
  JoinableThread& operator=(const JoinableThread&) = delete;

  // Starts body(argument); false when no thread could be started.
  bool Start(ThreadBody body, void* argument);
  // Waits until the thread has ended; nothing when none runs.
  void Join();

 private:
  std::uintptr_t handle_ = 0;
  bool running_ = false;
};

}  // namespace platform
