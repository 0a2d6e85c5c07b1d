#pragma once
// The one-line text editor of the exclusion list.

#include <string>

#include "framework/dialog.h"

class CEditTextDlg : public fw::Dialog {
 public:
  // Edits `text`, which takes the edit's text when the dialog is confirmed.
  explicit CEditTextDlg(std::string& text);

 protected:
  void Exchange(fw::DataExchange& exchange) override;
  bool OnInitDialog() override;
  bool OnCommand(int control, int code) override;

 private:
  void UpdateOk();
  std::string& text_;
};
