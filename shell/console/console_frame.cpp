#include "shell/console/console_frame.h"

#include "engine/status_texts.h"


namespace {

constexpr std::uintptr_t kBusyTimer = 100;

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

void ConsoleFrame::RunUntilTheRunEnds() {
  platform::Message message;
  while (platform::NextMessage(&message)) platform::DispatchToWindow(message);
  platform::StopTimer(window_, kBusyTimer);
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
  if (message == kStopMessage && wordParam == kStopCommand) {
    document_.OnMirrorStop();
  } else if (message == platform::kMessageTimer && wordParam == kBusyTimer) {
    PostData(key_.c_str(), statusLine_.Tick().c_str());
  } else if (message == kRunEndedMessage) {
    platform::PostQuit();
  }
}

void ConsoleFrame::OnStatusText(const char* text) { Show(statusLine_.Take(text)); }

void ConsoleFrame::Show(StatusLine::Change change) {
  switch (change.timer) {
    case StatusLine::BusyTimer::kKeep: break;
    case StatusLine::BusyTimer::kStart: platform::StartTimer(window_, kBusyTimer, StatusLine::kBusyPeriod); break;
    case StatusLine::BusyTimer::kStop: platform::StopTimer(window_, kBusyTimer); break;
  }
  if (change.textChanged) output_.ShowStatus(statusLine_.Text());
}
