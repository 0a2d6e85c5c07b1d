#pragma once
// The document's part of the command route: the mirroring commands, their
// enabling by the run state (one table), and the document's title. It
// builds each run's request from the program's start-up options.

#include <windows.h>

#include <optional>
#include <string>

#include "engine/kelmdup_doc.h"
#include "framework/command_target.h"
#include "shell/command_line.h"

class DocumentCommands : public fw::CommandTarget {
 public:
  // `view` receives the lines of the runs; `mainWindow` owns the dialogs.
  DocumentCommands(CKelmdupDoc& document, ProgressView& view, HWND mainWindow, const StartupOptions& options);

  bool OnCommand(int id) override;
  std::optional<bool> CommandEnabled(int id) override;

  // The document's title: the store's display name ("標準", a set's name, a file's name).
  std::string Title() const { return options_.store.setDisplayName; }

 private:
  bool SettingsReadable();
  void StartRun();

  CKelmdupDoc& document_;
  ProgressView& view_;
  HWND mainWindow_;
  const StartupOptions options_;
};
