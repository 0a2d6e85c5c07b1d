#include "engine/kelmdup_doc.h"

#include <chrono>
#include <thread>

#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/run_log.h"
#include "engine/status_texts.h"
#include "foundation/directory.h"
#include "foundation/profile.h"
#include "platform/file_operations.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/thread.h"
#include "posting/post_data.h"
#include "settings/entry_storage.h"
#include "settings/stored_settings.h"

void CKelmdupDoc::SetMainWindow(platform::WindowHandle window) {
  statusKey_ = MainFrameKey(window);
  sourceScanner.SetStatusKey(statusKey_);
  destinationScanner.SetStatusKey(statusKey_);
}

bool CKelmdupDoc::OnMirrorStart(ProgressView* activeView) {
  view = activeView;
  // Set here rather than on the worker: a stop right after the start is not
  // lost, and a second start cannot slip in before the worker runs.
  stopRequested = 0;
  running = 1;
  if (platform::StartDetachedThread(MirrorThreadProc, this)) return true;
  running = 0;
  return false;
}

void CKelmdupDoc::MirrorThreadProc(void* document) noexcept {
  auto* doc = static_cast<CKelmdupDoc*>(document);
  doc->RunAllEntries();
  // Clearing `running` is the worker's last touch of the document: once a
  // front end sees it clear, it may destroy the document.
  ++doc->finishedRuns;
  doc->running = 0;
}

void CKelmdupDoc::OnMirrorStop() {
  stopRequested = 1;
  StopCopyAhead();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  sourceScanner.Stop();
  destinationScanner.Stop();
}

void CKelmdupDoc::RunAllEntries() {
  // The log settings come from the scope's registry key, whatever store holds the entries.
  const LogSettings log = ReadLogSettings(TheSettingsLocation().multiUser, LogDefaults::kRun);
  okLogOut = log.okLogOut;
  errorLogOut = log.errorLogOut;
  CreateDirectoryPath(log.logDir);
  const std::tm start = platform::LocalTimeOf(std::time(nullptr));
  logFilePath = LogFilePath(log.logDir, log.logName, start);

  errorLines = 0;
  interrupted = 0;
  Report(kMsgRunStart, IconIndex(IconKind::kStart), FormatTimestamp(start), "");
  for (int index = 0; MirrorEntryAt(index); ++index) {
  }
  Report(kMsgRunEnd, IconIndex(IconKind::kEnd), FormatTimestamp(platform::LocalTimeOf(std::time(nullptr))),
         "");
  if (view != nullptr) view->ShowAllLines();
  PostStatus(kIdleText);
  if (afterRun) afterRun();
}

bool CKelmdupDoc::ReadEntryForRun(int index, MirrorEntry* entry) {
  CtProfile profile;
  OpenEntryStore(profile, TheSettingsLocation(), std::nullopt);
  *entry = ReadEntryAt(profile, index);
  return !entry->source.empty();
}

// An entry that could only do harm is skipped with its line: no
// destination, a path that is not absolute (it would be taken relative to
// the current directory), or trees that overlap, however their paths are
// spelled: the directories themselves decide.
bool CKelmdupDoc::EntryIsUsable(const MirrorEntry& entry) {
  const bool usable = !entry.destination.empty() && engine::IsAbsolutePath(entry.source) &&
                      engine::IsAbsolutePath(entry.destination) &&
                      !engine::PathStartsWith(entry.source, entry.destination) &&
                      !engine::PathStartsWith(entry.destination, entry.source) &&
                      !platform::DirectoryContains(entry.source, entry.destination) &&
                      !platform::DirectoryContains(entry.destination, entry.source);
  if (!usable)
    Report(kMsgBadEntry, IconIndex(IconKind::kError), entry.source, entry.destination);
  return usable;
}

bool CKelmdupDoc::MirrorEntryAt(int index) {
  MirrorEntry entry;
  if (!ReadEntryForRun(index, &entry)) return false;
  if (!EntryIsUsable(entry)) return true;
  switch (ScanBothTrees(entry)) {
    case Listing::kListed: break;
    case Listing::kSkipped: return true;
    case Listing::kStopped: return EndInterrupted();
  }
  // What a killed run left goes, whatever deletion the entry asks.
  for (const auto& [directory, name] : destinationScanner.temporaryCopies)
    platform::RemoveAbandonedCopy(directory, name);
  for (const std::string& item : entry.nomirror) ApplyExclusionItem(entry.source, sourceScanner, item);
  if (DeleteDestinationOnlyFiles(entry) && RemoveDestinationOnlyDirs(entry) &&
      CopyNewAndChangedFiles(entry))
    return true;
  return EndInterrupted();
}

