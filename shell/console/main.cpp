#include <string>
#include <vector>

#include "shell/console/console_front_end.h"

int main(int argc, char** argv) {
  return RunConsole(std::vector<std::string>(argv + 1, argv + argc));
}
