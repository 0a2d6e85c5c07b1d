#pragma once
// The one folder picker of the program, used by every browse button.

#include <windows.h>

#include <string>

// Shows the folder browser modally over `owner` with `title` as its prompt,
// opened on the folder that `start` names; when the user picks a folder its
// path (without a trailing separator, a drive root keeping its own) goes
// into `result`; on a cancel or a failure `result` stays as it was.
void BrowseForFolder(HWND owner, const std::string& title, const std::string& start, std::string& result);

// The system's folder browser itself (SHBrowseForFolderA), as
// BrowseForFolder shows it unless a test answers in its place.
void ShowSystemFolderBrowser(HWND owner, const std::string& title, const std::string& start,
                             std::string& result);
