#include "shell/console/console_frame.h"

#include <chrono>
#include <thread>

#include "engine/status_texts.h"
#include "resources/ids.h"

namespace {

constexpr std::uintptr_t kBusyTimer = 100;
constexpr unsigned kBusyPeriod = 200;
constexpr std::uintptr_t kWatchTimer = 101;
constexpr unsigned kWatchPeriod = 50;

}  // namespace

ConsoleFrame::ConsoleFrame(CKelmdupDoc& document, ConsoleOutput& output)
    : document_(document), output_(output) {}

ConsoleFrame::~ConsoleFrame() {
  // The window goes first: its last message unhooks the endpoint, which then unregisters.
  if (window_ != 0) platform::DestroyMessageWindow(window_);
}

bool ConsoleFrame::Create() {
  window_ = platform::CreateMessageWindow(Procedure, reinterpret_cast<std::uintptr_t>(this));
  if (window_ == 0) return false;
  key_ = MainFrameKey(window_);
  endpoint_.Install(window_);  // without registration the frame only shows no texts
  output_.ShowStatus(kIdleText);
  return true;
}

platform::WordParam ConsoleFrame::StopCommand() { return ID_MIRROR_STOP; }

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
    if (document_.RunsEnded(1)) {
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
  if (auto* frame = reinterpret_cast<ConsoleFrame*>(platform::WindowData(window)))
    frame->OnMessage(message, wordParam);
  return 0;
}

void ConsoleFrame::OnMessage(unsigned message, platform::WordParam wordParam) {
  if (message == kStopMessage && wordParam == StopCommand()) {
    document_.OnMirrorStop();
  } else if (message == platform::kMessageTimer && wordParam == kBusyTimer) {
    OnBusyTick();
  } else if (message == platform::kMessageTimer && wordParam == kWatchTimer) {
    if (document_.RunsEnded(1)) platform::PostQuit();
  }
}

bool ConsoleFrame::Endpoint::Install(platform::WindowHandle window) {
  return CtPostData::Install(window, MainFrameKey(window));
}

void ConsoleFrame::Endpoint::OnPostData(platform::WindowHandle, const char*, const char* text) {
  frame_.OnStatusText(text);
}

void ConsoleFrame::OnStatusText(const char* text) {
  switch (MeaningOf(text)) {
    case StatusMeaning::kShow: output_.ShowStatus(text); break;
    case StatusMeaning::kShowWorking: output_.ShowStatus(WorkingText()); break;
    case StatusMeaning::kStartBusy:
      StopBusyTimer();
      busyTicks_ = 0;
      busyTimer_ = platform::StartTimer(window_, kBusyTimer, kBusyPeriod);
      output_.ShowStatus(CopyingText());
      break;
    case StatusMeaning::kStopBusy: StopBusyTimer(); break;
    case StatusMeaning::kNothing: break;
  }
}

void ConsoleFrame::OnBusyTick() {
  busyTicks_ = NextBusyTick(busyTicks_);
  PostData(key_.c_str(), BusyText(busyTicks_).c_str());
}

void ConsoleFrame::StopBusyTimer() {
  if (busyTimer_) platform::StopTimer(window_, kBusyTimer);
  busyTimer_ = false;
}
