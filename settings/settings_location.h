#pragma once
// Where the mirror entries are stored, as the command line says: a front
// end reads it at start-up and hands it to whatever reads or writes them.

#include <string>

#include "platform/code_page.h"

struct SettingsLocation {
  int multiUser = 1;             // non-zero: per user; zero: shared by all users
  bool useSettingsFile = false;  // entries live in settingsFilePath
  std::string settingsFilePath;  // without enclosing double quotes
  std::string setKeySuffix;      // empty, or "\S-" + the set's name
  // the standard set's name ("標準"), the set's name, or the settings file's name and extension
  std::string setDisplayName;
};
