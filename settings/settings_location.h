#pragma once
// Where the mirror entries are stored: written once at start-up from the
// command line, read everywhere else.

#include <string>

#include "platform/code_page.h"

struct SettingsLocation {
  int multiUser = 1;             // non-zero: per user; zero: shared by all users
  int useSettingsFile = 0;       // entries live in settingsFilePath
  std::string settingsFilePath;  // without enclosing double quotes
  std::string setKeySuffix;      // empty, or "\S-" + the set's name
  // "標準" (standard), the set's name, or the settings file's name and extension
  std::string setDisplayName = "標準";
};

// The process-wide location.
SettingsLocation& TheSettingsLocation();
