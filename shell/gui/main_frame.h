#pragma once
// The program's main window: menu, toolbar, status bar and the progress
// view. It registers on the posting channel under its key and shows every
// status text a run posts there, runs the busy indicator while a file is
// copied, and opens the help page. Once a stop is asked, the status line
// says so until the run has ended. Closing it during a run stops the run
// and ends the program once the run has ended; so does the end of an
// automatic run, 3 seconds later.

#include <cstdint>
#include <string>

#include "engine/kelmdup_doc.h"
#include "engine/status_texts.h"
#include "framework/frame_window.h"
#include "shell/gui/kelmdup_view.h"

class CMainFrame : public fw::FrameWindow {
 public:
  explicit CMainFrame(CKelmdupDoc& document) : document_(document) {}
  CKelmdupView& View() { return view_; }

  bool OnCommand(int id) override;
  std::optional<bool> CommandEnabled(int id) override;

  // What a text posted to the frame's key does (on the user-interface thread).
  void OnStatusText(const char* text);
  // The runs whose end the frame has seen.
  int EndedRuns() const { return endedRuns_; }
  // The busy indicator's ticks since it last started.
  std::uint32_t BusyTicks() const { return statusLine_.BusyTicks(); }

 protected:
  HWND CreateClient() override;
  bool OnCreated() override;
  void OnTimer(UINT_PTR id) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnEndSession() override;
  void OnProgramMessage(UINT message, WPARAM wParam) override;
  LRESULT OnClientNotify(NMHDR* header) override;

 private:
  void Show(StatusLine::Change change);
  void OpenHelp();
  // The stop asked: said in the status line, which no status text of the
  // ending run replaces.
  void SayStopping(unsigned text);
  void OnRunEnded(bool automatic);

  CKelmdupDoc& document_;
  CKelmdupView view_;
  MainFrameEndpoint endpoint_{[this](const char* text) { OnStatusText(text); }};
  std::string key_;
  StatusLine statusLine_;
  bool closing_ = false;
  int endedRuns_ = 0;
};
