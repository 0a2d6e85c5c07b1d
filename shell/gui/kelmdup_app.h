#pragma once
// The application: reads the command line and the settings scope, makes the
// document, the main frame and its view, shows the main window and runs the
// message loop. It handles the about box and the exit command.

#include <memory>
#include <optional>

#include "engine/kelmdup_doc.h"
#include "framework/application.h"
#include "shell/gui/document_commands.h"
#include "shell/gui/main_frame.h"

class CKelmdupApp : public fw::Application {
 public:
  // Start-up: false when the main window could not be made.
  bool InitInstance(int argc, const char* const* argv, int showCommand);
  // Runs until the main window has gone; the exit code.
  int Run();

  bool OnCommand(int id) override;
  std::optional<bool> CommandEnabled(int id) override;

  CKelmdupDoc& Document() { return document_; }
  CMainFrame& Frame() { return frame_; }

 private:
  // The document goes first: its worker ends while the view still takes lines.
  CMainFrame frame_{document_};
  CKelmdupDoc document_;
  std::unique_ptr<DocumentCommands> commands_;
};
