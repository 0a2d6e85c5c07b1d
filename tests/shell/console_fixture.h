#pragma once
// The console program run as a user runs it: a separate process over trees
// and a settings file in the test's directory.

#include <string>
#include <vector>

#include "engine/messages.h"
#include "platform/paths.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"

namespace test {

// Linux's signal numbers; the tests that send them run natively only.
constexpr int kSigHup = 1, kSigInt = 2, kSigKill = 9, kSigTerm = 15;

class ConsoleTest : public ProgramRunTest {
 protected:
  // Runs the console program; its exit status, with its standard output in *output.
  int RunConsole(const std::vector<std::string>& arguments, std::string* output = nullptr) {
    ChildProcess child(KELMORAY_CONSOLE, arguments, output_);
    EXPECT_TRUE(child.Started());
    const int status = child.Wait();
    if (output != nullptr) *output = ReadStoredText(output_);
    return status;
  }

  const std::string output_ = dir_ / "output.txt";
};

inline int Lines(const std::string& output, int id) {
  int count = 0;
  for (size_t at = output.find(MessageText(id) + "\t"); at != std::string::npos;
       at = output.find(MessageText(id) + "\t", at + 1))
    ++count;
  return count;
}

}  // namespace test
