#include "settings/dialogs/folder_picker.h"

#include <shlobj.h>

#include "platform/code_page.h"
#include "settings/dialogs/pickers.h"

namespace {

// Read by the browser's callback during one call: the picker is modal over
// a modal dialog, never open twice.
std::string startFolder;

int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM) noexcept {
  if (message == BFFM_INITIALIZED && !startFolder.empty())
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(startFolder.c_str()));
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
  startFolder = StartFolderOf(start);
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return;
  auto* name = static_cast<char*>(allocator->Alloc(MAX_PATH));
  if (name == nullptr) {
    allocator->Release();
    return;
  }
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = name;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = OnBrowserEvent;
  if (LPITEMIDLIST picked = SHBrowseForFolderA(&browse)) {
    if (SHGetPathFromIDListA(picked, name)) result = name;
    allocator->Free(picked);
  }
  allocator->Free(name);
  allocator->Release();
}
