#include "settings/dialogs/pickers.h"

#include <commdlg.h>

#include "platform/code_page.h"
#include "settings/dialogs/folder_picker.h"

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

OPENFILENAMEA FileDialogOf(const FileRequest& request, const std::string& filter, std::vector<char>& buffer) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrInitialDir = request.initialDirectory.empty() ? nullptr : request.initialDirectory.c_str();
  dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  // Without OFN_NOCHANGEDIR the browsed folder would become the program's
  // current directory and stay in use until it quits.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  return dialog;
}

class SystemPickers : public Pickers {
 public:
  void Folder(HWND owner, const std::string& title, const std::string& start, std::string& result) override {
    ShowSystemFolderBrowser(owner, title, start, result);
  }

  bool OpenFiles(const FileRequest& request, std::vector<std::string>* chosen) override {
    const std::string filter = FilterOf(request.filter);
    std::vector<char> buffer(64 * 1024, '\0');
    request.initialName.copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEA dialog = FileDialogOf(request, filter, buffer);
    dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | (request.several ? OFN_ALLOWMULTISELECT : 0);
    if (!GetOpenFileNameA(&dialog)) return false;
    // One file: its full path. Several: the directory, then each name, each ended by a zero.
    const std::string first = buffer.data();
    const char* name = buffer.data() + first.size() + 1;
    if (*name == '\0') {
      chosen->push_back(first);
      return true;
    }
    const std::string directory = cp::EndsWith(first, '\\') ? first : first + '\\';
    for (; *name != '\0'; name += std::string(name).size() + 1) chosen->push_back(directory + name);
    return true;
  }

  bool SaveFile(const FileRequest& request, std::string* chosen) override {
    const std::string filter = FilterOf(request.filter);
    std::vector<char> buffer(4096, '\0');
    request.initialName.copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEA dialog = FileDialogOf(request, filter, buffer);
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&dialog)) return false;
    *chosen = buffer.data();
    return true;
  }
};

Pickers* inPlace = nullptr;

}  // namespace

Pickers& ThePickers() {
  static SystemPickers system;
  return inPlace != nullptr ? *inPlace : system;
}

void UsePickers(Pickers* pickers) { inPlace = pickers; }
