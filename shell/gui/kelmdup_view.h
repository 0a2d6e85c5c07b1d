#pragma once
// The progress view: the main frame's client, a list of everything the runs
// of this program did, one line per action or event with its icon, its
// status text and two paths. Lines come from a run's worker thread and wait
// in a queue for the user-interface thread, which owns the list and takes
// them in batches; the worker waits only when many lines are waiting, and at
// a run's end until all are shown. Lines are never removed.

#include <mutex>
#include <string>
#include <vector>

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

  // One line, from any thread: queued for the user-interface thread.
  void AddLine(int id, int icon, const std::string& text1, const std::string& text2) override;
  // From any thread but the user-interface thread: returns once every line
  // queued is in the list.
  void ShowAllLines() override;
  // How many lines may wait before the worker waits for them to be taken;
  // 0 makes every line wait until the list holds it.
  void SetMostWaitingLines(size_t lines) { mostWaitingLines_ = lines; }
  // The lines the list shows.
  size_t Lines() const { return static_cast<size_t>(RowCount()); }

 protected:
  std::string RowText(int row, int column) const override;
  int RowImage(int row) const override;

 private:
  struct WaitingLine {
    int id;
    int icon;
    std::string text1;
    std::string text2;
  };
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclass, DWORD_PTR self) noexcept;
  void TakeWaitingLines();

  LineStore lines_;  // user-interface thread only
  std::mutex waitingLock_;
  std::vector<WaitingLine> waiting_;  // under waitingLock_
  std::vector<WaitingLine> taking_;   // user-interface thread only: the batch being taken
  size_t mostWaitingLines_ = 1024;
};
