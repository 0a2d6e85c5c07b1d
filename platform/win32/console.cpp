#include "platform/console.h"
#include "platform/interrupt_target.h"

#include <io.h>
#include <windows.h>

namespace platform {

namespace {

BOOL WINAPI OnConsoleEvent(DWORD) noexcept {
  PostInterrupt();
  return TRUE;  // handled: the process goes on and stops its run
}

}  // namespace

bool IsTerminal(int stream) { return _isatty(stream) != 0; }

int TerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 80;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

void WatchInterrupts() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

}  // namespace platform
