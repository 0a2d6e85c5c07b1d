#include "shell/gui/dialogs/exclusion_list_dlg.h"

#include "framework/resource_text.h"
#include "foundation/path.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "shell/gui/dialogs/edit_text_dlg.h"
#include "shell/gui/dialogs/pickers.h"
#include "shell/gui/dialogs/storable_text.h"

namespace {

bool IsDirectoryItem(const std::string& text) { return cp::EndsWith(text, '\\'); }

}  // namespace

CExclusionListDlg::CExclusionListDlg(std::vector<std::string>& items, std::string baseFolder)
    : Dialog(IDD_EXCLUSION_LIST), items_(items), baseFolder_(std::move(baseFolder)) {}

bool CExclusionListDlg::OnInitDialog() {
  HIMAGELIST icons = fw::NewSmallImageList();
  directoryIcon_ = fw::AddSmallIcon(icons, IDI_DIRECTORY_ITEM);
  fileIcon_ = fw::AddSmallIcon(icons, IDI_FILE_ITEM);
  list_.Attach(Control(IDC_EXCLUSION_LIST), icons);
  list_.AddColumn(fw::LoadText(IDS_EXCLUSION_COLUMN), 400);
  for (const std::string& item : items_) list_.AddRow(item, IsDirectoryItem(item) ? directoryIcon_ : fileIcon_);
  UpdateButtons();
  return true;
}

bool CExclusionListDlg::OnCommand(int control, int code) {
  if (code != BN_CLICKED) return false;
  switch (control) {
    case IDC_ADD_DIRECTORY: AddDirectory(); return true;
    case IDC_ADD_FILES: AddFiles(); return true;
    case IDC_DELETE: DeleteSelected(); return true;
    case IDC_EDIT: EditSelected(); return true;
    default: return false;
  }
}

LRESULT CExclusionListDlg::OnNotify(NMHDR* header) {
  if (header->hwndFrom != list_.Handle()) return 0;
  // A click updates the buttons, and so does a selection made with the keys.
  if (header->code == NM_CLICK || header->code == LVN_ITEMCHANGED) UpdateButtons();
  if (header->code == NM_DBLCLK) EditSelected();
  return 0;
}

void CExclusionListDlg::UpdateButtons() {
  const size_t selected = list_.SelectedRows().size();
  EnableControl(IDC_DELETE, selected >= 1, IDC_EXCLUSION_LIST);
  EnableControl(IDC_EDIT, selected == 1, IDC_EXCLUSION_LIST);
}

int CExclusionListDlg::RowWithText(const std::string& text) const {
  const std::string wanted = cp::ToUpperAscii(text);
  for (int row = 0; row < list_.RowCount(); ++row)
    if (cp::ToUpperAscii(list_.Text(row)) == wanted) return row;
  return -1;
}

void CExclusionListDlg::AddDirectory() {
  std::string picked;
  BrowseForFolder(Handle(), fw::LoadText(IDS_PICK_EXCLUDED_FOLDER), baseFolder_,
                  picked);
  if (picked.empty() || !StorableOrSaid(Handle(), picked)) return;
  picked = NormalizeDirPath(picked);
  if (RowWithText(picked) >= 0) return;
  list_.ClearSelection();
  const int row = list_.AddRow(picked, directoryIcon_);
  list_.Select(row, true);
  list_.ShowRow(row);
}

void CExclusionListDlg::AddFiles() {
  FileRequest request;
  request.owner = Handle();
  request.title = fw::LoadText(IDS_PICK_EXCLUDED_FILE);
  request.initialDirectory = baseFolder_;
  request.filter = fw::LoadText(IDS_ALL_FILES_FILTER);
  request.several = true;
  std::vector<std::string> chosen;
  if (!ThePickers().OpenFiles(request, &chosen)) return;
  list_.ClearSelection();
  for (const std::string& path : chosen) {
    if (!StorableOrSaid(Handle(), path)) continue;
    int row = RowWithText(path);
    if (row < 0) row = list_.AddRow(path, fileIcon_);
    list_.Select(row, true);
    list_.ShowRow(row);
  }
}

void CExclusionListDlg::DeleteSelected() {
  const std::vector<int> selected = list_.SelectedRows();
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) list_.DeleteRow(*row);
}

void CExclusionListDlg::EditSelected() {
  const std::vector<int> selected = list_.SelectedRows();
  if (selected.empty()) return;
  const int row = selected.front();
  std::string text = list_.Text(row);
  const bool directory = IsDirectoryItem(text);
  if (CEditTextDlg(text).DoModal(Handle()) != IDOK || !StorableOrSaid(Handle(), text)) return;
  list_.SetText(row, 0, directory ? NormalizeDirPath(text) : text);
}

void CExclusionListDlg::OnOK() {
  items_.clear();
  for (int row = 0; row < list_.RowCount(); ++row) items_.push_back(list_.Text(row));
  Dialog::OnOK();
}
