#include "shell/gui/dialogs/about_dlg.h"

#include "framework/resource_text.h"
#include "resources/ids.h"

namespace {

constexpr char kVersion[] = "1.11.0598";

}  // namespace

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

std::string CAboutDlg::VersionText() {
  std::string text = fw::LoadText(IDS_VERSION_TEXT);
  const size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, kVersion);
  return text;
}

bool CAboutDlg::OnInitDialog() {
  SetText(IDC_VERSION_TEXT, VersionText());
  return true;
}
