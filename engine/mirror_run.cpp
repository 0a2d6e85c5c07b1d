#include "engine/mirror_run.h"

#include <ctime>

#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/run_log.h"
#include "engine/status_texts.h"
#include "platform/file_operations.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/thread.h"
#include "settings/entry_storage.h"

MirrorRun::MirrorRun(const RunRequest& request, ProgressView* view, const std::string& statusKey,
                     std::stop_token stop)
    : request_(request),
      stop_(stop),
      report_(view, request.log, statusKey),
      sourceScanner_(stop),
      destinationScanner_(stop),
      phases_(sourceScanner_, destinationScanner_, report_, stop),
      onStop_(stop, [this] { phases_.StopCopyAhead(); }) {
  sourceScanner_.SetStatusKey(statusKey);
  destinationScanner_.SetStatusKey(statusKey);
}

RunOutcome MirrorRun::RunAllEntries() {
  const std::tm start = platform::LocalTimeOf(std::time(nullptr));
  report_.OpenLog(start);
  report_.Report(kMsgRunStart, FormatTimestamp(start), "");
  for (int index = 0; MirrorEntryAt(index); ++index) {
  }
  report_.Report(kMsgRunEnd, FormatTimestamp(platform::LocalTimeOf(std::time(nullptr))), "");
  if (report_.View() != nullptr) report_.View()->ShowAllLines();
  report_.PostStatus(kIdleText);
  return {report_.ErrorLines(), interrupted_};
}

bool MirrorRun::ReadEntryForRun(int index, MirrorEntry* entry) {
  CtProfile profile;
  OpenEntryStore(profile, request_.store, std::nullopt);
  *entry = ReadEntryAt(profile, index);
  return !entry->source.empty();
}

// An entry that could only do harm is skipped with its line: no
// destination, a path that is not absolute (it would be taken relative to
// the current directory), or trees that overlap, however their paths are
// spelled: the directories themselves decide.
bool MirrorRun::EntryIsUsable(const MirrorEntry& entry) {
  const bool usable = !entry.destination.empty() && engine::IsAbsolutePath(entry.source) &&
                      engine::IsAbsolutePath(entry.destination) &&
                      !engine::PathStartsWith(entry.source, entry.destination) &&
                      !engine::PathStartsWith(entry.destination, entry.source) &&
                      !platform::DirectoryContains(entry.source, entry.destination) &&
                      !platform::DirectoryContains(entry.destination, entry.source);
  if (!usable) report_.Report(kMsgBadEntry, entry.source, entry.destination);
  return usable;
}

bool MirrorRun::MirrorEntryAt(int index) {
  MirrorEntry entry;
  if (!ReadEntryForRun(index, &entry)) return false;
  if (!EntryIsUsable(entry)) return true;
  switch (ScanBothTrees(entry)) {
    case Listing::kListed: break;
    case Listing::kSkipped: return true;
    case Listing::kStopped: return EndInterrupted();
  }
  // What a killed run left goes, whatever deletion the entry asks.
  for (const auto& [directory, name] : destinationScanner_.temporaryCopies)
    platform::RemoveAbandonedCopy(directory, name);
  for (const std::string& item : entry.nomirror) ApplyExclusionItem(entry.source, sourceScanner_, item);
  if (phases_.DeleteDestinationOnlyFiles(entry) && phases_.RemoveDestinationOnlyDirs(entry) &&
      phases_.CopyNewAndChangedFiles(entry))
    return true;
  return EndInterrupted();
}

bool MirrorRun::EndInterrupted() {
  report_.Report(kMsgInterrupted, "", "");
  interrupted_ = true;
  return false;
}

namespace {

struct DestinationListing {
  CtTreeScanner& scanner;
  const MirrorEntry& entry;
};

void ListDestination(void* listing) noexcept {
  auto* job = static_cast<DestinationListing*>(listing);
  job->scanner.Scan(job->entry.destination, "*.*", DestinationRecurses(job->entry), kAdmitEveryItem, "");
}

}  // namespace

// Lists both trees, the destination on a second thread while the source is
// listed; the destination's line still comes once the source is listed, and
// a stop of the source listing stops both. A source root that is missing or
// cannot be read is no empty source: it is reported, and nothing of the
// entry is touched. Directories below either root whose listing failed
// are reported; the phases leave alone what lies below them.
MirrorRun::Listing MirrorRun::ScanBothTrees(const MirrorEntry& entry) {
  report_.Report(kMsgAnalysing, entry.source, "");
  // Probed by its attributes, not by listing it: an empty drive root has no "." entry.
  if (!platform::IsDirectory(entry.source)) {
    report_.Report(kMsgSourceMissing, entry.source, "");
    return Listing::kSkipped;
  }
  // Each tree is watched for the other's root: a mount or a junction may
  // lead into it where walking up the paths could not see it.
  sourceScanner_.SetSide(TreeSide::kSource, platform::IdentityOfDirectory(entry.destination));
  destinationScanner_.SetSide(TreeSide::kDestination, platform::IdentityOfDirectory(entry.source));
  DestinationListing job{destinationScanner_, entry};
  platform::JoinableThread destination;
  const bool parallel = destination.Start(ListDestination, &job);
  const bool listed = sourceScanner_.Scan(entry.source, EffectivePattern(entry), entry.subdir,
                                          AttributeMask(entry), entry.nomirrext);
  if (!listed || sourceScanner_.RootUnreadable() || sourceScanner_.OverlapFound()) {
    destinationScanner_.Stop();  // the thread's end waits for it
    if (sourceScanner_.OverlapFound()) return ReportOverlap(entry);
    if (!listed) return Listing::kStopped;
    report_.Report(kMsgSourceMissing, entry.source, "");
    return Listing::kSkipped;
  }
  report_.Report(kMsgAnalysing, "", entry.destination);
  if (parallel) destination.Join();
  else ListDestination(&job);
  if (destinationScanner_.OverlapFound()) return ReportOverlap(entry);
  for (const std::string& key : sourceScanner_.unreadable)
    report_.Report(kMsgSourceUnreadable, entry.source + key, "");
  for (const std::string& key : destinationScanner_.unreadable)
    report_.Report(kMsgDestinationUnreadable, "", entry.destination + key);
  return Listing::kListed;
}

MirrorRun::Listing MirrorRun::ReportOverlap(const MirrorEntry& entry) {
  report_.Report(kMsgBadEntry, entry.source, entry.destination);
  return Listing::kSkipped;
}
