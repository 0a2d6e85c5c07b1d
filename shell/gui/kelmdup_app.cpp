#include "shell/gui/kelmdup_app.h"

#include "resources/ids.h"
#include "shell/gui/dialogs/about_dlg.h"

bool CKelmdupApp::InitInstance(int argc, const char* const* argv, int showCommand) {
  const StartupOptions options = ReadCommandLine(argc, argv);
  if (!frame_.Create({IDR_MAINFRAME, "KelmorayFrame", 860, 560, IDS_IDLE_TEXT})) return false;
  commands_ = std::make_unique<DocumentCommands>(document_, frame_.View(), frame_.Handle(), options);
  fw::CommandRoute& route = frame_.Route();
  route.Add(&frame_);
  route.Add(&frame_.View());
  route.Add(commands_.get());
  route.Add(this);
  document_.SetMainWindow(reinterpret_cast<platform::WindowHandle>(frame_.Handle()));
  frame_.SetDocumentTitle(commands_->Title());
  ShowWindow(frame_.Handle(), options.startMinimized ? SW_SHOWMINIMIZED : showCommand);
  UpdateWindow(frame_.Handle());
  if (options.automatic) PostMessageA(frame_.Handle(), WM_COMMAND, ID_MIRROR_START, 0);
  return true;
}

int CKelmdupApp::Run() { return Application::Run(frame_); }

bool CKelmdupApp::OnCommand(int id) {
  switch (id) {
    case ID_APP_ABOUT: CAboutDlg().DoModal(frame_.Handle()); return true;
    case ID_APP_EXIT: PostMessageA(frame_.Handle(), WM_CLOSE, 0, 0); return true;
    default: return false;
  }
}

std::optional<bool> CKelmdupApp::CommandEnabled(int id) {
  if (id == ID_APP_ABOUT || id == ID_APP_EXIT) return true;
  return std::nullopt;
}
