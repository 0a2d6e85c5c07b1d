#include "shell/gui/dialogs/storable_text.h"

#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "resources/ids.h"

bool StorableOrSaid(HWND owner, const std::string& text) {
  if (platform::StoredTextHolds(text)) return true;
  fw::ShowError(owner, IDS_APPLICATION_TITLE, fw::LoadText(IDS_NOT_STORABLE) + "\r\n\r\n" + text);
  return false;
}

bool ControlsStorableOrSaid(const fw::Dialog& dialog, std::initializer_list<int> controls) {
  for (const int control : controls) {
    if (StorableOrSaid(dialog.Handle(), dialog.Text(control))) continue;
    SendMessageW(dialog.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Control(control)), TRUE);
    return false;
  }
  return true;
}
