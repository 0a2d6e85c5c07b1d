#include "shell/command_line.h"

#include "platform/code_page.h"
#include "engine/messages.h"
#include "foundation/path.h"
#include "settings/stored_settings.h"

namespace {

bool HasPrefix(const std::string& arg, std::string_view option) {
  return arg.size() >= option.size() &&
         cp::EqualsNoCase(std::string_view(arg).substr(0, option.size()), option, cp::CodePage::kSingleByte);
}

std::string WithoutQuotes(std::string path) {
  if (path.empty() || path.front() != '"') return path;
  return path.size() >= 2 ? path.substr(1, path.size() - 2) : std::string();
}

}  // namespace

bool IsCommandLineOption(const std::string& arg) {
  return HasPrefix(arg, "/M") || HasPrefix(arg, "/A") || HasPrefix(arg, "/S=") || HasPrefix(arg, "/F=");
}

void ParseCommandLine(const std::vector<std::string>& args, StartupOptions& options) {
  SettingsLocation& location = options.store;
  location.setDisplayName = MessageText(kTextStandardSet);
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (HasPrefix(arg, "/M")) options.startMinimized = true;
    if (HasPrefix(arg, "/A")) options.automatic = true;
    if (HasPrefix(arg, "/S=")) {
      location.setKeySuffix = "\\S-" + arg.substr(3);
      location.setDisplayName = arg.substr(3);
    }
    if (HasPrefix(arg, "/F=")) {
      location.useSettingsFile = true;
      location.settingsFilePath = WithoutQuotes(arg.substr(3));
      CtPath path(location.settingsFilePath);
      location.setDisplayName = path.GetFileName() + path.GetExt();
    }
  }
}

RunRequest RequestToRun(const SettingsLocation& store, bool automatic) {
  return {store, ReadLogSettings(store.multiUser, LogDefaults::kRun), automatic};
}

StartupOptions ReadCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  StartupOptions options;
  ParseCommandLine(args, options);
  options.store.multiUser = ReadSettingsScope();
  return options;
}
