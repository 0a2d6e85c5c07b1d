#include "platform/window_system.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <random>
#include <unordered_map>
#include <vector>

// Message-only windows. A window has a 32-bit handle, an owner thread and a
// procedure. Each thread that owns windows has a queue of posted messages and
// of messages sent from other threads of the process, woken through an
// eventfd. Other processes reach a window through an abstract Unix socket
// named after its handle: one connection per sent message, carrying the
// message and, back, the result. That socket existing is what makes a handle
// alive for other processes, and binding it is what makes a handle unique.

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

struct WireRequest {
  std::uint32_t message;
  std::uint32_t reserved;
  std::uint64_t wordParam;
  std::int64_t longParam;
};

struct WireReply {
  std::int64_t result;
};

// A message sent from another thread of the process, waiting for its result.
struct SentMessage {
  Message message;
  MessageResult result = 0;
  bool done = false;
};

struct ThreadQueue {
  ThreadQueue() : wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~ThreadQueue() { close(wakeFd); }
  // Called with the lock held, after queueing something. Only a thread
  // that waits needs the eventfd; a busy one finds the message by itself.
  void Wake() {
    if (!waiting) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof one);
    waiting = false;
  }

  std::mutex lock;
  std::condition_variable answered;
  std::deque<Message> posted;
  std::deque<SentMessage*> sent;
  bool closed = false;   // the owner thread has ended
  bool waiting = false;  // the owner thread waits, or is about to, for the eventfd
  const int wakeFd;
};

struct Window {
  WindowHandle handle;
  std::shared_ptr<ThreadQueue> owner;
  std::atomic<WindowProcedure> procedure;
  std::atomic<std::uintptr_t> data;
  int listener;
};

struct Connection {
  int fd;
  WindowHandle window;
};

struct Timer {
  WindowHandle window;
  std::uintptr_t id;
  Clock::duration interval;
  Clock::time_point due;
};

// Every window of the process. Never destroyed, so that threads ending
// during the process's exit still find it.
struct WindowTable {
  std::mutex lock;
  std::unordered_map<WindowHandle, std::shared_ptr<Window>> windows;
};

WindowTable& Windows() {
  static WindowTable* table = new WindowTable;
  return *table;
}

std::shared_ptr<Window> FindWindow(WindowHandle handle) {
  WindowTable& table = Windows();
  std::lock_guard guard(table.lock);
  const auto found = table.windows.find(handle);
  return found == table.windows.end() ? nullptr : found->second;
}

void CompleteSent(ThreadQueue& queue, WindowHandle window);

// What the owner thread keeps about its windows.
struct ThreadState {
  ~ThreadState() {
    // An ending thread's windows go without messages: nothing is left to handle them.
    for (const WindowHandle handle : std::vector(windows)) Forget(handle);
    std::lock_guard guard(queue->lock);
    queue->closed = true;
    for (SentMessage* message : queue->sent) message->done = true;
    queue->sent.clear();
    queue->answered.notify_all();
  }

  // Drops the window with everything that waits for it.
  void Forget(WindowHandle handle) {
    std::shared_ptr<Window> window;
    {
      WindowTable& table = Windows();
      std::lock_guard guard(table.lock);
      const auto found = table.windows.find(handle);
      if (found == table.windows.end()) return;
      window = found->second;
      table.windows.erase(found);
    }
    close(window->listener);
    std::erase(windows, handle);
    std::erase_if(timers, [&](const Timer& timer) { return timer.window == handle; });
    std::erase_if(connections, [&](const Connection& connection) {
      if (connection.window != handle) return false;
      close(connection.fd);
      return true;
    });
    CompleteSent(*queue, handle);
  }

  std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
  std::vector<WindowHandle> windows;
  std::vector<Connection> connections;
  std::vector<Timer> timers;
  bool quit = false;
};

thread_local ThreadQueue* currentQueue = nullptr;  // set once the thread owns state

ThreadState& CurrentState() {
  thread_local ThreadState state;
  currentQueue = state.queue.get();
  return state;
}

