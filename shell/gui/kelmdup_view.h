#pragma once
// The progress view: the main frame's client, a list of everything the runs
// of this program did, one line per action or event with its icon, its
// status text and two paths. Lines come from a run's worker thread and wait
// in a queue for the user-interface thread, which owns the list and takes
// them in batches: at a wake-up message for the first line of an empty
// queue, then on a timer while lines keep coming. Timers come after the
// user's input and the window's painting, so a fast run never delays
// either. The worker waits only when many lines are waiting, and at a run's
// end until all are shown. Lines are never removed. The newest line is
// followed while the user keeps the end of the list in view.

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/run_report.h"
#include "framework/command_target.h"
#include "framework/list_view.h"
#include "shell/gui/line_store.h"

class CKelmdupView : public fw::ListView, public ProgressView, public fw::CommandTarget {
 public:
  // The list control's id in the frame, as the system's frames number their view.
  static constexpr int kControlId = 0xE900;

  // Creates the list with its columns and its seven icons; false on failure.
  bool Create(HWND frame);

  // One line, from any thread: queued for the user-interface thread.
  void AddLine(int id, const std::string& source, const std::string& destination) override;
  // Returns once every line given so far is in the list; from the list's
  // own thread it takes them at once.
  void ShowAllLines() override;
  // How many lines may wait before the worker waits for them to be taken;
  // 0 makes every line wait until the list holds it.
  void SetMostWaitingLines(size_t lines) { mostWaitingLines_ = lines; }
  // The lines the list shows.
  size_t Lines() const { return static_cast<size_t>(RowCount()); }
  // Takes every waiting line into the list now (the list's own thread);
  // false when none was waiting.
  bool TakeWaitingLines();
  // From now on no line is taken and nobody waits for one to be: the list's
  // thread is about to wait for the run itself (the session ends).
  void StopTakingLines();

 protected:
  std::string RowText(int row, int column) const override;
  int RowImage(int row) const override;

 private:
  struct WaitingLine {
    int id;
    std::string source;
    std::string destination;
  };
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclass, DWORD_PTR self) noexcept;
  void TakeTurn(bool onTimer);
  bool EndIsInView() const;
  // Returns once no more than `waiting` of the lines given so far wait.
  void ShowLinesUntilWaiting(size_t waiting);
  void WaitUntilShown(size_t waiting);

  LineStore lines_;  // user-interface thread only
  std::mutex waitingLock_;
  std::condition_variable linesShown_;
  std::vector<WaitingLine> waiting_;  // under waitingLock_
  size_t given_ = 0;                  // under waitingLock_: lines given to AddLine
  size_t shown_ = 0;                  // under waitingLock_: lines in the list
  bool awake_ = false;                // under waitingLock_: a wake-up is on its way or the timer runs
  bool takingLines_ = true;          // under waitingLock_: the list is there and takes lines
  std::vector<WaitingLine> taking_;   // user-interface thread only: the batch being taken
  size_t mostWaitingLines_ = 4096;
  int imageOf_[kIconKinds] = {};  // each icon kind's image in the list
};
