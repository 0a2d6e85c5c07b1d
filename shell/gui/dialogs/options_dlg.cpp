#include "shell/gui/dialogs/options_dlg.h"

#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "settings/stored_settings.h"
#include "platform/win32/wide_text.h"

COptionsDlg::COptionsDlg(HWND mainWindow) : Dialog(IDD_OPTIONS), mainWindow_(mainWindow) {}

bool COptionsDlg::OnInitDialog() {
  CheckRadioButton(Handle(), IDC_PER_USER, IDC_ALL_USERS, ReadSettingsScope() ? IDC_PER_USER : IDC_ALL_USERS);
  return true;
}

void COptionsDlg::OnOK() {
  WriteSettingsScope(Checked(IDC_PER_USER) ? 1 : 0);
  const std::wstring question = platform::WideText(fw::LoadText(IDS_OPTIONS_QUESTION));
  const std::wstring title = platform::WideText(fw::LoadText(IDS_APPLICATION_TITLE));
  if (MessageBoxW(Handle(), question.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
    PostMessageA(mainWindow_, WM_COMMAND, ID_APP_EXIT, 0);
  EndDialogWith(IDOK);
}
