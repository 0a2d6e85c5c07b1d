#pragma once
// The console the program runs in.

#include "platform/window_system.h"

namespace platform {

// True when standard output (1) or standard error (2) is a terminal.
bool IsTerminal(int stream);

// Columns of the terminal on standard error; 80 when unknown.
int TerminalColumns();

// Takes over Ctrl+C, termination requests and a closed terminal: each is
// posted as a message once PostInterruptsTo has named the window, and is
// dropped before (but see EndOnEarlyInterrupts). A write to a pipe whose
// reader has gone fails instead of ending the program. Call before any
// other thread is started.
void WatchInterrupts();
// The window and the message that each interrupt is posted as from now on.
void PostInterruptsTo(WindowHandle window, unsigned message, WordParam wordParam);
// An interrupt before the first window was named ends the program at once
// with exitStatus, for as long as nothing is being changed that it could
// leave half done; a negative status drops such interrupts again.
void EndOnEarlyInterrupts(int exitStatus);
// Acts as an interrupt does: for what the program cannot go on without, such
// as the reader of its output.
void RaiseInterrupt();
// The run that the interrupts stop has ended. A closed console window, a
// log-off or a shutdown (Windows) waits for this within the system's grace time.
void NoteRunEnded();

}  // namespace platform
