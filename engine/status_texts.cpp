#include "engine/status_texts.h"

#include <cstring>

#include "engine/messages.h"

namespace {

// 4,087 ticks of ">" after the copying text's 8 bytes fill the receiver's 4,095.
constexpr std::uint32_t kMostBusyTicks = 4087;

}  // namespace

std::string MainFrameKey(platform::WindowHandle window) {
  return std::to_string(static_cast<std::int32_t>(platform::HandleToValue(window))) + ".CMainFrame";
}

StatusMeaning MeaningOf(const char* text) {
  if (text[0] == '\0') return StatusMeaning::kShowWorking;
  if (text[0] != '*') return StatusMeaning::kShow;
  if (std::strcmp(text, kCopyStarts) == 0) return StatusMeaning::kStartBusy;
  if (std::strcmp(text, kCopyEnds) == 0) return StatusMeaning::kStopBusy;
  return StatusMeaning::kNothing;
}

const std::string& WorkingText() { return MessageText(kTextWorking); }

const std::string& CopyingText() { return MessageText(kTextCopying); }

StatusLine::Change StatusLine::Take(const char* text) {
  if (held_) return {};
  switch (MeaningOf(text)) {
    case StatusMeaning::kShow: text_ = text; return {true, BusyTimer::kKeep};
    case StatusMeaning::kShowWorking: text_ = WorkingText(); return {true, BusyTimer::kKeep};
    case StatusMeaning::kStartBusy:
      busyTicks_ = 0;
      text_ = CopyingText();
      return {true, BusyTimer::kStart};
    case StatusMeaning::kStopBusy: return {false, BusyTimer::kStop};
    case StatusMeaning::kNothing: return {};
  }
  return {};
}

std::string StatusLine::Tick() {
  busyTicks_ = busyTicks_ >= kMostBusyTicks ? 1 : busyTicks_ + 1;
  return CopyingText() + std::string(busyTicks_, '>');
}

StatusLine::Change StatusLine::Hold(std::string text) {
  held_ = true;
  text_ = std::move(text);
  return {true, BusyTimer::kStop};
}

StatusLine::Change StatusLine::Release() {
  if (!held_) return {};
  held_ = false;
  text_ = kIdleText;
  return {true, BusyTimer::kKeep};
}
