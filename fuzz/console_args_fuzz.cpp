// Feeds argument lists (split at zero bytes and line ends) to ParseConsoleOptions and ParseCommandLine.
#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "settings/settings_location.h"
#include "shell/command_line.h"
#include "shell/console/console_options.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// How the program recognises an option: its first characters, letter case
// aside. No argument holds a zero byte: the input is split at them.
bool Matches(const std::string& arg, const char* option) {
  return strncasecmp(arg.c_str(), option, std::strlen(option)) == 0;
}

// Applies args (the program name first) to options of its own and checks
// them against the option table.
void CheckCommandLine(const std::vector<std::string>& args) {
  StartupOptions options;
  ParseCommandLine(args, options);
  const SettingsLocation& location = options.store;
  bool minimized = false, automatic = false;
  const std::string *set = nullptr, *file = nullptr, *named = nullptr;  // named: the later of the two
  for (size_t i = 1; i < args.size(); ++i) {
    minimized |= Matches(args[i], "/M");
    automatic |= Matches(args[i], "/A");
    if (Matches(args[i], "/S=")) named = set = &args[i];
    if (Matches(args[i], "/F=")) named = file = &args[i];
  }
  Check(options.startMinimized == minimized && options.automatic == automatic);
  Check(location.multiUser == 1 && location.useSettingsFile == (file != nullptr));
  Check(location.setKeySuffix == (set != nullptr ? "\\S-" + set->substr(3) : std::string()));
  // Quotes around the path are dropped; an unquoted path stays as given.
  const std::string given = file != nullptr ? file->substr(3) : std::string();
  const std::string& path = location.settingsFilePath;
  if (given.empty() || given.front() != '"') Check(path == given);
  else if (given.size() >= 2 && given.back() == '"') Check(path == given.substr(1, given.size() - 2));
  if (named == nullptr) Check(location.setDisplayName == MessageText(kTextStandardSet));
  else if (named == set) Check(location.setDisplayName == set->substr(3));
  else Check(location.setDisplayName.find('/') == std::string::npos);  // a file's name and extension
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\0' || data[i] == '\n') args.emplace_back();
    else args.back() += static_cast<char>(data[i]);
  }
  CheckCommandLine(args);

  // The console's own arguments follow the program name, as in main.
  const std::vector<std::string> arguments(args.begin() + 1, args.end());
  ConsoleOptions options;
  std::string problem;
  if (!ParseConsoleOptions(arguments, &options, &problem)) {
    Check(problem.rfind("bad argument '", 0) == 0 && problem.back() == '\'');
    return 0;
  }
  Check(problem.empty());
  size_t systemOptions = 0;  // "/..." options, and "--set=" and "--file=" as their "/" twins
  for (const std::string& a : arguments)
    systemOptions += IsCommandLineOption(a) || a.rfind("--set=", 0) == 0 || a.rfind("--file=", 0) == 0;
  Check(options.systemOptions.size() == systemOptions);
  for (const std::string& option : options.systemOptions) Check(IsCommandLineOption(option));
  for (const std::optional<int>* flag : {&options.okLogOut, &options.errorLogOut, &options.multiUser})
    Check(!*flag || **flag == 0 || **flag == 1);
  // A log directory is stored absolute and ends in a separator: the log's file name follows it.
  if (options.logDir && !options.logDir->empty())
    Check(options.logDir->front() == '/' && options.logDir->back() == '/');
  if (options.logDir || options.logName || options.okLogOut || options.errorLogOut || options.multiUser)
    Check(options.settingsOnly);
  std::vector<std::string> commandLine{"kelmoray"};
  commandLine.insert(commandLine.end(), options.systemOptions.begin(), options.systemOptions.end());
  CheckCommandLine(commandLine);
  return 0;
}