bool OwnedByThisThread(const Window& window) { return window.owner.get() == currentQueue; }

void CompleteSent(ThreadQueue& queue, WindowHandle window) {
  std::lock_guard guard(queue.lock);
  std::erase_if(queue.posted, [&](const Message& message) { return message.window == window; });
  std::erase_if(queue.sent, [&](SentMessage* message) {
    if (message->message.window != window) return false;
    message->done = true;
    return true;
  });
  queue.answered.notify_all();
}

sockaddr_un SocketAddress(WindowHandle handle, socklen_t* length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // Abstract name: a leading zero byte, no file.
  const int written = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1,
                                    "kelmoray.window.%u", HandleToValue(handle));
  *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + written);
  return address;
}

int ConnectTo(WindowHandle handle, int extraFlags) {
  const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | extraFlags, 0);
  if (fd < 0) return -1;
  socklen_t length;
  const sockaddr_un address = SocketAddress(handle, &length);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) return fd;
  const int error = errno;
  if (error == EAGAIN || error == EINPROGRESS) return fd;  // a full backlog: alive all the same
  close(fd);
  return -1;
}

// Binds a listening socket under a fresh random handle.
int ListenUnderNewHandle(WindowHandle* handle) {
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::uint32_t> pick(0x10000, 0x7fffffff);
  for (int attempt = 0; attempt < 64; ++attempt) {
    const WindowHandle candidate = pick(random);
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    socklen_t length;
    const sockaddr_un address = SocketAddress(candidate, &length);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        listen(fd, SOMAXCONN) == 0) {
      *handle = candidate;
      return fd;
    }
    const int error = errno;
    close(fd);
    if (error != EADDRINUSE) return -1;
  }
  return -1;
}

MessageResult Dispatch(WindowHandle handle, unsigned message, WordParam wordParam,
                       LongParam longParam) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  if (window == nullptr) return 0;
  return CallWindowProcedure(window->procedure.load(), handle, message, wordParam, longParam);
}

void HandleSentMessages(ThreadQueue& queue) {
  std::unique_lock guard(queue.lock);
  while (!queue.sent.empty()) {
    SentMessage* sent = queue.sent.front();
    queue.sent.pop_front();
    const Message message = sent->message;
    guard.unlock();
    const MessageResult result =
        Dispatch(message.window, message.message, message.wordParam, message.longParam);
    guard.lock();
    sent->result = result;
    sent->done = true;
    queue.answered.notify_all();
  }
}

MessageResult SendToOtherProcess(WindowHandle handle, const WireRequest& request) {
  const int fd = ConnectTo(handle, 0);
  if (fd < 0) return 0;
  WireReply reply{0};
  if (send(fd, &request, sizeof request, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof request)) {
    ssize_t received;
    do received = recv(fd, &reply, sizeof reply, 0);
    while (received < 0 && errno == EINTR);
    if (received != static_cast<ssize_t>(sizeof reply)) reply.result = 0;
  }
  close(fd);
  return static_cast<MessageResult>(reply.result);
}

bool SameUser(int fd) {
  ucred peer{};
  socklen_t length = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == geteuid();
}

void AcceptConnections(ThreadState& state, const Window& window) {
  for (;;) {
    const int fd = accept4(window.listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (SameUser(fd)) state.connections.push_back({fd, window.handle});
    else close(fd);
  }
}

// One message from another process: handle it, answer, hang up. A probe
// that only checked the window's existence sends nothing.
void ServeConnection(const Connection& connection) {
  WireRequest request{};
  const ssize_t received = recv(connection.fd, &request, sizeof request, 0);
  if (received == static_cast<ssize_t>(sizeof request)) {
    const WireReply reply{Dispatch(connection.window, request.message,
                                   static_cast<WordParam>(request.wordParam),
                                   static_cast<LongParam>(request.longParam))};
    send(connection.fd, &reply, sizeof reply, MSG_NOSIGNAL);
  }
  close(connection.fd);
}

int MillisecondsUntilNextTimer(const ThreadState& state) {
  if (state.timers.empty()) return -1;
  Clock::time_point next = Clock::time_point::max();
  for (const Timer& timer : state.timers) next = std::min(next, timer.due);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(wait, 0, 1'000'000));
}

