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

StatusLine::Change StatusLine::Take(const char* text) {
  if (held_) return {};
  if (text[0] != '*') {
    text_ = text[0] == '\0' ? MessageText(kTextWorking) : text;
    return {true, BusyTimer::kKeep};
  }
  if (std::strcmp(text, kCopyEnds) == 0) return {false, BusyTimer::kStop};
  if (std::strcmp(text, kCopyStarts) != 0) return {};
  busyTicks_ = 0;
  text_ = MessageText(kTextCopying);
  return {true, BusyTimer::kStart};
}

std::string StatusLine::Tick() {
  busyTicks_ = busyTicks_ >= kMostBusyTicks ? 1 : busyTicks_ + 1;
  return MessageText(kTextCopying) + std::string(busyTicks_, '>');
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
