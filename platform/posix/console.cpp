#include "platform/console.h"
#include "platform/interrupt_target.h"

#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

sigset_t Interrupts() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

void* WaitForSignals(void*) noexcept {
  const sigset_t set = Interrupts();
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) == 0) PostInterrupt();
  }
  return nullptr;
}

}  // namespace

bool IsTerminal(int stream) { return isatty(stream) == 1; }

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
  return size.ws_col;
}

void WatchInterrupts() {
  // A closed reader of the output is a failed write, which stops the run
  // after the file in progress; the signal would end the program mid-copy.
  signal(SIGPIPE, SIG_IGN);
  // Every thread started later inherits the mask; only the watcher takes the signals.
  const sigset_t set = Interrupts();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  pthread_t watcher;
  if (pthread_create(&watcher, nullptr, WaitForSignals, nullptr) == 0) pthread_detach(watcher);
}

// Natively no signal waits for the run: each only stops it.
void NoteRunEnded() {}

}  // namespace platform
