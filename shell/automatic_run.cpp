#include "shell/automatic_run.h"

#include <chrono>
#include <thread>

#include "resources/ids.h"

std::function<void()> AfterRunOf(platform::WindowHandle mainWindow, const StartupFlags& flags) {
  if (!flags.exitAfterRun) return nullptr;
  return [mainWindow] {
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    platform::PostToWindow(mainWindow, platform::kMessageCommand, ID_APP_EXIT, 0);
  };
}
