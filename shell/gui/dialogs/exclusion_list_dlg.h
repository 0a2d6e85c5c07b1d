#pragma once
// The detailed exclusion list of one entry: full paths of directories
// (ending in a separator) and of files or file patterns that a run leaves
// out. Directories come from the folder picker, files from the open-file
// picker; an item's text is edited in CEditTextDlg. The entry's list is
// rewritten when the dialog is confirmed.

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/list_control.h"

class CExclusionListDlg : public fw::Dialog {
 public:
  // `items` is rewritten on OK; the pickers start in `baseFolder`.
  CExclusionListDlg(std::vector<std::string>& items, std::string baseFolder);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int control, int code) override;
  LRESULT OnNotify(NMHDR* header) override;
  void OnOK() override;

 private:
  void UpdateButtons();
  // The row holding the same text (letter case of A to Z aside), or -1.
  int RowWithText(const std::string& text) const;
  void AddDirectory();
  void AddFiles();
  void DeleteSelected();
  void EditSelected();

  std::vector<std::string>& items_;
  const std::string baseFolder_;
  fw::ListControl list_;
  int directoryIcon_ = -1;
  int fileIcon_ = -1;
};
