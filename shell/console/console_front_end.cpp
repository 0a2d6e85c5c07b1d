#include "shell/console/console_front_end.h"

#include <atomic>
#include <cstdio>

#include "engine/kelmdup_doc.h"
#include "engine/messages.h"
#include "platform/console.h"
#include "platform/file_operations.h"
#include "platform/paths.h"
#include "settings/entry_storage.h"
#include "settings/stored_settings.h"
#include "shell/command_line.h"
#include "shell/console/console_frame.h"
#include "shell/console/console_options.h"
#include "shell/console/console_output.h"
#include "shell/console/escaped_column.h"

namespace {

// Prints each report line: the message's text, then the two columns.
class ConsoleView : public ProgressView {
 public:
  explicit ConsoleView(ConsoleOutput& output) : output_(output) {}
  // A line nobody can read any more stops the run, as Ctrl+C does: a
  // scheduled run must not go on unseen, nor be killed mid-copy.
  void AddLine(int id, const std::string& source, const std::string& destination) override {
    const bool written =
        output_.PrintLine(MessageText(id) + "\t" + EscapedColumn(source) + "\t" + EscapedColumn(destination));
    if (!written && !outputLost_.exchange(true)) platform::RaiseInterrupt();
  }

 private:
  ConsoleOutput& output_;
  std::atomic<bool> outputLost_{false};
};

// A settings file named with /F= must be there: a scheduled run must not
// quietly mirror nothing.
bool SettingsFileReadable(const SettingsLocation& location) {
  if (!location.useSettingsFile) return true;
  return platform::CheckReadable(location.settingsFilePath) && !platform::IsDirectory(location.settingsFilePath);
}

// Why the run cannot start: a scheduled run must not mirror nothing, or
// entries that someone else planted, and call it a success.
void PrintStoreProblem(const StoreProblem& problem) {
  const char* where = problem.where.c_str();
  switch (problem.state) {
    case platform::StoreState::kUsable: return;
    case platform::StoreState::kNoHome:
      std::fprintf(stderr, "kelmoray: the per-user settings cannot be found: neither HOME nor XDG_CONFIG_HOME is set\n");
      return;
    case platform::StoreState::kUntrusted:
      std::fprintf(stderr, "kelmoray: the settings store %s belongs to another user or others may write it: not used\n",
                   where);
      return;
    case platform::StoreState::kUnreadable:
      std::fprintf(stderr, "kelmoray: cannot read the settings store %s\n", where);
      return;
  }
}

int Run(const RunRequest& request) {
  ConsoleOutput output;
  ConsoleView view(output);
  CKelmdupDoc document;
  ConsoleFrame frame(document, output);
  if (!frame.Create()) {
    std::fputs("kelmoray: cannot create the status window\n", stderr);
    return kExitCannotStart;
  }
  platform::PostInterruptsTo(frame.Window(), ConsoleFrame::kStopMessage, ConsoleFrame::kStopCommand);
  document.SetMainWindow(frame.Window());
  if (!document.OnMirrorStart(&view, request)) {
    std::fputs("kelmoray: cannot start the run\n", stderr);
    return kExitCannotStart;
  }
  frame.RunUntilTheRunEnds();
  platform::PostInterruptsTo(0, 0, 0);
  platform::NoteRunEnded();
  output.ClearStatus();
  std::fflush(stdout);
  const RunOutcome outcome = document.LastOutcome();
  if (outcome.interrupted) return kExitInterrupted;
  return outcome.errorLines != 0 ? kExitErrors : kExitClean;
}

}  // namespace

int RunConsole(const std::vector<std::string>& arguments) {
  platform::WatchInterrupts();
  // Until the run starts nothing is changed: an interrupt ends the program at
  // once, even while it waits for a busy settings store.
  platform::EndOnEarlyInterrupts(kExitInterrupted);
  ConsoleOptions options;
  std::string problem;
  if (!ParseConsoleOptions(arguments, &options, &problem)) {
    std::fprintf(stderr, "kelmoray: %s\nTry 'kelmoray --help'.\n", problem.c_str());
    return kExitCannotStart;
  }
  std::vector<std::string> commandLine{"kelmoray"};
  commandLine.insert(commandLine.end(), options.systemOptions.begin(), options.systemOptions.end());
  StartupOptions startup;
  ParseCommandLine(commandLine, startup);
  SettingsLocation& store = startup.store;
  store.multiUser = ReadSettingsScope();
  if (options.help) {
    PrintHelp();
    return kExitClean;
  }
  if (options.settingsOnly) {
    platform::EndOnEarlyInterrupts(-1);  // the values it stores are not to be left half done
    return ApplySettingsOptions(options, store.multiUser);
  }
  if (!SettingsFileReadable(store)) {
    std::fprintf(stderr, "kelmoray: cannot read the settings file %s\n", store.settingsFilePath.c_str());
    return kExitCannotStart;
  }
  if (const StoreProblem problem = FindStoreProblem(store)) {
    PrintStoreProblem(problem);
    return kExitCannotStart;
  }
  return Run(RequestToRun(store, true));
}
