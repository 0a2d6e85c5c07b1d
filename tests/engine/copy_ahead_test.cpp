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
  std::vector<PlannedCopy> plan = {{0, dir / "small.txt", 5, dir.Path()}, {1, dir / "large.bin", kLarge, dir.Path()}};
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
  auto ahead = std::make_unique<CopyAhead>(next, prepare);
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


// A plan of `count` small files, each copied by `prepare`.
struct SmallFiles {
  SmallFiles(const TempDir& dir, size_t count, std::uint64_t size) {
    for (size_t i = 0; i < count; ++i) {
      const std::string name = dir / ("f" + std::to_string(i) + ".txt");
      WriteFile(name, std::string(size, 'x'));
      plan.push_back({i, name, size, dir.Path()});
    }
  }
  CopyAhead::NextCopy Next() {
    return [this](PlannedCopy* copy) {
      if (given == plan.size()) return false;
      *copy = plan[given++];
      return true;
    };
  }
  std::vector<PlannedCopy> plan;
  size_t given = 0;
};

// A stop during a run's wait for its own copy, with the helper stuck on a
// later one: the run takes its own file and waits for nothing else.
TEST(CopyAhead, AStopWaitsForTheRunsOwnFileOnly) {
  if (!platform::CanPrepareCopies()) GTEST_SKIP() << "no copies are made ahead here";
  TempDir dir;
  SmallFiles files(dir, 9, 5);
  std::promise<void> runWaits, secondStarted;
  std::shared_future<void> runWaitsSeen = runWaits.get_future().share();
  auto prepare = [&](const std::string& source, const std::string& directory,
                     const std::function<bool()>& cancelled) {
    if (source == files.plan[0].source) runWaitsSeen.wait();
    if (source == files.plan[1].source) {
      secondStarted.set_value();
      WaitUntil(cancelled);  // stuck until the stop
    }
    return platform::PrepareCopy(source, directory, cancelled);
  };
  CopyAhead ahead(files.Next(), prepare);
  std::atomic<bool> tookOwn{false};
  std::thread run([&] { tookOwn = ahead.Take(0, files.plan[0].source).Error() == platform::kErrorNone; });
  // Time for the run to reach its wait before its own copy is ready.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  runWaits.set_value();
  secondStarted.get_future().wait();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the run waits for a batch now
  EXPECT_FALSE(tookOwn) << "the run waits for a batch of small copies";
  ahead.Stop();
  EXPECT_TRUE(WaitUntil([&] { return tookOwn.load(); })) << "the run waited for later copies";
  run.join();
  EXPECT_EQ(ahead.Take(1, files.plan[1].source).Error(), platform::kErrorNotSupported)
      << "after a stop nothing more is made ahead";
}

// The copies waiting hold at most a small share of the free space, and a
// file larger than that share is left to the run; the run never waits for
// the helper to pass it by.
TEST(CopyAhead, CopiesMadeAheadHoldOnlyASmallShareOfTheFreeSpace) {
  if (!platform::CanPrepareCopies()) GTEST_SKIP() << "no copies are made ahead here";
  TempDir dir;
  SmallFiles files(dir, 40, 100);
  std::atomic<int> prepared{0};
  auto prepare = [&](const std::string& source, const std::string& directory,
                     const std::function<bool()>& cancelled) {
    ++prepared;
    return platform::PrepareCopy(source, directory, cancelled);
  };
  // 8,000 bytes free: a share of 1,000 bytes, ten of these files.
  CopyAhead ahead(files.Next(), prepare, [](const std::string&) -> std::uint64_t { return 8000; });
  ASSERT_TRUE(WaitUntil([&] { return prepared >= 10; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // time to overstep the share
  EXPECT_EQ(prepared, 10);
  for (size_t i = 0; i < files.plan.size(); ++i)
    EXPECT_EQ(ahead.Take(i, files.plan[i].source).Error(), platform::kErrorNone) << i;

  TempDir tight;
  SmallFiles large(tight, 3, 100);
  prepared = 0;
  CopyAhead none(large.Next(), prepare, [](const std::string&) -> std::uint64_t { return 400; });
  for (size_t i = 0; i < large.plan.size(); ++i)
    EXPECT_EQ(none.Take(i, large.plan[i].source).Error(), platform::kErrorNotSupported) << i;
  EXPECT_EQ(prepared, 0) << "each file is more than an eighth of the free space";
}

// A file passed by (too large for the share) is the run's to copy at once:
// it never waits for the helper to make copies of later files.
TEST(CopyAhead, TheRunNeverWaitsForAFilePassedBy) {
  if (!platform::CanPrepareCopies()) GTEST_SKIP() << "no copies are made ahead here";
  TempDir dir;
  SmallFiles files(dir, 9, 100);
  files.plan[0].size = 5000;  // more than an eighth of 8,000 bytes
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  auto prepare = [&](const std::string& source, const std::string& directory,
                     const std::function<bool()>& cancelled) {
    if (source == files.plan[2].source) released.wait();  // later copies are slow
    return platform::PrepareCopy(source, directory, cancelled);
  };
  CopyAhead ahead(files.Next(), prepare, [](const std::string&) -> std::uint64_t { return 8000; });
  std::atomic<bool> answered{false};
  std::thread run([&] {
    answered = ahead.Take(0, files.plan[0].source).Error() == platform::kErrorNotSupported;
  });
  EXPECT_TRUE(WaitUntil([&] { return answered.load(); })) << "the run waited for later copies";
  release.set_value();
  run.join();
}

}  // namespace

}  // namespace test
