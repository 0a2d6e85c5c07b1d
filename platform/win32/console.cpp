#include "platform/console.h"
#include "platform/file_operations.h"
#include "platform/interrupt_target.h"

#include <io.h>
#include <windows.h>

namespace platform {

namespace {

// Closing the console window, logging off and shutting down end the
// process when this returns, and after the system's grace time (5 s) at the
// latest: the run is stopped and given most of that time to end after its
// file in progress, which ends the process. A copy that cannot finish by
// then is abandoned, its temporary file removed.
constexpr DWORD kRunsGrace = 4000;
constexpr DWORD kAbandonedCopiesGrace = 500;

HANDLE runEnded = nullptr;  // set (for good) once the run has ended

BOOL WINAPI OnConsoleEvent(DWORD event) noexcept {
  PostInterrupt();
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;  // the process goes on and stops its run
  if (WaitForSingleObject(runEnded, kRunsGrace) == WAIT_OBJECT_0) return TRUE;
  SetCopiesAbandoned(true);
  WaitForSingleObject(runEnded, kAbandonedCopiesGrace);
  return TRUE;
}

}  // namespace

bool IsTerminal(int stream) { return _isatty(stream) != 0; }

int TerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 80;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

void WatchInterrupts() {
  runEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void NoteRunEnded() { SetEvent(runEnded); }

}  // namespace platform
