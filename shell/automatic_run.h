#pragma once
// The end of an automatic run ("/A"): the program ends by itself.

#include <functional>

#include "platform/window_system.h"
#include "shell/command_line.h"

// What the document does after its run (CKelmdupDoc::afterRun) when the
// program is to end after it: 3 seconds after the run's end line the exit
// command goes to the main window, which then ends the program as its Exit
// command does. Nothing for a run that was not automatic.
std::function<void()> AfterRunOf(platform::WindowHandle mainWindow, const StartupFlags& flags);
