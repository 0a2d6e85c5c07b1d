// The programs' pickers are the system's. A file of its own: the test
// programs link their own ThePickers, which the linker then takes instead.

#include "shell/gui/dialogs/pickers.h"

Pickers& ThePickers() { return SystemPickers(); }
