#pragma once
// The run state of mirroring and the run itself: read every entry of the
// store in turn, list both trees, take out the exclusions, and bring the
// destination into line in three phases. Every action goes through Report.
// No window framework here: a front end supplies the view that shows the
// lines and the main window whose key receives the status texts.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/copy_ahead.h"
#include "engine/tree_scanner.h"
#include "platform/window_system.h"
#include "settings/mirror_entry.h"

// What shows the run's lines.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  // One line: the message's text, an icon (negative: none) and two texts.
  virtual void AddLine(int id, int icon, const std::string& text1, const std::string& text2) = 0;
  // Returns once every line given so far is shown; a run calls it at its end.
  virtual void ShowAllLines() {}
};

class CKelmdupDoc {
 public:
  CKelmdupDoc() = default;
  virtual ~CKelmdupDoc() = default;
  CKelmdupDoc(const CKelmdupDoc&) = delete;
  CKelmdupDoc& operator=(const CKelmdupDoc&) = delete;

  // The main window: its handle names the status key "%d.CMainFrame".
  void SetMainWindow(platform::WindowHandle window);

  // Starts a run on a worker thread with `activeView` receiving its lines;
  // returns at once. False when no thread could be started.
  bool OnMirrorStart(ProgressView* activeView);
  // Asks the run to stop: it ends at the next item.
  void OnMirrorStop();

  // The whole run, on the calling thread.
  void RunAllEntries();
  // Mirrors entry index; false to end the run.
  bool MirrorEntryAt(int index);
  // Entry index of the current store; false when it has no source (the list has ended).
  bool ReadEntryForRun(int index, MirrorEntry* entry);

  bool DeleteDestinationOnlyFiles(const MirrorEntry& entry);
  bool RemoveDestinationOnlyDirs(const MirrorEntry& entry);
  bool CopyNewAndChangedFiles(const MirrorEntry& entry);

  void Report(int id, int icon, const std::string& text1, const std::string& text2);

  ProgressView* view = nullptr;
  CtTreeScanner sourceScanner;
  CtTreeScanner destinationScanner;
  std::atomic<int> stopRequested{0};
  int okLogOut = 0;
  int errorLogOut = 0;
  std::string logFilePath;
  std::atomic<int> running{0};
  // What the front end does once a run has ended, after its end line and its
  // last status text, on the worker thread: after an automatic run the
  // program ends. Set before the run starts.
  std::function<void()> afterRun;
  // Counts the runs that have ended; front ends that wait for a run watch it
  // together with `running`, which the worker clears after it.
  std::atomic<int> finishedRuns{0};
  bool RunsEnded(int runs) const { return finishedRuns >= runs && !running; }
  // Error lines (a failed item, a skipped entry) of the last run, and whether it was interrupted.
  std::atomic<int> errorLines{0};
  std::atomic<int> interrupted{0};

 private:
  static void MirrorThreadProc(void* document) noexcept;
  bool EntryIsUsable(const MirrorEntry& entry);
  enum class Listing { kListed, kSkipped, kStopped };
  Listing ScanBothTrees(const MirrorEntry& entry);
  Listing ReportOverlap(const MirrorEntry& entry);
  bool EndInterrupted();
  bool CopyNewFile(const std::string& key, const std::string& src, const std::string& dst,
                   const MirrorEntry& entry);
  bool UpdateFile(const std::string& src, const std::string& dst, const FoundItem& source,
                  const MirrorEntry& entry);
  bool FileChanged(const std::string& src, const FoundItem& source, const FoundItem& destination,
                   const MirrorEntry& entry);
  bool CopyInListingOrder(const MirrorEntry& entry);
  platform::FileResult CopyOne(const std::string& src, const std::string& dst, const MirrorEntry& entry);
  void StartCopyAhead(const MirrorEntry& entry);
  void StopCopyAhead();
  bool NeedsAttention(std::string_view key, const FoundItem& item) const;
  bool NeedsCopy(std::string_view key, const FoundItem& item) const;
  bool CopyFailed(int failedId, platform::FileResult result, const std::string& src,
                  const std::string& dst);
  bool DestinationDirectoryIsSafe(const std::string& key, const MirrorEntry& entry);
  void PostStatus(const char* text);

  std::string readyDirectory_;  // where the last copy went
  size_t position_ = 0;         // of the file being copied, in listing order
  std::mutex copyAheadLock_;  // the worker replaces the helper; a stop reaches it
  std::unique_ptr<CopyAhead> copyAhead_;
  std::string statusKey_;
};
