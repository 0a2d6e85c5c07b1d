#pragma once
// Settings are kept in the system's code page (932 for Japanese): a name it
// cannot hold would be stored as another one, and a run would mirror the
// wrong folder. Such a text is refused, and the user is told why.

#include <windows.h>

#include <initializer_list>
#include <string>

#include "framework/dialog.h"

// Whether text can be stored as it is; when not, says so over owner.
bool StorableOrSaid(HWND owner, const std::string& text);

// Whether every one of the dialog's controls holds a text that can be
// stored; the first that does not is said and gets the focus.
bool ControlsStorableOrSaid(const fw::Dialog& dialog, std::initializer_list<int> controls);
