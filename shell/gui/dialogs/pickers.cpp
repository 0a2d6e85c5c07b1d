#include "shell/gui/dialogs/pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace {

// "Name|pattern||" as the dialogs write filters, in the picker's form:
// each part ended by a zero, the list by one more.
// A "|" is taken by character: it is the trail byte of ポ.
std::string FilterOf(const std::string& text) {
  std::string filter = text;
  for (size_t bar = cp::FindFirstOf(filter, "|"); bar != std::string::npos;
       bar = cp::FindFirstOf(filter, "|")) filter[bar] = '\0';
  return filter + '\0';
}

// The picker's texts in UTF-16, kept while it is open.
struct FileDialogTexts {
  explicit FileDialogTexts(const FileRequest& request)
      : filter(platform::WideText(FilterOf(request.filter))),
        initialDirectory(platform::WideText(request.initialDirectory)),
        title(platform::WideText(request.title)),
        defaultExtension(platform::WideText(request.defaultExtension)) {}
  std::wstring filter, initialDirectory, title, defaultExtension;
};

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

OPENFILENAMEW FileDialogOf(const FileRequest& request, const FileDialogTexts& texts, std::vector<wchar_t>& buffer) {
  const std::wstring initialName = platform::WideText(request.initialName);
  initialName.copy(buffer.data(), buffer.size() - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = texts.filter.c_str();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrInitialDir = OrNull(texts.initialDirectory);
  dialog.lpstrTitle = OrNull(texts.title);
  dialog.lpstrDefExt = OrNull(texts.defaultExtension);
  // Without OFN_NOCHANGEDIR the browsed folder would become the program's
  // current directory and stay in use until it quits.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  return dialog;
}

class ShellPickers : public Pickers {
 public:
  void Folder(HWND owner, const std::string& title, const std::string& start, std::string& result) override {
    ShowSystemFolderBrowser(owner, title, start, result);
  }

  bool OpenFiles(const FileRequest& request, std::vector<std::string>* chosen) override {
    const FileDialogTexts texts(request);
    std::vector<wchar_t> buffer(64 * 1024, L'\0');
    OPENFILENAMEW dialog = FileDialogOf(request, texts, buffer);
    dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | (request.several ? OFN_ALLOWMULTISELECT : 0);
    if (!GetOpenFileNameW(&dialog)) return false;
    // One file: its full path. Several: the directory, then each name, each ended by a zero.
    const std::wstring first = buffer.data();
    const wchar_t* name = buffer.data() + first.size() + 1;
    if (*name == L'\0') {
      chosen->push_back(platform::ProgramText(first));
      return true;
    }
    const std::string directory = platform::ProgramText(first.back() == L'\\' ? first : first + L'\\');
    for (; *name != L'\0'; name += std::wcslen(name) + 1) chosen->push_back(directory + platform::ProgramText(name));
    return true;
  }

  bool SaveFile(const FileRequest& request, std::string* chosen) override {
    const FileDialogTexts texts(request);
    std::vector<wchar_t> buffer(4096, L'\0');
    OPENFILENAMEW dialog = FileDialogOf(request, texts, buffer);
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog)) return false;
    *chosen = platform::ProgramText(buffer.data());
    return true;
  }
};

}  // namespace

Pickers& SystemPickers() {
  static ShellPickers system;
  return system;
}

namespace {

// `startFolder`: the browser's own data, the folder it opens on.
int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM startFolder) noexcept {
  const auto* start = reinterpret_cast<const std::wstring*>(startFolder);
  if (message == BFFM_INITIALIZED && !start->empty())
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->c_str()));
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
  const std::wstring startFolder = platform::WideText(StartFolderOf(start));
  const std::wstring wideTitle = platform::WideText(title);
  wchar_t name[MAX_PATH] = L"";
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = name;
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = OnBrowserEvent;
  browse.lParam = reinterpret_cast<LPARAM>(&startFolder);
  if (LPITEMIDLIST picked = SHBrowseForFolderW(&browse)) {
    if (SHGetPathFromIDListW(picked, name)) result = platform::ProgramText(name);
    CoTaskMemFree(picked);
  }
}