bool CKelmdupDoc::EndInterrupted() {
  Report(kMsgInterrupted, IconIndex(IconKind::kError), "", "");
  interrupted = 1;
  return false;
}

namespace {

struct DestinationListing {
  CtTreeScanner& scanner;
  const MirrorEntry& entry;
};

void ListDestination(void* listing) noexcept {
  auto* job = static_cast<DestinationListing*>(listing);
  job->scanner.Scan(job->entry.destination, "*.*", DestinationRecurses(job->entry), 7, "");
}

}  // namespace

// Lists both trees, the destination on a second thread while the source is
// listed; the destination's line still comes once the source is listed, and
// a stop of the source listing stops both. A source root that is missing or
// cannot be read is no empty source: it is reported, and nothing of the
// entry is touched. Directories below either root whose listing failed
// are reported; the phases leave alone what lies below them.
CKelmdupDoc::Listing CKelmdupDoc::ScanBothTrees(const MirrorEntry& entry) {
  Report(kMsgAnalysing, IconIndex(IconKind::kAnalyse), entry.source, "");
  // Probed by its attributes, not by listing it: an empty drive root has no "." entry.
  if (!platform::IsDirectory(entry.source)) {
    Report(kMsgSourceMissing, IconIndex(IconKind::kError), entry.source, "");
    return Listing::kSkipped;
  }
  // Each tree is watched for the other's root: a mount or a junction may
  // lead into it where walking up the paths could not see it.
  sourceScanner.SetSide(TreeSide::kSource, platform::IdentityOfDirectory(entry.destination));
  destinationScanner.SetSide(TreeSide::kDestination, platform::IdentityOfDirectory(entry.source));
  DestinationListing job{destinationScanner, entry};
  platform::JoinableThread destination;
  const bool parallel = destination.Start(ListDestination, &job);
  const bool listed = sourceScanner.Scan(entry.source, EffectivePattern(entry), entry.subdir,
                                         AttributeMask(entry), entry.nomirrext);
  if (!listed || sourceScanner.RootUnreadable() || sourceScanner.OverlapFound()) {
    destinationScanner.Stop();
    if (sourceScanner.OverlapFound()) return ReportOverlap(entry);
    if (!listed) return Listing::kStopped;
    Report(kMsgSourceMissing, IconIndex(IconKind::kError), entry.source, "");
    return Listing::kSkipped;
  }
  Report(kMsgAnalysing, IconIndex(IconKind::kAnalyse), "", entry.destination);
  if (parallel) destination.Join();
  else ListDestination(&job);
  if (destinationScanner.OverlapFound()) return ReportOverlap(entry);
  const int error = IconIndex(IconKind::kError);
  for (const std::string& key : sourceScanner.unreadable)
    Report(kMsgSourceUnreadable, error, entry.source + key, "");
  for (const std::string& key : destinationScanner.unreadable)
    Report(kMsgDestinationUnreadable, error, "", entry.destination + key);
  return Listing::kListed;
}

CKelmdupDoc::Listing CKelmdupDoc::ReportOverlap(const MirrorEntry& entry) {
  Report(kMsgBadEntry, IconIndex(IconKind::kError), entry.source, entry.destination);
  return Listing::kSkipped;
}

void CKelmdupDoc::Report(int id, int icon, const std::string& text1, const std::string& text2) {
  if (view != nullptr) view->AddLine(id, icon, text1, text2);
  if (LogClassOf(id) == LogClass::kError) ++errorLines;
  for (const std::string& record : LogRecordsFor(id, text1, text2, okLogOut, errorLogOut))
    AppendLogRecord(logFilePath, record);
}

void CKelmdupDoc::PostStatus(const char* text) {
  if (!statusKey_.empty()) PostData(statusKey_.c_str(), text);
}
