#include "shell/gui/dialogs/log_settings_dlg.h"

#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "shell/gui/dialogs/pickers.h"
#include "shell/gui/dialogs/storable_text.h"
#include "settings/settings_location.h"

CLogSettingsDlg::CLogSettingsDlg(int multiUser)
    : Dialog(IDD_LOG_SETTINGS), multiUser_(multiUser), settings_(ReadLogSettings(multiUser, LogDefaults::kDialog)) {}

void CLogSettingsDlg::Exchange(fw::DataExchange& exchange) {
  exchange.Text(IDC_LOG_DIR, settings_.logDir);
  exchange.Text(IDC_LOG_NAME, settings_.logName);
  exchange.Check(IDC_SUCCESS_LOG, settings_.okLogOut);
  exchange.Check(IDC_ERROR_LOG, settings_.errorLogOut);
}

bool CLogSettingsDlg::OnInitDialog() {
  ApplyEnablingRule();
  return true;
}

bool CLogSettingsDlg::OnCommand(int control, int code) {
  if (code != BN_CLICKED) return false;
  switch (control) {
    case IDC_SUCCESS_LOG:
    case IDC_ERROR_LOG: ApplyEnablingRule(); return true;
    case IDC_LOG_BROWSE: Browse(); return true;
    default: return false;
  }
}

// Where and how to log matters only while something is logged.
void CLogSettingsDlg::ApplyEnablingRule() {
  const bool logging = Checked(IDC_SUCCESS_LOG) || Checked(IDC_ERROR_LOG);
  for (const int control : {IDC_LOG_DIR, IDC_LOG_BROWSE, IDC_LOG_NAME}) EnableWindow(Control(control), logging);
}

void CLogSettingsDlg::Browse() {
  std::string directory = Text(IDC_LOG_DIR);
  BrowseForFolder(Handle(), fw::LoadText(IDS_PICK_LOG_DIRECTORY), "", directory);
  if (StorableOrSaid(Handle(), directory)) SetText(IDC_LOG_DIR, directory);
}

// The values come out of the controls and the dialog ends; then they are written.
void CLogSettingsDlg::OnOK() {
  if (!ControlsStorableOrSaid(*this, {IDC_LOG_DIR, IDC_LOG_NAME})) return;
  Dialog::OnOK();
  WriteLogSettings(multiUser_, settings_);
}
