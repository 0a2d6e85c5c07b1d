#include "engine/kelmdup_doc.h"

#include <chrono>

#include "engine/status_texts.h"

CKelmdupDoc::~CKelmdupDoc() { stop_.request_stop(); }  // worker_ goes first: it waits for the worker

void CKelmdupDoc::SetMainWindow(platform::WindowHandle window) {
  mainWindow_ = window;
  statusKey_ = MainFrameKey(window);
}

bool CKelmdupDoc::OnMirrorStart(ProgressView* view, const RunRequest& request) {
  {
    std::lock_guard hold(stateLock_);
    if (running_) return false;
    running_ = true;
  }
  worker_.Join();  // the last run's worker has ended: it said so last
  request_ = request;
  view_ = view;
  stop_ = std::stop_source();
  if (worker_.Start(Work, this)) return true;
  std::lock_guard hold(stateLock_);
  running_ = false;
  return false;
}

void CKelmdupDoc::Work(void* document) noexcept {
  auto* doc = static_cast<CKelmdupDoc*>(document);
  const RunOutcome outcome = MirrorRun(doc->request_, doc->view_, doc->statusKey_, doc->stop_.get_token())
                                 .RunAllEntries();
  {
    std::lock_guard hold(doc->stateLock_);
    doc->outcome_ = outcome;
    doc->running_ = false;
  }
  doc->ended_.notify_all();
  if (doc->mainWindow_ != 0)
    platform::PostToWindow(doc->mainWindow_, kRunEndedMessage, doc->request_.automatic ? 1 : 0, 0);
}

void CKelmdupDoc::OnMirrorStop() {
  std::lock_guard hold(stateLock_);
  if (running_) stop_.request_stop();
}

bool CKelmdupDoc::Running() const {
  std::lock_guard hold(stateLock_);
  return running_;
}

bool CKelmdupDoc::StopRequested() const {
  std::lock_guard hold(stateLock_);
  return running_ && stop_.stop_requested();
}

bool CKelmdupDoc::WaitForEnd(int milliseconds) {
  std::unique_lock hold(stateLock_);
  return ended_.wait_for(hold, std::chrono::milliseconds(milliseconds), [this] { return !running_; });
}

RunOutcome CKelmdupDoc::LastOutcome() const {
  std::lock_guard hold(stateLock_);
  return outcome_;
}
