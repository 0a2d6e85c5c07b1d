#include "shell/gui/options_dlg.h"

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
  const std::string question =
      "この設定は、次回起動時から有功となります。今すぐにKelmorayを終了しますか？";
  if (MessageBoxW(Handle(), platform::WideText(question).c_str(), L"Kelmoray", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
    PostMessageA(mainWindow_, WM_COMMAND, ID_APP_EXIT, 0);
  EndDialogWith(IDOK);
}
