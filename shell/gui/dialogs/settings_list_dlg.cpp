#include "shell/gui/dialogs/settings_list_dlg.h"

#include "foundation/profile.h"
#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "shell/gui/dialogs/entry_properties_dlg.h"
#include "shell/gui/dialogs/pickers.h"
#include "settings/entry_storage.h"
#include "settings/settings_location.h"
#include "platform/win32/wide_text.h"

namespace {

// A new entry: everything mirrored, deleting too, nothing excluded.
MirrorEntry NewEntry(int number) {
  MirrorEntry entry;
  entry.name = FormatOne(fw::LoadText(IDS_NEW_ENTRY_NAME).c_str(), number);
  entry.subdir = entry.destination_delete = entry.hidden_files = entry.system_files = 1;
  entry.readonly_files = entry.attribute = 1;
  entry.wildcard = "*.*";
  return entry;
}

FileRequest SettingsFileRequest(HWND owner) {
  FileRequest request;
  request.owner = owner;
  request.defaultExtension = "kyf";
  request.filter = fw::LoadText(IDS_SETTINGS_FILE_FILTER);
  return request;
}

}  // namespace

CSettingsListDlg::CSettingsListDlg(const SettingsLocation& store) : Dialog(IDD_SETTINGS_LIST), store_(store) {}

std::string CSettingsListDlg::StoreLabel(const SettingsLocation& store) {
  return fw::LoadText(store.useSettingsFile ? IDS_SETTINGS_FILE_LABEL : IDS_SETTINGS_SET_LABEL) + store.setDisplayName;
}

bool CSettingsListDlg::OnInitDialog() {
  SetText(IDC_STORE_LABEL, StoreLabel(store_));
  list_.Attach(Control(IDC_ENTRY_LIST));
  SendMessageA(list_.Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  list_.AddColumn(fw::LoadText(IDS_ENTRY_NAME_COLUMN), 100);
  list_.AddColumn(fw::LoadText(IDS_SOURCE_DIRECTORY_COLUMN), 300);
  entries_ = LoadEntryList(store_);
  Refresh();
  SelectRow(0);
  return true;
}

bool CSettingsListDlg::OnCommand(int control, int code) {
  if (code != BN_CLICKED) return false;
  switch (control) {
    case IDC_ADD: Add(); return true;
    case IDC_DELETE: Delete(); return true;
    case IDC_PROPERTIES: ShowProperties(); return true;
    case IDC_IMPORT: Import(); return true;
    case IDC_EXPORT: Export(); return true;
    default: return false;
  }
}

LRESULT CSettingsListDlg::OnNotify(NMHDR* header) {
  if (header->hwndFrom != list_.Handle()) return 0;
  if (header->code == NM_CLICK || header->code == LVN_ITEMCHANGED) UpdateButtons();
  if (header->code == NM_DBLCLK) ShowProperties();
  return 0;
}

void CSettingsListDlg::Refresh() {
  list_.DeleteAllRows();
  for (const MirrorEntry& entry : entries_) {
    const int row = list_.AddRow(entry.name);
    list_.SetText(row, 1, entry.source);
  }
  UpdateButtons();
}

void CSettingsListDlg::SelectRow(int row) {
  list_.ClearSelection();
  if (row >= 0 && row < list_.RowCount()) {
    list_.Select(row, true);
    list_.ShowRow(row);
  }
  UpdateButtons();
}

void CSettingsListDlg::UpdateButtons() {
  const bool selected = SelectedEntry() >= 0;
  EnableControl(IDC_DELETE, selected, IDC_ENTRY_LIST);
  EnableControl(IDC_PROPERTIES, selected, IDC_ENTRY_LIST);
}

int CSettingsListDlg::SelectedEntry() const {
  const std::vector<int> rows = list_.SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

// The store holds at most 256 entries: at 256, Add does nothing.
void CSettingsListDlg::Add() {
  const int count = static_cast<int>(entries_.size());
  if (count >= kMaxEntries) return;
  entries_.push_back(NewEntry(count + 1));
  if (CEntryPropertiesDlg(entries_.back()).DoModal(Handle()) != IDOK) entries_.pop_back();
  Refresh();
  SelectRow(count);
}

void CSettingsListDlg::Delete() {
  const int at = SelectedEntry();
  if (at < 0) return;
  entries_.erase(entries_.begin() + at);
  Refresh();
  SelectRow(at < static_cast<int>(entries_.size()) ? at : at - 1);
}

void CSettingsListDlg::ShowProperties() {
  const int at = SelectedEntry();
  if (at < 0) return;
  CEntryPropertiesDlg(entries_[static_cast<size_t>(at)]).DoModal(Handle());
  Refresh();
  SelectRow(at);
}

void CSettingsListDlg::Import() {
  std::vector<std::string> chosen;
  if (!ThePickers().OpenFiles(SettingsFileRequest(Handle()), &chosen) || chosen.empty()) return;
  entries_ = LoadEntryList(store_, chosen.front());
  Refresh();
}

void CSettingsListDlg::Export() {
  FileRequest request = SettingsFileRequest(Handle());
  request.initialName = fw::LoadText(IDS_SETTINGS_FILE_NAME);
  std::string chosen;
  if (ThePickers().SaveFile(request, &chosen) && !SaveEntryList(entries_, store_, chosen)) SaySaveFailed(chosen);
}

// A list that could not be saved stays in the dialog: the user may choose
// another place (Export) or cancel knowingly.
void CSettingsListDlg::OnOK() {
  if (!SaveEntryList(entries_, store_)) {
    SaySaveFailed(store_.useSettingsFile ? store_.settingsFilePath : StoreLabel(store_));
    return;
  }
  EndDialogWith(IDOK);
}

void CSettingsListDlg::SaySaveFailed(const std::string& where) {
  const std::string text = fw::LoadText(IDS_SAVE_FAILED) + "\r\n" + where;
  fw::ShowError(Handle(), IDS_APPLICATION_TITLE, text);
}
