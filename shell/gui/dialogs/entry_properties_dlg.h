#pragma once
// One mirror entry: its name, its two directories, the flags of what is
// mirrored and how, the search pattern and the extensions not to mirror;
// a button leads on to the detailed exclusion list. The dialog works on its
// own copy of the fields and writes them into the entry on OK.

#include "framework/dialog.h"
#include "settings/mirror_entry.h"

class CEntryPropertiesDlg : public fw::Dialog {
 public:
  explicit CEntryPropertiesDlg(MirrorEntry& entry);

 protected:
  void Exchange(fw::DataExchange& exchange) override;
  bool OnInitDialog() override;
  bool OnCommand(int control, int code) override;
  void OnOK() override;

 private:
  void ApplyEnablingRule();
  void ApplySubdirectoryRule(bool opening);
  void Browse(int edit, const std::string& title);
  void OpenExclusions();

  MirrorEntry& entry_;
  MirrorEntry working_;  // every field but nomirror, as the controls show them
};
