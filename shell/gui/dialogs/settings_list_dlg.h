#pragma once
// The list of mirror entries: add, delete and edit entries (in the
// properties dialog), import a list from a settings file and export it to
// one. The dialog works on its own copy of the list and writes it to its
// store when it is confirmed.

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/list_control.h"
#include "settings/mirror_entry.h"
#include "settings/settings_location.h"

class CSettingsListDlg : public fw::Dialog {
 public:
  explicit CSettingsListDlg(const SettingsLocation& store);
  // The label that names the store OK writes: "設定ファイル : name" or "設定セット : name".
  static std::string StoreLabel(const SettingsLocation& store);

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

  const SettingsLocation store_;
  std::vector<MirrorEntry> entries_;
  fw::ListControl list_;
};