bool TakeDueTimer(ThreadState& state, Message* message) {
  const Clock::time_point now = Clock::now();
  for (Timer& timer : state.timers) {
    if (timer.due > now) continue;
    timer.due = now + timer.interval;
    *message = {timer.window, kMessageTimer, timer.id, 0};
    return true;
  }
  return false;
}

// Waits for a wake-up, a connection, a request or a timer, and serves the
// requests that came in.
void WaitForEvents(ThreadState& state) {
  std::vector<pollfd> fds{{state.queue->wakeFd, POLLIN, 0}};
  std::vector<std::shared_ptr<Window>> listening;
  for (const WindowHandle handle : state.windows) {
    if (auto window = FindWindow(handle)) {
      fds.push_back({window->listener, POLLIN, 0});
      listening.push_back(std::move(window));
    }
  }
  const size_t firstConnection = fds.size();
  const std::vector<Connection> connections = state.connections;
  for (const Connection& connection : connections) fds.push_back({connection.fd, POLLIN, 0});

  {
    // Nothing may have come in since the queue was last looked at.
    std::lock_guard guard(state.queue->lock);
    if (!state.queue->posted.empty() || !state.queue->sent.empty()) return;
    state.queue->waiting = true;
  }
  const int events = poll(fds.data(), fds.size(), MillisecondsUntilNextTimer(state));
  {
    std::lock_guard guard(state.queue->lock);
    state.queue->waiting = false;
  }
  if (events <= 0) return;
  if (fds[0].revents != 0) {
    std::uint64_t count;
    [[maybe_unused]] const ssize_t read = ::read(state.queue->wakeFd, &count, sizeof count);
  }
  for (size_t i = 0; i < listening.size(); ++i) {
    if (fds[1 + i].revents != 0) AcceptConnections(state, *listening[i]);
  }
  // Take the ready connections off the list before serving any: a procedure
  // may run a message loop of its own.
  std::vector<Connection> ready;
  for (size_t i = 0; i < connections.size(); ++i) {
    if (fds[firstConnection + i].revents == 0) continue;
    ready.push_back(connections[i]);
    std::erase_if(state.connections,
                  [&](const Connection& open) { return open.fd == connections[i].fd; });
  }
  for (const Connection& connection : ready) ServeConnection(connection);
}

}  // namespace

WindowHandle CreateMessageWindow(WindowProcedure procedure, std::uintptr_t data) {
  ThreadState& state = CurrentState();
  WindowHandle handle = 0;
  const int listener = ListenUnderNewHandle(&handle);
  if (listener < 0) return 0;
  auto window = std::make_shared<Window>();
  window->handle = handle;
  window->owner = state.queue;
  window->procedure = procedure;
  window->data = data;
  window->listener = listener;
  {
    WindowTable& table = Windows();
    std::lock_guard guard(table.lock);
    table.windows.emplace(handle, std::move(window));
  }
  state.windows.push_back(handle);
  return handle;
}

bool DestroyMessageWindow(WindowHandle handle) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  if (window == nullptr || !OwnedByThisThread(*window)) return false;
  Dispatch(handle, kMessageDestroy, 0, 0);
  Dispatch(handle, kMessageNcDestroy, 0, 0);
  CurrentState().Forget(handle);
  return true;
}

bool IsWindowAlive(WindowHandle handle) {
  if (handle == 0 || handle > 0xffffffffu) return false;
  if (FindWindow(handle) != nullptr) return true;
  const int fd = ConnectTo(handle, SOCK_NONBLOCK);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool IsWindowOfThisProcess(WindowHandle handle) { return FindWindow(handle) != nullptr; }

WindowProcedure ReplaceWindowProcedure(WindowHandle handle, WindowProcedure procedure) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  return window == nullptr ? nullptr : window->procedure.exchange(procedure);
}

