#pragma once
// Starting threads without exceptions: a thread that cannot be started is a
// result, not a throw.

namespace platform {

using ThreadBody = void (*)(void* argument);

// Starts body(argument) on a new detached thread with the default stack size.
// False when no thread could be started; body is then never called.
bool StartDetachedThread(ThreadBody body, void* argument);

}  // namespace platform
