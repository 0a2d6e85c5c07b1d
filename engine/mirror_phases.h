#pragma once
// The three phases that bring one entry's destination tree into line with
// its source, once both trees are listed: files only at the destination
// deleted, directories only there removed, new and changed files copied.
// Each phase returns false when the run is to end (a stop, a full disk).

#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>

#include "engine/copy_ahead.h"
#include "engine/run_report.h"
#include "engine/tree_scanner.h"
#include "settings/mirror_entry.h"

class MirrorPhases {
 public:
  MirrorPhases(const CtTreeScanner& source, const CtTreeScanner& destination, RunReport& report,
               std::stop_token stop);

  bool DeleteDestinationOnlyFiles(const MirrorEntry& entry);
  bool RemoveDestinationOnlyDirs(const MirrorEntry& entry);
  bool CopyNewAndChangedFiles(const MirrorEntry& entry);
  // Cancels the copies made ahead at once (any thread); the file in progress ends.
  void StopCopyAhead();

 private:
  bool CopyInListingOrder(const MirrorEntry& entry);
  bool CopyNewFile(const std::string& key, const std::string& src, const std::string& dst,
                   const MirrorEntry& entry);
  bool UpdateFile(const std::string& src, const std::string& dst, const FoundItem& source,
                  const MirrorEntry& entry);
  bool FileChanged(const std::string& src, const FoundItem& source, const FoundItem& destination,
                   const MirrorEntry& entry);
  platform::FileResult CopyOne(const std::string& src, const std::string& dst, const MirrorEntry& entry);
  void StartCopyAhead(const MirrorEntry& entry);
  bool NeedsAttention(std::string_view key, const FoundItem& item) const;
  bool NeedsCopy(std::string_view key, const FoundItem& item) const;
  bool CopyFailed(int failedId, platform::FileResult result, const std::string& src,
                  const std::string& dst);
  bool DestinationDirectoryIsSafe(const std::string& key, const MirrorEntry& entry) const;

  const CtTreeScanner& source_;
  const CtTreeScanner& destination_;
  RunReport& report_;
  std::stop_token stop_;
  std::string readyDirectory_;  // where the last copy went
  size_t position_ = 0;         // of the file being copied, in listing order
  std::mutex copyAheadLock_;    // the worker replaces the helper; a stop reaches it
  std::unique_ptr<CopyAhead> copyAhead_;
};
