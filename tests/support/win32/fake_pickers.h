#pragma once
// Pickers that answer as a test says, without showing anything, and note
// what they were asked; they stand in for the system's while they live. The
// test programs' ThePickers (fake_pickers.cpp) gives the pickers in place.

#include <string>
#include <vector>

#include "shell/gui/dialogs/pickers.h"

namespace test {

// Puts `pickers` in place of the system's; null brings the system's back.
void UsePickers(Pickers* pickers);

class FakePickers : public Pickers {
 public:
  FakePickers() { UsePickers(this); }
  ~FakePickers() override { UsePickers(nullptr); }

  // The answers, in order; an empty one is a cancel.
  std::vector<std::string> folders;
  std::vector<std::vector<std::string>> openedFiles;
  std::vector<std::string> savedFiles;
  // What was asked.
  std::vector<std::string> folderStarts, folderTitles;
  std::vector<FileRequest> openRequests, saveRequests;

  void Folder(HWND, const std::string& title, const std::string& start, std::string& result) override {
    folderTitles.push_back(title);
    folderStarts.push_back(start);
    const std::string answer = Next(folders);
    if (!answer.empty()) result = answer;
  }
  bool OpenFiles(const FileRequest& request, std::vector<std::string>* chosen) override {
    openRequests.push_back(request);
    *chosen = Next(openedFiles);
    return !chosen->empty();
  }
  bool SaveFile(const FileRequest& request, std::string* chosen) override {
    saveRequests.push_back(request);
    *chosen = Next(savedFiles);
    return !chosen->empty();
  }

 private:
  template <typename T>
  static T Next(std::vector<T>& answers) {
    if (answers.empty()) return T{};
    T answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};

}  // namespace test