std::uintptr_t WindowData(WindowHandle handle) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  return window == nullptr ? 0 : window->data.load();
}

void SetWindowData(WindowHandle handle, std::uintptr_t data) {
  if (const std::shared_ptr<Window> window = FindWindow(handle)) window->data = data;
}

MessageResult CallWindowProcedure(WindowProcedure procedure, WindowHandle window, unsigned message,
                                  WordParam wordParam, LongParam longParam) {
  return procedure == nullptr ? 0 : procedure(window, message, wordParam, longParam);
}

MessageResult SendToWindow(WindowHandle handle, unsigned message, WordParam wordParam,
                           LongParam longParam) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  if (window == nullptr) {
    if (handle == 0 || handle > 0xffffffffu) return 0;
    return SendToOtherProcess(handle, {message, 0, wordParam, static_cast<std::int64_t>(longParam)});
  }
  if (OwnedByThisThread(*window)) return Dispatch(handle, message, wordParam, longParam);
  ThreadQueue& queue = *window->owner;
  SentMessage sent{{handle, message, wordParam, longParam}};
  std::unique_lock guard(queue.lock);
  if (queue.closed) return 0;
  queue.sent.push_back(&sent);
  queue.Wake();
  queue.answered.wait(guard, [&] { return sent.done; });
  return sent.result;
}

bool PostToWindow(WindowHandle handle, unsigned message, WordParam wordParam, LongParam longParam) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  if (window == nullptr) return false;
  ThreadQueue& queue = *window->owner;
  std::lock_guard guard(queue.lock);
  if (queue.closed) return false;
  queue.posted.push_back({handle, message, wordParam, longParam});
  queue.Wake();
  return true;
}

unsigned RegisterMessageName(const std::string& name) {
  if (name.empty()) return 0;
  // FNV-1a over the name with ASCII letters in upper case.
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    const unsigned char byte = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : static_cast<unsigned char>(c);
    hash = (hash ^ byte) * 16777619u;
  }
  return 0xc000 + hash % 0x4000;
}

bool StartTimer(WindowHandle handle, std::uintptr_t id, unsigned milliseconds) {
  const std::shared_ptr<Window> window = FindWindow(handle);
  if (window == nullptr || !OwnedByThisThread(*window)) return false;
  ThreadState& state = CurrentState();
  const Clock::duration interval = std::chrono::milliseconds(std::max(milliseconds, 1u));
  StopTimer(handle, id);
  state.timers.push_back({handle, id, interval, Clock::now() + interval});
  return true;
}

void StopTimer(WindowHandle handle, std::uintptr_t id) {
  std::erase_if(CurrentState().timers,
                [&](const Timer& timer) { return timer.window == handle && timer.id == id; });
}

bool NextMessage(Message* message) {
  ThreadState& state = CurrentState();
  for (;;) {
    HandleSentMessages(*state.queue);
    {
      std::lock_guard guard(state.queue->lock);
      if (!state.queue->posted.empty()) {
        *message = state.queue->posted.front();
        state.queue->posted.pop_front();
        return true;
      }
    }
    if (state.quit) return false;
    if (TakeDueTimer(state, message)) return true;
    WaitForEvents(state);
  }
}

bool TakeMessage(Message* message) {
  ThreadState& state = CurrentState();
  HandleSentMessages(*state.queue);
  {
    std::lock_guard guard(state.queue->lock);
    if (!state.queue->posted.empty()) {
      *message = state.queue->posted.front();
      state.queue->posted.pop_front();
      return true;
    }
  }
  return !state.quit && TakeDueTimer(state, message);
}

MessageResult DispatchToWindow(const Message& message) {
  return Dispatch(message.window, message.message, message.wordParam, message.longParam);
}

void PostQuit() {
  // Only the thread itself asks, so it is not waiting: its loop sees the flag.
  CurrentState().quit = true;
}

}  // namespace platform
