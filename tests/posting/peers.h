#pragma once
// The other processes of the posting tests: the test program started again
// with "--peer" and a role. They meet the test through files in a directory.

#include <string>
#include <vector>

namespace test {

// "--peer receive <key> <dir> <expected> <name>": registers a receiver, writes
// <dir>/<name>.ready, and once `expected` texts have arrived (or <dir>/stop
// exists) writes "<texts> <distinct texts> <texts with another key>" to
// <dir>/<name>.tally and ends.
// "--peer send <key> <dir> <threads> <count> <tag>": posts "<tag>.<thread>.<i>"
// from each thread, then waits for <dir>/done before it ends.
// "--peer hold <key> <dir>": registers a receiver for the key, takes the
// channel's serial mutex and keeps it, writes <dir>/hold.ready, and lets
// go and ends once <dir>/done exists.
std::vector<std::string> HolderPeer(const std::string& key, const std::string& dir);
std::vector<std::string> ReceiverPeer(const std::string& key, const std::string& dir,
                                      int expected, const std::string& name);
std::vector<std::string> SenderPeer(const std::string& key, const std::string& dir, int threads,
                                    int count, const std::string& tag);

// Runs a peer's role; its exit status.
int RunPeer(const std::vector<std::string>& arguments);

}  // namespace test
