// The Windows program.

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "shell/gui/kelmdup_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  CKelmdupApp application;
  if (!application.InitInstance(__argc, __argv, showCommand)) return 1;
  return application.Run();
}
