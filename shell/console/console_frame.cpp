#include "shell/console/console_frame.h"

#include <chrono>
#include <thread>

#include "platform/code_page.h"

namespace {

constexpr std::uintptr_t kBusyTimer = 100;
constexpr unsigned kBusyPeriod = 200;
constexpr std::uintptr_t kWatchTimer = 101;
constexpr unsigned kWatchPeriod = 50;
constexpr platform::WordParam kCommandStop = 32773;
// The receiver keeps 4,095 bytes: the row of ">" starts again before it would be cut.
constexpr std::uint32_t kMostBusyTicks = 4087;

ConsoleFrame* theFrame = nullptr;

const std::string& WorkingText() {
  static const std::string text = platform::Utf8ToSystem("作業中");
  return text;
}

const std::string& CopyingText() {
  static const std::string text = platform::Utf8ToSystem("コピー中");
  return text;
}

}  // namespace

std::string MainFrameKey(platform::WindowHandle window) {
  return std::to_string(static_cast<std::int32_t>(platform::HandleToValue(window))) + ".CMainFrame";
}

ConsoleFrame::ConsoleFrame(CKelmdupDoc& document, ConsoleOutput& output)
    : document_(document), output_(output) {}

ConsoleFrame::~ConsoleFrame() {
  // The window goes first: its last message unhooks the endpoint, which then unregisters.
  if (window_ != 0) platform::DestroyMessageWindow(window_);
  theFrame = nullptr;
}

bool ConsoleFrame::Create() {
  theFrame = this;
  window_ = platform::CreateMessageWindow(Procedure);
  if (window_ == 0) return false;
  key_ = MainFrameKey(window_);
  endpoint_.Install(window_);  // without registration the frame only shows no texts
  output_.ShowStatus("Kelmoray");
  return true;
}

void ConsoleFrame::AskToStop() {
  platform::PostToWindow(window_, kCommandMessage, kCommandStop, 0);
}

// Handles what has come in, then rests a moment: a status line needs no more
// than 50 updates a second, and a run that posts two texts per copied file
// should not wake this thread for each of them.
void ConsoleFrame::RunUntilTheRunEnds() {
  platform::StartTimer(window_, kWatchTimer, kWatchPeriod);
  platform::Message message;
  while (platform::NextMessage(&message)) {
    platform::DispatchToWindow(message);
    while (platform::TakeMessage(&message)) platform::DispatchToWindow(message);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // The run's last text wakes this loop just before the run ends; once it
    // has ended, what is queued is all there is, and the watch need not wait.
    if (document_.finishedRuns > 0) {
      while (platform::TakeMessage(&message)) platform::DispatchToWindow(message);
      break;
    }
  }
  platform::StopTimer(window_, kWatchTimer);
  StopBusyTimer();
}

platform::MessageResult KELMORAY_CALLBACK ConsoleFrame::Procedure(platform::WindowHandle window,
                                                                  unsigned message,
                                                                  platform::WordParam wordParam,
                                                                  platform::LongParam) {
  ConsoleFrame* frame = theFrame;
  if (frame == nullptr || window != frame->window_) return 0;
  if (message == kCommandMessage && wordParam == kCommandStop) {
    frame->document_.OnMirrorStop();
  } else if (message == platform::kMessageTimer && wordParam == kBusyTimer) {
    frame->OnBusyTick();
  } else if (message == platform::kMessageTimer && wordParam == kWatchTimer) {
    if (frame->document_.finishedRuns > 0) platform::PostQuit();
  }
  return 0;
}

bool ConsoleFrame::Endpoint::Install(platform::WindowHandle window) {
  return CtPostData::Install(window, MainFrameKey(window));
}

void ConsoleFrame::Endpoint::OnPostData(platform::WindowHandle, const char*, const char* text) {
  frame_.OnStatusText(text);
}

void ConsoleFrame::OnStatusText(const std::string& text) {
  if (text.empty()) {
    output_.ShowStatus(WorkingText());
  } else if (text == "*+") {
    StopBusyTimer();
    busyTicks_ = 0;
    busyTimer_ = platform::StartTimer(window_, kBusyTimer, kBusyPeriod);
    output_.ShowStatus(CopyingText());
  } else if (text == "*-") {
    StopBusyTimer();
  } else if (text[0] != '*') {
    output_.ShowStatus(text);
  }
}

void ConsoleFrame::OnBusyTick() {
  if (++busyTicks_ > kMostBusyTicks) busyTicks_ = 1;
  const std::string text = CopyingText() + std::string(busyTicks_, '>');
  PostData(key_.c_str(), text.c_str());
}

void ConsoleFrame::StopBusyTimer() {
  if (busyTimer_) platform::StopTimer(window_, kBusyTimer);
  busyTimer_ = false;
}
