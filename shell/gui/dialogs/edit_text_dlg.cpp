#include "shell/gui/dialogs/edit_text_dlg.h"

#include "resources/ids.h"

CEditTextDlg::CEditTextDlg(std::string& text) : Dialog(IDD_EDIT_TEXT), text_(text) {}

void CEditTextDlg::Exchange(fw::DataExchange& exchange) { exchange.Text(IDC_EDIT_TEXT, text_); }

bool CEditTextDlg::OnInitDialog() {
  UpdateOk();
  return true;
}

bool CEditTextDlg::OnCommand(int control, int code) {
  if (control == IDC_EDIT_TEXT && code == EN_CHANGE) UpdateOk();
  return false;
}

// An empty item would end the stored list there, losing every item behind
// it: an empty text is not accepted.
void CEditTextDlg::UpdateOk() { EnableControl(IDOK, GetWindowTextLengthA(Control(IDC_EDIT_TEXT)) > 0, IDC_EDIT_TEXT); }
