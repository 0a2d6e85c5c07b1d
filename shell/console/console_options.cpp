#include "shell/console/console_options.h"

#include <cstdio>

#include "platform/code_page.h"
#include "platform/paths.h"
#include "shell/command_line.h"
#include "shell/console/console_front_end.h"
#include "settings/stored_settings.h"

namespace {

// "--name=value": the value when the argument is that option.
std::optional<std::string> ValueOf(const std::string& argument, const char* name) {
  const std::string prefix = std::string("--") + name + "=";
  if (argument.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  return argument.substr(prefix.size());
}

// A log directory as given on the command line: taken from the current
// directory when relative (a scheduled run starts elsewhere), and ended by
// a separator, since the log's file name is put right after it.
std::string LogDirectoryText(const std::string& given) {
  if (given.empty()) return given;
  std::string directory = platform::AbsolutePath(given);
  const char separator = platform::NativePathStyle() == platform::PathStyle::kWindows ? '\\' : '/';
  if (!cp::EndsWith(directory, separator) && !cp::EndsWith(directory, '/')) directory += separator;
  return directory;
}

bool ParseFlag(const std::string& text, std::optional<int>* flag) {
  if (text != "0" && text != "1") return false;
  *flag = text == "1" ? 1 : 0;
  return true;
}

}  // namespace

bool ParseConsoleOptions(const std::vector<std::string>& arguments, ConsoleOptions* options,
                         std::string* problem) {
  for (const std::string& argument : arguments) {
    bool understood = true;
    if (argument == "--help" || argument == "-h") {
      options->help = true;
    } else if (IsCommandLineOption(argument)) {
      options->systemOptions.push_back(argument);
    } else if (auto set = ValueOf(argument, "set")) {
      options->systemOptions.push_back("/S=" + *set);
    } else if (auto file = ValueOf(argument, "file")) {
      options->systemOptions.push_back("/F=" + *file);
    } else if (argument == "--show-settings") {
      options->settingsOnly = true;
    } else if (auto dir = ValueOf(argument, "log-dir")) {
      options->logDir = LogDirectoryText(*dir);
    } else if (auto name = ValueOf(argument, "log-name")) {
      options->logName = *name;
    } else if (auto ok = ValueOf(argument, "success-log")) {
      understood = ParseFlag(*ok, &options->okLogOut);
    } else if (auto error = ValueOf(argument, "error-log")) {
      understood = ParseFlag(*error, &options->errorLogOut);
    } else if (auto scope = ValueOf(argument, "multi-user")) {
      understood = ParseFlag(*scope, &options->multiUser);
    } else {
      understood = false;
    }
    if (!understood) {
      *problem = "bad argument '" + argument + "'";
      return false;
    }
  }
  options->settingsOnly = options->settingsOnly || options->logDir || options->logName ||
                          options->okLogOut || options->errorLogOut || options->multiUser;
  return true;
}

int ApplySettingsOptions(const ConsoleOptions& options, int multiUser) {
  LogSettings log = ReadLogSettings(multiUser, LogDefaults::kDialog);
  if (options.logDir || options.logName || options.okLogOut || options.errorLogOut) {
    if (options.logDir) log.logDir = *options.logDir;
    if (options.logName) log.logName = *options.logName;
    if (options.okLogOut) log.okLogOut = *options.okLogOut != 0;
    if (options.errorLogOut) log.errorLogOut = *options.errorLogOut != 0;
    WriteLogSettings(multiUser, log);
  }
  if (options.multiUser) WriteSettingsScope(*options.multiUser);
  std::printf("LogDir=%s\nLogName=%s\nOkLogOut=%d\nErrorLogOut=%d\nmultiUser=%d\n", log.logDir.c_str(),
              log.logName.c_str(), log.okLogOut ? 1 : 0, log.errorLogOut ? 1 : 0,
              options.multiUser ? *options.multiUser : ReadSettingsScope());
  return kExitClean;
}

void PrintHelp() {
  std::fputs(
      "Usage: kelmoray [options]\n"
      "Mirrors every entry of the settings store once: each destination tree is\n"
      "brought into line with its source. Each action and failure is printed as a\n"
      "line (status, source, destination, separated by tabs) and, as the log\n"
      "settings ask, written to the dated run log. On a terminal, standard error\n"
      "shows what the run is doing. Ctrl+C, SIGTERM or a closed terminal stops the\n"
      "run after the file in progress.\n"
      "\n"
      "Where the entries are:\n"
      "  /S=NAME, --set=NAME     the named settings set\n"
      "  /F=PATH, --file=PATH    a settings file (.kyf); it must exist\n"
      "  /A, /M                  accepted, and change nothing here; other \"/\"\n"
      "                          options are refused\n"
      "\n"
      "Stored settings (no run; the values are printed, then stored ones change):\n"
      "  --show-settings         print the log settings and the settings scope\n"
      "  --log-dir=DIR           directory of the log files (taken from the current\n"
      "                          directory when relative; a separator is added)\n"
      "  --log-name=PATTERN      log file name, strftime pattern (default %y_%m_%d.log)\n"
      "  --success-log=0|1       log successful actions\n"
      "  --error-log=0|1         log failures\n"
      "  --multi-user=0|1        1: settings per user; 0: shared by all users\n"
      "                          (takes effect at the next start)\n"
      "\n"
      "Exit status: 0 no error line, 1 some item failed or an entry was skipped,\n"
      "2 the run was interrupted (stop or full disk), 3 it could not start.\n",
      stdout);
}
