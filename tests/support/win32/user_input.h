#pragma once
// The keyboard and the mouse as a person uses them: real input events
// through the system's input queue, which reach whatever window has the
// focus or lies under the pointer, in the order and with the priority of a
// person's typing and moving.

#include <windows.h>

#include <string>

namespace test {

// Modifier keys held while a key is pressed.
enum Modifiers : unsigned { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };

// Presses and releases the key (a virtual-key code) with the modifiers held.
void PressKey(WORD key, unsigned modifiers = kNoModifier);
// Types the text (UTF-8) character by character, as an input method would.
void TypeText(const std::string& utf8);

// Moves the pointer to a point of the screen.
void MoveMouseTo(POINT screen);

// The window of `thread` that has the keyboard focus; null when none has.
HWND FocusOf(DWORD thread);
// Whether the focus of the window's thread is on that window or inside it.
bool HasFocusWithin(HWND window);

}  // namespace test
