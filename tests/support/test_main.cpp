// The main function of every test program.

#include <gtest/gtest.h>

#include "tests/support/test_run.h"

int main(int argc, char** argv) {
  test::UseChannelOfThisRun();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
