#pragma once
// What a run tells its main frame, and what the frame makes of it: the one
// protocol between the engine and every front end's frame. The frame
// registers its window on the posting channel under MainFrameKey; the run
// posts each text to that key.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/window_system.h"
#include "posting/post_data.h"

// The key of a main frame: "%d.CMainFrame" filled with its window handle.
std::string MainFrameKey(platform::WindowHandle window);

// Posted just before a file is copied and just after.
inline constexpr char kCopyStarts[] = "*+";
inline constexpr char kCopyEnds[] = "*-";
// Posted when a listing has ended.
inline constexpr char kListingEnds[] = "";
// Posted when the run has ended; also what an idle frame shows.
inline constexpr char kIdleText[] = "Kelmoray";

// Posted to the main window once a run has ended and its worker is done:
// wordParam is 1 after an automatic run, which ends the program.
inline constexpr unsigned kRunEndedMessage = platform::kMessageUser + 0x100;

// The status line of a main frame, the same for every front end: the text
// it shows and its busy indicator, which ticks while a file is copied. The
// frame shows Text() whenever a change says so, and runs a timer of
// kBusyPeriod milliseconds as the changes say.
class StatusLine {
 public:
  static constexpr unsigned kBusyPeriod = 200;
  enum class BusyTimer { kKeep, kStart, kStop };
  struct Change {
    bool textChanged = false;
    BusyTimer timer = BusyTimer::kKeep;
  };

  // A text posted to the frame: the empty text shows "作業中" (working);
  // "*+" starts (or restarts) the busy indicator and shows "コピー中"
  // (copying); "*-" stops it, the text shown stays; any other text that
  // begins with "*" does nothing; every other text is shown.
  Change Take(const char* text);
  // One tick of the busy timer: the text the frame posts to its own key,
  // so that the tick comes back through the channel like any other text: the
  // copying text and a ">" per tick. The row starts again before it would
  // pass the 4,095 bytes that a receiver keeps.
  std::string Tick();
  // Shows `text` until Release (a stop under way): no posted text replaces it.
  Change Hold(std::string text);
  // Back to the idle text after a hold.
  Change Release();

  const std::string& Text() const { return text_; }
  std::uint32_t BusyTicks() const { return busyTicks_; }

 private:
  std::string text_ = kIdleText;
  std::uint32_t busyTicks_ = 0;
  bool held_ = false;
};

// A main frame's receiver on the posting channel: registers the frame's
// window under MainFrameKey and hands it each text posted there.
class MainFrameEndpoint : public CtPostData {
 public:
  explicit MainFrameEndpoint(std::function<void(const char* text)> onText) : onText_(std::move(onText)) {}
  // False when the window could not be registered (it then shows no texts).
  bool Install(platform::WindowHandle window) { return CtPostData::Install(window, MainFrameKey(window)); }
  void OnPostData(platform::WindowHandle, const char*, const char* text) override { onText_(text); }

 private:
  std::function<void(const char* text)> onText_;
};
