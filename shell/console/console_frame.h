#pragma once
// The console's main frame: a message-only window registered on the posting
// channel under MainFrameKey. It shows the status texts on the terminal's
// status line, runs the busy indicator while a file is copied, takes the
// stop command, and runs the message loop until the run's end notice.

#include <cstdint>
#include <string>

#include "engine/kelmdup_doc.h"
#include "engine/status_texts.h"
#include "shell/console/console_output.h"

class ConsoleFrame {
 public:
  ConsoleFrame(CKelmdupDoc& document, ConsoleOutput& output);
  ~ConsoleFrame();
  ConsoleFrame(const ConsoleFrame&) = delete;
  ConsoleFrame& operator=(const ConsoleFrame&) = delete;

  // Creates the window on this thread and registers it; false when the window cannot be made.
  bool Create();
  platform::WindowHandle Window() const { return window_; }
  // The stop command as a message: from any thread, it is handled on the frame's.
  static constexpr unsigned kStopMessage = platform::kMessageUser + 1;
  static constexpr platform::WordParam kStopCommand = 0;
  // Handles messages until the run that was started has ended.
  void RunUntilTheRunEnds();

 private:
  // Finds its frame through the window's data.
  static platform::MessageResult KELMORAY_CALLBACK Procedure(platform::WindowHandle window,
                                                             unsigned message,
                                                             platform::WordParam wordParam,
                                                             platform::LongParam longParam);
  void OnMessage(unsigned message, platform::WordParam wordParam);
  void OnStatusText(const char* text);
  void Show(StatusLine::Change change);

  CKelmdupDoc& document_;
  ConsoleOutput& output_;
  platform::WindowHandle window_ = 0;
  std::string key_;
  StatusLine statusLine_;
  MainFrameEndpoint endpoint_{[this](const char* text) { OnStatusText(text); }};
};
