#pragma once
// Copies the files that a run is about to copy a few steps ahead of it, on a
// thread of its own, into files without a name in each file's own
// destination directory (so that a copy gets what that directory gives its
// files: a group, default permissions); the run then names each one in its
// turn. Only the run makes files that anyone can see, and in its own order:
// a copy it never names (after a stop, a full disk, a skipped file)
// vanishes with its descriptor. (The directories a copy goes to are made
// ahead where the run would make them, and stay after a stop.) The copies
// waiting hold at most a small share of the free space, and one that failed
// is made again in its turn.

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
  std::string directory;  // where the copy goes, there already
};

class CopyAhead {
 public:
  // Gives the next file the run will copy, in its order; false when none is left.
  using NextCopy = std::function<bool(PlannedCopy* next)>;
  // Makes one copy as platform::PrepareCopy does (tests put themselves in its place).
  using Prepare = std::function<platform::PreparedCopy(
      const std::string& source, const std::string& directory, const std::function<bool()>& cancelled)>;

  // The bytes free for copies in a directory (tests put themselves in its place).
  using FreeSpace = std::function<std::uint64_t(const std::string& directory)>;

  // Starts preparing copies.
  explicit CopyAhead(NextCopy next, Prepare prepare = platform::PrepareCopy,
                     FreeSpace freeSpace = platform::FreeSpaceIn);
  // Stops the helper, cancelling a copy under way, waits for it, and drops
  // every copy not taken.
  ~CopyAhead();
  CopyAhead(const CopyAhead&) = delete;
  CopyAhead& operator=(const CopyAhead&) = delete;

  // The copy prepared for the file at `position`, waiting for it if need be
  // (but never for a copy of a later file, nor once Stop was called); one
  // with kErrorNotSupported when there is none (copy it the usual way).
  platform::PreparedCopy Take(size_t position, const std::string& source);

  // Makes no more copies and cancels the one under way; Take then waits no
  // longer. From any thread; returns at once.
  void Stop();

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
  bool RoomFor(std::uint64_t size, std::uint64_t share) const;
  bool Admit(std::unique_lock<std::mutex>& guard, const PlannedCopy& planned, std::uint64_t share);
  std::uint64_t ShareOfFreeSpace(const std::string& directory);  // the helper's own
  void Pass(size_t position);  // the lock is held
  void Drop();  // the front copy; the lock is held

  const NextCopy next_;
  const Prepare prepare_;
  const FreeSpace freeSpace_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<Ready> ready_;
  std::uint64_t readyBytes_ = 0;
  bool finished_ = false;  // the helper has ended
  bool stopping_ = false;  // the run wants no more
  bool slow_ = false;  // the helper adds nothing soon: the run takes what is ready
  bool roomWanted_ = false;  // the helper waits for copies to be taken
  size_t passed_ = 0;       // every position before it is ready or passed by
  static constexpr size_t kNotWaiting = static_cast<size_t>(-1);
  size_t waitingFor_ = kNotWaiting;  // the position the run waits for
  std::atomic<bool> cancelled_{false};
  std::string shareDirectory_;  // where the share was last learnt, by the helper alone
  std::uint64_t share_ = 0;
  size_t sharedCopies_ = 0;
  platform::JoinableThread thread_;
};
