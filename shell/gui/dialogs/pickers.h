#pragma once
// The system's pickers: a folder, files to open, a file to save to. The
// dialogs ask ThePickers(). One folder picker serves every browse button.

#include <windows.h>

#include <string>
#include <vector>

struct FileRequest {
  HWND owner = nullptr;
  std::string title;             // empty: the system's
  std::string initialDirectory;  // empty: the system's choice
  std::string initialName;
  std::string defaultExtension;  // without its dot
  std::string filter;            // "name|pattern|…||", pairs ended by an empty pair
  bool several = false;          // several files at once (open only)
};

class Pickers {
 public:
  virtual ~Pickers() = default;
  // Shows the folder browser over `owner`, opened on `start`; the picked
  // folder's path goes into `result`, which stays as it was on a cancel.
  virtual void Folder(HWND owner, const std::string& title, const std::string& start, std::string& result) = 0;
  // Existing files to open, in the order the picker gives them; false on a cancel.
  virtual bool OpenFiles(const FileRequest& request, std::vector<std::string>* chosen) = 0;
  // A file to save to, after asking before an existing one is overwritten; false on a cancel.
  virtual bool SaveFile(const FileRequest& request, std::string* chosen) = 0;
};

// The pickers in use: the system's in the programs (the_pickers.cpp). Tests
// link their own, which answer without showing anything.
Pickers& ThePickers();
// The system's own pickers.
Pickers& SystemPickers();

// Shows the folder browser modally over `owner` with `title` as its prompt,
// opened on the folder that `start` names; when the user picks a folder its
// path (without a trailing separator, a drive root keeping its own) goes
// into `result`; on a cancel or a failure `result` stays as it was.
void BrowseForFolder(HWND owner, const std::string& title, const std::string& start, std::string& result);

// The system's folder browser itself, as BrowseForFolder shows it unless a
// test answers in its place.
void ShowSystemFolderBrowser(HWND owner, const std::string& title, const std::string& start,
                             std::string& result);
