#pragma once
// The progress view: the main frame's client, a list of everything the runs
// of this program did, one line per action or event with its icon, its
// status text and two paths. Lines come from a run's worker thread; each is
// added on the user-interface thread, which owns the list, while the worker
// waits. Lines are never removed.

#include <map>
#include <string>

#include "engine/kelmdup_doc.h"
#include "framework/command_target.h"
#include "framework/list_view.h"
#include "shell/gui/line_store.h"

class CKelmdupView : public fw::ListView, public ProgressView, public fw::CommandTarget {
 public:
  // The list control's id in the frame, as the system's frames number their view.
  static constexpr int kControlId = 0xE900;

  // Creates the list with its columns and its seven icons, whose positions
  // go to the run's icon indexes; false on failure.
  bool Create(HWND frame);
  // Once the main window is shown: with "/A", marks the program to end after
  // the run and posts the start command to the main window.
  void OnInitialUpdate(HWND mainWindow);

  // One line, from any thread: added on the user-interface thread.
  void AddLine(int id, int icon, const std::string& text1, const std::string& text2) override;
  size_t Lines() const { return lines_.Size(); }

 protected:
  std::string RowText(int row, int column) const override;
  int RowImage(int row) const override;

 private:
  struct PendingLine {
    int id;
    int icon;
    const std::string* text1;
    const std::string* text2;
  };
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclass, DWORD_PTR self) noexcept;
  void Append(const PendingLine& line);
  const std::string& StatusText(int id) const;

  LineStore lines_;
  mutable std::map<int, std::string> statusTexts_;  // from the string table, loaded once each
};
