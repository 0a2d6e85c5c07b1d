#pragma once
// The list of mirror entries: add, delete and edit entries (in the
// properties dialog), import a list from a settings file and export it to
// one. The dialog works on its own copy of the list and writes it to the
// store that SettingsLocation names when it is confirmed.

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/list_control.h"
#include "settings/mirror_entry.h"

class CSettingsListDlg : public fw::Dialog {
 public:
  CSettingsListDlg();
  // The label that names the store OK writes: "設定ファイル : name" or "設定セット : name".
  static std::string StoreLabel();

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int control, int code) override;
  LRESULT OnNotify(NMHDR* header) override;
  void OnOK() override;

 private:
  void Refresh();
  void SelectRow(int row);
  void UpdateButtons();
  int SelectedEntry() const;  // -1: none
  void Add();
  void Delete();
  void ShowProperties();
  void Import();
  void Export();
  void SaySaveFailed(const std::string& where);

  std::vector<MirrorEntry> entries_;
  fw::ListControl list_;
};
