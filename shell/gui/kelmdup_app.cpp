#include "shell/gui/kelmdup_app.h"

#include "resources/ids.h"
#include "shell/command_line.h"
#include "shell/gui/about_dlg.h"

bool CKelmdupApp::InitInstance(int argc, const char* const* argv, int showCommand) {
  ReadCommandLine(argc, argv);
  if (!frame_.Create(IDR_MAINFRAME)) return false;
  commands_ = std::make_unique<DocumentCommands>(document_, frame_.View(), frame_.Handle());
  fw::CommandRoute& route = frame_.Route();
  route.Add(&frame_);
  route.Add(&frame_.View());
  route.Add(commands_.get());
  route.Add(this);
  document_.SetMainWindow(reinterpret_cast<platform::WindowHandle>(frame_.Handle()));
  frame_.SetDocumentTitle(DocumentCommands::Title());
  ShowWindow(frame_.Handle(), TheStartupFlags().startMinimized ? SW_SHOWMINIMIZED : showCommand);
  UpdateWindow(frame_.Handle());
  frame_.View().OnInitialUpdate(frame_.Handle());
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
