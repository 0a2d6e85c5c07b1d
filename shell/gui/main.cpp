// The Windows program.

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "platform/paths.h"
#include "shell/gui/kelmdup_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  CKelmdupApp application;
  const std::vector<std::string> arguments = platform::CommandLineArguments(__argc, __argv);
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  if (!application.InitInstance(static_cast<int>(argv.size()), argv.data(), showCommand)) return 1;
  return application.Run();
}
