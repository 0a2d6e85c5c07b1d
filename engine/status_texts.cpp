#include "engine/status_texts.h"

#include <cstring>

#include "platform/code_page.h"

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

const std::string& WorkingText() {
  static const std::string text = "作業中";
  return text;
}

const std::string& CopyingText() {
  static const std::string text = "コピー中";
  return text;
}

std::uint32_t NextBusyTick(std::uint32_t ticks) { return ticks >= kMostBusyTicks ? 1 : ticks + 1; }

std::string BusyText(std::uint32_t ticks) { return CopyingText() + std::string(ticks, '>'); }
