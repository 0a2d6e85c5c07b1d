#pragma once
// What a run tells its main frame, and what the frame makes of it: the one
// protocol between the engine and every front end's frame. The frame
// registers its window on the posting channel under MainFrameKey; the run
// posts each text to that key.

#include <cstdint>
#include <string>

#include "platform/window_system.h"

// The key of a main frame: "%d.CMainFrame" filled with its window handle.
std::string MainFrameKey(platform::WindowHandle window);

// Posted just before a file is copied and just after.
inline constexpr char kCopyStarts[] = "*+";
inline constexpr char kCopyEnds[] = "*-";
// Posted when a listing has ended.
inline constexpr char kListingEnds[] = "";
// Posted when the run has ended; also what an idle frame shows.
inline constexpr char kIdleText[] = "Kelmoray";

// What a frame does with a text posted to it.
enum class StatusMeaning {
  kShow,         // shows the text
  kShowWorking,  // the empty text: shows WorkingText
  kStartBusy,    // "*+": starts (or restarts) the busy indicator and shows CopyingText
  kStopBusy,     // "*-": stops the busy indicator; the text shown stays
  kNothing,      // any other text that begins with "*"
};
StatusMeaning MeaningOf(const char* text);

// "作業中" (working) and "コピー中" (copying), in the system code page.
const std::string& WorkingText();
const std::string& CopyingText();

// The busy indicator's tick count after one more tick, and its text: the
// copying text and a ">" per tick. The row starts again before it would
// pass the 4,095 bytes that a receiver keeps.
std::uint32_t NextBusyTick(std::uint32_t ticks);
std::string BusyText(std::uint32_t ticks);
