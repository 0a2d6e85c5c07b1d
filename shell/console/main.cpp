#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/paths.h"
#include "shell/console/console_front_end.h"

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // The listings grow by doubling their buffers. With a fixed threshold each
  // large buffer is mapped on its own and goes back to the system as soon as
  // it is replaced; by default glibc raises the threshold after the first
  // such release and keeps the replaced buffers in the heap, which adds a
  // tenth to the peak of a run over a large tree.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
  std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return RunConsole(arguments);
}
