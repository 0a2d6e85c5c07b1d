#include "shell/command_line.h"

#include "platform/code_page.h"
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

StartupFlags& TheStartupFlags() {
  static StartupFlags flags;
  return flags;
}

bool IsCommandLineOption(const std::string& arg) {
  return HasPrefix(arg, "/M") || HasPrefix(arg, "/A") || HasPrefix(arg, "/S=") || HasPrefix(arg, "/F=");
}

void ParseCommandLine(const std::vector<std::string>& args, SettingsLocation& location, StartupFlags& flags) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (HasPrefix(arg, "/M")) flags.startMinimized = 1;
    if (HasPrefix(arg, "/A")) flags.autoRun = 1;
    if (HasPrefix(arg, "/S=")) {
      location.setKeySuffix = "\\S-" + arg.substr(3);
      location.setDisplayName = arg.substr(3);
    }
    if (HasPrefix(arg, "/F=")) {
      location.useSettingsFile = 1;
      location.settingsFilePath = WithoutQuotes(arg.substr(3));
      CtPath path(location.settingsFilePath);
      location.setDisplayName = path.GetFileName() + path.GetExt();
    }
  }
}

void ReadCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  SettingsLocation& location = TheSettingsLocation();
  ParseCommandLine(args, location, TheStartupFlags());
  location.multiUser = ReadSettingsScope();
}
