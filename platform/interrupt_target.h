#pragma once
// Where the platforms' interrupt watchers send each interrupt (console.h).

namespace platform {

// Posts the interrupt as PostInterruptsTo asked; nothing before it was called.
void PostInterrupt();

}  // namespace platform
