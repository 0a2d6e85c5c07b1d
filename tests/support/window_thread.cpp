#include "tests/support/window_thread.h"

#include <chrono>
#include <future>
#include <map>

namespace test {

namespace {

constexpr unsigned kRunMessage = platform::kMessageUser + 77;
constexpr unsigned kRunLaterMessage = platform::kMessageUser + 78;

std::mutex logLock;
std::map<platform::WindowHandle, std::vector<unsigned>> logs;

platform::MessageResult KELMORAY_CALLBACK ControlProcedure(platform::WindowHandle, unsigned message,
                                                           platform::WordParam,
                                                           platform::LongParam longParam) {
  if (message == kRunMessage) (*reinterpret_cast<const std::function<void()>*>(longParam))();
  if (message == kRunLaterMessage) {
    auto* work = reinterpret_cast<std::function<void()>*>(longParam);
    (*work)();
    delete work;
  }
  return 0;
}

}  // namespace

void MessageLog::Record(platform::WindowHandle window, unsigned message) {
  std::lock_guard guard(logLock);
  logs[window].push_back(message);
}

std::vector<unsigned> MessageLog::Of(platform::WindowHandle window) {
  std::lock_guard guard(logLock);
  return logs[window];
}

void MessageLog::Forget(platform::WindowHandle window) {
  std::lock_guard guard(logLock);
  logs.erase(window);
}

platform::MessageResult KELMORAY_CALLBACK RecordingProcedure(platform::WindowHandle window,
                                                             unsigned message,
                                                             platform::WordParam,
                                                             platform::LongParam) {
  MessageLog::Record(window, message);
  return 1000 + message;
}

WindowThread::WindowThread() {
  std::promise<platform::WindowHandle> ready;
  auto control = ready.get_future();
  thread_ = std::thread([this, &ready] {
    ready.set_value(platform::CreateMessageWindow(ControlProcedure));
    Loop();
  });
  control_ = control.get();
}

WindowThread::~WindowThread() {
  Run([this] {
    for (const platform::WindowHandle window : windows_) {
      if (platform::IsWindowAlive(window)) platform::DestroyMessageWindow(window);
      MessageLog::Forget(window);
    }
    platform::DestroyMessageWindow(control_);
    platform::PostQuit();
  });
  thread_.join();
}

void WindowThread::Loop() {
  platform::Message message;
  while (platform::NextMessage(&message)) platform::DispatchToWindow(message);
}

void WindowThread::Run(const std::function<void()>& work) {
  platform::SendToWindow(control_, kRunMessage, 0, reinterpret_cast<platform::LongParam>(&work));
}

void WindowThread::RunLater(std::function<void()> work) {
  auto* copy = new std::function<void()>(std::move(work));
  platform::PostToWindow(control_, kRunLaterMessage, 0, reinterpret_cast<platform::LongParam>(copy));
}

platform::WindowHandle WindowThread::NewWindow() {
  platform::WindowHandle window = 0;
  Run([&] {
    window = platform::CreateMessageWindow(RecordingProcedure);
    windows_.push_back(window);
  });
  return window;
}

bool WaitUntil(const std::function<bool()>& done, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace test
