#pragma once
// Windows and messages: windows owned by a thread, each with a procedure
// that can be replaced; a message loop per thread with posted messages,
// sent messages and timers; messages sent across threads and processes.
// The Windows builds use the system's windows; natively these are
// message-only windows of our own.

#include <cstdint>
#include <string>

// Window procedures use the system's calling convention.
#if defined(_WIN32) && defined(__i386__)
#define KELMORAY_CALLBACK __attribute__((stdcall))
#else
#define KELMORAY_CALLBACK
#endif

namespace platform {

using WindowHandle = std::uintptr_t;  // 0 is none
using WordParam = std::uintptr_t;
using LongParam = std::intptr_t;
using MessageResult = std::intptr_t;
using WindowProcedure = MessageResult(KELMORAY_CALLBACK*)(WindowHandle window, unsigned message,
                                                          WordParam wordParam, LongParam longParam);

constexpr unsigned kMessageDestroy = 0x0002;
constexpr unsigned kMessageCommand = 0x0111;  // a menu, toolbar or accelerator command: wordParam is its id
constexpr unsigned kMessageNcDestroy = 0x0082;
constexpr unsigned kMessageTimer = 0x0113;
constexpr unsigned kMessageUser = 0x0400;

struct Message {
  WindowHandle window = 0;
  unsigned message = 0;
  WordParam wordParam = 0;
  LongParam longParam = 0;
};

// A handle as a 32-bit value that other processes can keep, and back.
// Handles are 32-bit values on every build; widening sign-extends.
inline std::uint32_t HandleToValue(WindowHandle window) { return static_cast<std::uint32_t>(window); }
inline WindowHandle ValueToHandle(std::uint32_t value) {
  return static_cast<WindowHandle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

// A hidden window that only receives messages, owned by the calling thread,
// whose procedure is `procedure` and whose data (WindowData) is `data` from
// its first message on; 0 on failure.
WindowHandle CreateMessageWindow(WindowProcedure procedure, std::uintptr_t data = 0);

// What the window's owner keeps with it, such as the object its procedure
// works for; 0 for a window of another process or none.
std::uintptr_t WindowData(WindowHandle window);
void SetWindowData(WindowHandle window, std::uintptr_t data);

// Destroys a window of the calling thread: its procedure gets kMessageDestroy,
// then kMessageNcDestroy, and the handle is dead. False for other windows.
bool DestroyMessageWindow(WindowHandle window);

// True while the handle names a window of any process.
bool IsWindowAlive(WindowHandle window);

// True while the handle names a live window of this process.
bool IsWindowOfThisProcess(WindowHandle window);

// Gives the window a new procedure and returns the one it had (null when the
// window is not one of this process).
WindowProcedure ReplaceWindowProcedure(WindowHandle window, WindowProcedure procedure);

MessageResult CallWindowProcedure(WindowProcedure procedure, WindowHandle window, unsigned message,
                                  WordParam wordParam, LongParam longParam);

// Has the window's procedure handle the message on the window's thread and
// returns its result; waits until then. 0 when the window is gone or goes
// before handling it.
MessageResult SendToWindow(WindowHandle window, unsigned message, WordParam wordParam,
                           LongParam longParam);

// Queues the message for a window of this process and returns at once.
bool PostToWindow(WindowHandle window, unsigned message, WordParam wordParam, LongParam longParam);

// The same number for the same name (letter case aside) in every process,
// within 0xC000–0xFFFF; 0 on failure.
unsigned RegisterMessageName(const std::string& name);

// kMessageTimer with wordParam = id every `milliseconds` for a window of the
// calling thread; starting an id again restarts it.
bool StartTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds);
void StopTimer(WindowHandle window, std::uintptr_t id);

// Waits for the next posted message or timer of the calling thread, handling
// sent messages meanwhile. False once PostQuit was called on this thread.
bool NextMessage(Message* message);
// The next posted message or due timer of the calling thread if there is
// one, without waiting; sent messages are handled meanwhile.
bool TakeMessage(Message* message);
MessageResult DispatchToWindow(const Message& message);
void PostQuit();

// The message the thread handles now, as a window framework records it.
struct CurrentMessage {
  Message message;
  std::uint32_t time = 0;
  int pointX = 0;
  int pointY = 0;
};
inline CurrentMessage& ThreadCurrentMessage() {
  thread_local CurrentMessage current;
  return current;
}

}  // namespace platform
