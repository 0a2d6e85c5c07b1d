// The copies made ahead of the run: the run waits for its own file only,
// and a stop cancels a copy under way at once.

#include "engine/copy_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

constexpr std::uint64_t kLarge = 3ull << 30;  // what the plan says; the file itself is small

TEST(CopyAhead, TheRunWaitsForItsOwnFileOnlyAndAStopCancelsTheCopyUnderWay) {
  if (!platform::CanPrepareCopies()) GTEST_SKIP() << "no copies are made ahead here";
  TempDir dir;
  WriteFile(dir / "small.txt", "small");
  WriteFile(dir / "large.bin", "large");
  std::vector<PlannedCopy> plan = {{0, dir / "small.txt", 5}, {1, dir / "large.bin", kLarge}};
  size_t planned = 0;
  auto next = [&](PlannedCopy* copy) {
    if (planned == plan.size()) return false;
    *copy = plan[planned++];
    return true;
  };
  // The small copy waits until the run waits for it; the large one until it
  // is cancelled (the test never lets it finish by itself).
  std::promise<void> runWaits, largeStarted;
  std::shared_future<void> runWaitsSeen = runWaits.get_future().share();
  std::atomic<bool> largeCancelled{false}, largeTimedOut{false};
  auto prepare = [&](const std::string& source, const std::string& directory,
                     const std::function<bool()>& cancelled) {
    if (source == plan[0].source) {
      runWaitsSeen.wait();
    } else {
      largeStarted.set_value();
      largeTimedOut = !WaitUntil(cancelled);
      largeCancelled = cancelled();
    }
    return platform::PrepareCopy(source, directory, cancelled);
  };
  auto ahead = std::make_unique<CopyAhead>(dir.Path(), next, prepare);
  std::atomic<bool> taken{false};
  std::thread run([&] {
    const platform::PreparedCopy copy = ahead->Take(0, plan[0].source);
    taken = copy.Error() == platform::kErrorNone;
  });
  // Time for the run to reach its wait, so that a run that waited for the
  // batch, and so for the large copy, would show it.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  runWaits.set_value();
  largeStarted.get_future().wait();
  run.join();
  EXPECT_TRUE(taken) << "the run got its small file";
  EXPECT_FALSE(largeTimedOut) << "the run waited for the large copy of a later file";
  ahead.reset();
  EXPECT_TRUE(largeCancelled) << "the stop cancels the copy under way";
}

}  // namespace

}  // namespace test
