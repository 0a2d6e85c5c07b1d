#pragma once
// Copies the files that a run is about to copy a few steps ahead of it, on a
// thread of its own, into files without a name in the destination tree; the
// run then names each one in its turn. Only the run makes changes that
// anyone can see, and in its own order: a copy it never names (after a
// stop, a full disk, a skipped file) vanishes with its descriptor.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "platform/file_operations.h"
#include "platform/prepared_copy.h"
#include "platform/thread.h"

struct PlannedCopy {
  size_t position = 0;  // in the run's order
  std::string source;
  std::uint64_t size = 0;
};

class CopyAhead {
 public:
  // Gives the next file the run will copy, in its order; false when none is left.
  using NextCopy = std::function<bool(PlannedCopy* next)>;
  // Makes one copy as platform::PrepareCopy does (tests put themselves in its place).
  using Prepare = std::function<platform::PreparedCopy(
      const std::string& source, const std::string& directory, const std::function<bool()>& cancelled)>;

  // Starts preparing copies in `directory` (on the destination's file system).
  CopyAhead(std::string directory, NextCopy next, Prepare prepare = platform::PrepareCopy);
  // Stops the helper, cancelling a copy under way, waits for it, and drops
  // every copy not taken.
  ~CopyAhead();
  CopyAhead(const CopyAhead&) = delete;
  CopyAhead& operator=(const CopyAhead&) = delete;

  // The copy prepared for the file at `position`, waiting for it if need be
  // (but never for a large copy of a later file); one with
  // kErrorNotSupported when there is none (copy it the usual way).
  platform::PreparedCopy Take(size_t position, const std::string& source);

 private:
  struct Ready {
    PlannedCopy planned;
    platform::PreparedCopy copy;
  };
  static void Run(void* self) noexcept;
  void Work();
  bool Full() const;
  bool HalfEmpty() const;
  bool BatchReady() const;
  void Drop();  // the front copy; the lock is held

  const std::string directory_;
  const NextCopy next_;
  const Prepare prepare_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<Ready> ready_;
  std::uint64_t readyBytes_ = 0;
  bool finished_ = false;  // the helper has ended
  bool stopping_ = false;  // the run wants no more
  bool copyingLarge_ = false;  // the helper copies a large file now
  std::atomic<bool> cancelled_{false};
  platform::JoinableThread thread_;
};
