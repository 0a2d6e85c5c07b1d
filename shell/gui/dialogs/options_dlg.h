#pragma once
// The settings scope: separate settings for each user, or the same for all.
// A change takes effect at the next start; the dialog offers to end the
// program at once.

#include "framework/dialog.h"

class COptionsDlg : public fw::Dialog {
 public:
  // `mainWindow` gets the exit command when the user chooses to end now.
  explicit COptionsDlg(HWND mainWindow);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  HWND mainWindow_;
};
