#include "tests/support/win32/fake_pickers.h"

namespace {

Pickers* inPlace = nullptr;

}  // namespace

// In place of the programs' own: the pickers a test put in place, else the system's.
Pickers& ThePickers() { return inPlace != nullptr ? *inPlace : SystemPickers(); }

namespace test {

void UsePickers(Pickers* pickers) { inPlace = pickers; }

}  // namespace test
