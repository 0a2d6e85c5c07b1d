#pragma once
// The about box: the program's icon and its version.

#include "framework/dialog.h"

class CAboutDlg : public fw::Dialog {
 public:
  CAboutDlg();
  // "Kelmoray Version 1.11.0598": string 105 with the version put in.
  static std::string VersionText();

 protected:
  bool OnInitDialog() override;
};
