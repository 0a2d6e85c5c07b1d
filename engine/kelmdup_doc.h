#pragma once
// The document: runs mirroring on a worker thread it owns, one run at a
// time, as a front end asks. The front end says what to run (a request),
// where the lines go (a view) and which window is its main frame: that
// window's key receives the run's status texts, and the window receives
// kRunEndedMessage once the run has ended.

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>

#include "engine/mirror_run.h"
#include "platform/thread.h"
#include "platform/window_system.h"

class CKelmdupDoc {
 public:
  CKelmdupDoc() = default;
  ~CKelmdupDoc();  // stops a run and waits for its worker
  CKelmdupDoc(const CKelmdupDoc&) = delete;
  CKelmdupDoc& operator=(const CKelmdupDoc&) = delete;

  void SetMainWindow(platform::WindowHandle window);

  // Starts a run on the worker thread with `view` receiving its lines;
  // returns at once. False while a run goes on, or when no thread could be started.
  bool OnMirrorStart(ProgressView* view, const RunRequest& request);
  // Asks the run to stop: it ends after the item in progress; copies
  // prepared ahead are cancelled at once. Returns at once.
  void OnMirrorStop();

  bool Running() const;
  bool StopRequested() const;
  // Waits at most `milliseconds` for the run to end; whether none goes on.
  bool WaitForEnd(int milliseconds);
  // How the last run that ended went.
  RunOutcome LastOutcome() const;

 private:
  static void Work(void* document) noexcept;

  platform::WindowHandle mainWindow_ = 0;
  std::string statusKey_;
  RunRequest request_;
  ProgressView* view_ = nullptr;
  std::stop_source stop_;
  mutable std::mutex stateLock_;
  std::condition_variable ended_;
  bool running_ = false;  // under stateLock_
  RunOutcome outcome_;    // under stateLock_
  platform::JoinableThread worker_;  // last: it ends first
};
