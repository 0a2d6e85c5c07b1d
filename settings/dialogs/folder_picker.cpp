#include "settings/dialogs/folder_picker.h"

#include <shlobj.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"
#include "settings/dialogs/pickers.h"

namespace {

// Read by the browser's callback during one call: the picker is modal over
// a modal dialog, never open twice.
std::wstring startFolder;

int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM) noexcept {
  if (message == BFFM_INITIALIZED && !startFolder.empty())
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(startFolder.c_str()));
  return 0;
}

// C:\data\ starts at C:\data; C: and C:\ start at C:\ (the trail byte of
// a double-byte character is no separator).
std::string StartFolderOf(std::string text) {
  if (cp::EndsWith(text, '\\')) text.pop_back();
  if (cp::EndsWith(text, '/')) text.pop_back();
  if (cp::EndsWith(text, ':')) text += '\\';
  return text;
}

}  // namespace

void BrowseForFolder(HWND owner, const std::string& title, const std::string& start, std::string& result) {
  ThePickers().Folder(owner, title, start, result);
}

void ShowSystemFolderBrowser(HWND owner, const std::string& title, const std::string& start,
                             std::string& result) {
  startFolder = platform::WideText(StartFolderOf(start));
  const std::wstring wideTitle = platform::WideText(title);
  wchar_t name[MAX_PATH] = L"";
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = name;
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = OnBrowserEvent;
  if (LPITEMIDLIST picked = SHBrowseForFolderW(&browse)) {
    if (SHGetPathFromIDListW(picked, name)) result = platform::ProgramText(name);
    CoTaskMemFree(picked);
  }
}
