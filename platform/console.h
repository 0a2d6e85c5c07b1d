#pragma once
// The console the program runs in.

namespace platform {

// True when standard output (1) or standard error (2) is a terminal.
bool IsTerminal(int stream);

// Columns of the terminal on standard error; 80 when unknown.
int TerminalColumns();

// Calls `stop` from a thread of its own for each Ctrl+C, termination
// request or closed terminal. Call before any other thread is started.
void WatchInterrupts(void (*stop)());

}  // namespace platform
