#include "engine/copy_ahead.h"

#include <algorithm>
#include <utility>

namespace {

// How far the helper may run ahead: a few dozen small files, or one large
// one, and never more than this share of the free space.
constexpr size_t kMostReady = 64;
constexpr std::uint64_t kMostReadyBytes = 64 << 20;
constexpr std::uint64_t kFreeSpaceShare = 8;
// Each side that has to wait for the other waits for a batch, not for one
// file: a thread switch per copied file would cost more than it gains. But
// the run never waits for a large copy other than its own.
constexpr size_t kBatch = 8;
constexpr std::uint64_t kLargeCopy = 1 << 20;

}  // namespace

CopyAhead::CopyAhead(NextCopy next, Prepare prepare, FreeSpace freeSpace)
    : next_(std::move(next)), prepare_(std::move(prepare)), freeSpace_(std::move(freeSpace)) {
  if (!thread_.Start(Run, this)) finished_ = true;
}

CopyAhead::~CopyAhead() {
  Stop();
  thread_.Join();
}

void CopyAhead::Stop() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  cancelled_ = true;  // a copy under way stops at its next chunk
  changed_.notify_all();
}

void CopyAhead::Run(void* self) noexcept { static_cast<CopyAhead*>(self)->Work(); }

bool CopyAhead::Full() const {
  return !ready_.empty() && (ready_.size() >= kMostReady || readyBytes_ >= kMostReadyBytes);
}

bool CopyAhead::HalfEmpty() const {
  return ready_.size() <= kMostReady / 2 && readyBytes_ <= kMostReadyBytes / 2;
}

bool CopyAhead::BatchReady() const { return ready_.size() >= kBatch || finished_ || Full(); }

// Whether a copy of `size` bytes may join those waiting, within the share
// of the free space; one alone always may, if it fits the share at all.
bool CopyAhead::RoomFor(std::uint64_t size, std::uint64_t share) const {
  return readyBytes_ == 0 || readyBytes_ + size <= share;
}

// An eighth of the free space where a copy goes, learnt again for each
// directory and after every few dozen copies: the disk fills as they go.
std::uint64_t CopyAhead::ShareOfFreeSpace(const std::string& directory) {
  if (directory != shareDirectory_ || ++sharedCopies_ >= kMostReady) {
    share_ = freeSpace_(directory) / kFreeSpaceShare;
    shareDirectory_ = directory;
    sharedCopies_ = 0;
  }
  return share_;
}

// Everything before `position` is decided: made ready, or passed by (the
// run copies it itself). A run waiting for a file passed by goes on at once.
void CopyAhead::Pass(size_t position) {
  passed_ = std::max(passed_, position);
  // The run waits for a file that never comes (one made ready waits for its batch).
  const bool ready = !ready_.empty() && ready_.front().planned.position == waitingFor_;
  if (waitingFor_ < passed_ && !ready) changed_.notify_all();
}

// Decides on the planned copy, the lock held: true to make it; false to
// pass it by (too large a share of the free space: the run copies it in its
// turn), or, with stopping_ set, to end. Waits until it may join the copies
// waiting.
bool CopyAhead::Admit(std::unique_lock<std::mutex>& guard, const PlannedCopy& planned, std::uint64_t share) {
  Pass(planned.position);
  if (planned.size > share) {
    Pass(planned.position + 1);
    return false;
  }
  slow_ = planned.size >= kLargeCopy || !RoomFor(planned.size, share);
  if (slow_) changed_.notify_all();  // a run waiting for a batch takes what is ready
  roomWanted_ = true;
  changed_.wait(guard, [&] { return stopping_ || RoomFor(planned.size, share); });
  roomWanted_ = false;
  return !stopping_;
}

// One lock on either side of each copy: a thread switch per copied file
// would cost more than the helper gains.
void CopyAhead::Work() {
  PlannedCopy planned;
  while (next_(&planned)) {
    const std::uint64_t share = ShareOfFreeSpace(planned.directory);
    {
      std::unique_lock guard(lock_);
      if (!Admit(guard, planned, share)) {
        if (stopping_) break;
        continue;
      }
    }
    platform::PreparedCopy copy =
        prepare_(planned.source, planned.directory, [this] { return cancelled_.load(); });
    // A file system that makes no unnamed files: the run copies the rest itself.
    if (cancelled_ || copy.Error() == platform::kErrorNotSupported) break;
    std::unique_lock guard(lock_);
    slow_ = false;
    readyBytes_ += planned.size;
    ready_.push_back({planned, std::move(copy)});
    passed_ = planned.position + 1;
    if (BatchReady()) changed_.notify_all();
    if (Full()) changed_.wait(guard, [&] { return stopping_ || HalfEmpty(); });
    if (stopping_) break;
  }
  std::lock_guard guard(lock_);
  finished_ = true;
  changed_.notify_all();
}

platform::PreparedCopy CopyAhead::Take(size_t position, const std::string& source) {
  std::unique_lock guard(lock_);
  for (;;) {
    // Copies planned before this one were skipped by the run: they go.
    while (!ready_.empty() && ready_.front().planned.position < position) Drop();
    if (!ready_.empty()) break;
    // Nothing comes for this file: the helper has ended or stopped, or passed it by.
    if (finished_ || stopping_ || passed_ > position) return {};
    waitingFor_ = position;
    changed_.wait(guard, [&] {
      return BatchReady() || stopping_ || (slow_ && !ready_.empty()) || passed_ > position;
    });
    waitingFor_ = kNotWaiting;
  }
  Ready& front = ready_.front();
  if (front.planned.position != position || front.planned.source != source) return {};
  platform::PreparedCopy copy = std::move(front.copy);
  Drop();
  return copy;
}

void CopyAhead::Drop() {
  readyBytes_ -= ready_.front().planned.size;
  ready_.pop_front();
  if (roomWanted_ || HalfEmpty()) changed_.notify_all();
}
