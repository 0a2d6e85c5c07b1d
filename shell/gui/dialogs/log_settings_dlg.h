#pragma once
// The log settings: where log files go, how they are named, and whether
// success and error lines are written. Read when the dialog opens, with the
// dialog's defaults; all four values are written when it is confirmed.

#include "framework/dialog.h"
#include "settings/stored_settings.h"

class CLogSettingsDlg : public fw::Dialog {
 public:
  // `multiUser`: the scope whose settings it shows and writes.
  explicit CLogSettingsDlg(int multiUser);

 protected:
  void Exchange(fw::DataExchange& exchange) override;
  bool OnInitDialog() override;
  bool OnCommand(int control, int code) override;
  void OnOK() override;

 private:
  void ApplyEnablingRule();
  void Browse();

  const int multiUser_;
  LogSettings settings_;
};
