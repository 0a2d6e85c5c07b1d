#include "shell/gui/dialogs/entry_properties_dlg.h"

#include <vector>

#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "shell/gui/dialogs/exclusion_list_dlg.h"
#include "shell/gui/dialogs/pickers.h"
#include "shell/gui/dialogs/storable_text.h"

CEntryPropertiesDlg::CEntryPropertiesDlg(MirrorEntry& entry)
    : Dialog(IDD_ENTRY_PROPERTIES), entry_(entry), working_(entry) {}

void CEntryPropertiesDlg::Exchange(fw::DataExchange& exchange) {
  exchange.Text(IDC_NAME, working_.name);
  exchange.Text(IDC_SOURCE, working_.source);
  exchange.Text(IDC_DESTINATION, working_.destination);
  exchange.Check(IDC_SUBDIR, working_.subdir);
  exchange.Check(IDC_DESTINATIONDIR_DELETE, working_.destinationdir_delete);
  exchange.Check(IDC_DESTINATION_DELETE, working_.destination_delete);
  exchange.Check(IDC_READONLY_FILES, working_.readonly_files);
  exchange.Check(IDC_HIDDEN_FILES, working_.hidden_files);
  exchange.Check(IDC_SYSTEM_FILES, working_.system_files);
  exchange.Check(IDC_ATTRIBUTE, working_.attribute);
  exchange.Check(IDC_USE_ARCHIVE, working_.use_archive);
  exchange.Check(IDC_USE_WILDCARD, working_.use_wildcard);
  exchange.Text(IDC_WILDCARD, working_.wildcard);
  exchange.Text(IDC_NOMIRROREXT, working_.nomirrext);
}

bool CEntryPropertiesDlg::OnInitDialog() {
  ApplyEnablingRule();
  ApplySubdirectoryRule(true);
  return true;
}

// OK only with a name and both directories (spaces count as text); the
// pattern only while "specify how files are searched for" is ticked.
void CEntryPropertiesDlg::ApplyEnablingRule() {
  const bool complete = !Text(IDC_NAME).empty() && !Text(IDC_SOURCE).empty() &&
                        !Text(IDC_DESTINATION).empty();
  EnableControl(IDOK, complete, IDC_NAME);
  EnableControl(IDC_WILDCARD, Checked(IDC_USE_WILDCARD), IDC_USE_WILDCARD);
}

// With subdirectories the destination is examined at every depth anyway:
// the box is ticked and fixed. Without, it offers the choice, cleared each
// time subdirectories are cleared. At opening it shows the entry's stored
// choice, so that confirming without a change keeps it.
void CEntryPropertiesDlg::ApplySubdirectoryRule(bool opening) {
  const bool subdir = Checked(IDC_SUBDIR);
  EnableControl(IDC_DESTINATIONDIR_DELETE, !subdir, IDC_SUBDIR);
  const bool ticked = subdir || (opening && entry_.destinationdir_delete);
  CheckDlgButton(Handle(), IDC_DESTINATIONDIR_DELETE, ticked ? BST_CHECKED : BST_UNCHECKED);
}

bool CEntryPropertiesDlg::OnCommand(int control, int code) {
  switch (control) {
    case IDC_NAME:
    case IDC_SOURCE:
    case IDC_DESTINATION:
      if (code == EN_CHANGE) ApplyEnablingRule();
      return code == EN_CHANGE;
    case IDC_USE_WILDCARD: ApplyEnablingRule(); return true;
    case IDC_SUBDIR:
      ApplyEnablingRule();
      ApplySubdirectoryRule(false);
      return true;
    case IDC_BROWSE_SOURCE: Browse(IDC_SOURCE, fw::LoadText(IDS_PICK_SOURCE)); return true;
    case IDC_BROWSE_DESTINATION: Browse(IDC_DESTINATION, fw::LoadText(IDS_PICK_DESTINATION)); return true;
    case IDC_EXCLUSIONS: OpenExclusions(); return true;
    default: return false;
  }
}

void CEntryPropertiesDlg::Browse(int edit, const std::string& title) {
  const std::string current = Text(edit);
  std::string picked = current;
  BrowseForFolder(Handle(), title, current, picked);
  if (picked != current && StorableOrSaid(Handle(), picked)) SetText(edit, picked);
  ApplyEnablingRule();
}

// What the exclusion list dialog confirms reaches the entry at once,
// whatever becomes of this dialog.
void CEntryPropertiesDlg::OpenExclusions() {
  CExclusionListDlg(entry_.nomirror, Text(IDC_SOURCE)).DoModal(Handle());
}

void CEntryPropertiesDlg::OnOK() {
  if (!ControlsStorableOrSaid(*this, {IDC_NAME, IDC_SOURCE, IDC_DESTINATION, IDC_WILDCARD, IDC_NOMIRROREXT})) return;
  ExchangeAll(fw::DataExchange::Direction::kFromControls);
  std::vector<std::string> exclusions = std::move(entry_.nomirror);
  entry_ = working_;
  entry_.nomirror = std::move(exclusions);
  EndDialogWith(IDOK);
}
