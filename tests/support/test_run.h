#pragma once
// What makes one test run independent of every other run on the machine.

namespace test {

// Gives the posting channel of this test run names of its own, so that any
// number of test runs and real programs post side by side. A test program
// started by another one (a peer) inherits the starter's channel through
// the environment.
void UseChannelOfThisRun();

}  // namespace test
