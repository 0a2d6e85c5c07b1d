#pragma once
// Delivery to windows of the sender's own process through their message
// queues: no data block, no delivery thread, and no shared block opened for
// a key that a receiver of this process registered. The sender still never
// waits, and the receiver still gets each text on its window's thread.
// Deliveries to other processes keep to the shared blocks.

#include <memory>
#include <string>

#include "platform/shared_memory.h"
#include "platform/window_system.h"

namespace posting {

// On by default; off, local windows are served like any other (tests of the shared protocol).
void SetLocalDelivery(bool enabled);
bool LocalDeliveryEnabled();

// The key block of a key that a receiver of this process registered, kept
// open and mapped while any such receiver lives.
struct LocalKey {
  explicit LocalKey(const std::string& blockName);
  ~LocalKey();
  LocalKey(const LocalKey&) = delete;
  LocalKey& operator=(const LocalKey&) = delete;

  platform::SharedHandle handle;
  platform::SharedView view;
  int receivers = 1;
};

void AddLocalKey(const std::string& blockName);
void RemoveLocalKey(const std::string& blockName);
// Null when no receiver of this process registered the key.
std::shared_ptr<LocalKey> FindLocalKey(const std::string& blockName);

// Texts for a window wait in its queue. The first text of an empty queue
// posts one wake-up message; the window then takes its texts a turn at a
// time, the first turn at the wake-up and the others on a timer, until a
// tick finds none waiting. A busy sender therefore puts one message in the
// window's queue, not one per text: the window's input and painting, which
// its queue serves after posted messages and before timers, never wait for
// the texts.
unsigned LocalWakeMessage();
// Carries one text through every receiver hooked on the window (sent on the
// window's own thread); its long parameter points to the LocalPost.
unsigned LocalTextMessage();
// The window's timer for the turns after the first.
inline constexpr std::uintptr_t kLocalTurnTimer = 0x4B4C;
inline constexpr unsigned kLocalTurnPeriod = 20;  // milliseconds

struct LocalPost {
  std::string key;
  std::string text;
};

// Queues the text for the window; false when it could not be queued.
bool PostLocal(platform::WindowHandle window, const char* key, const char* text);
// The window's oldest waiting text; false when none waits.
bool TakeLocalPost(platform::WindowHandle window, LocalPost* post);
// A turn found nothing: the window sleeps until the next wake-up, unless a
// text came meanwhile (false).
bool SleepIfNoneWaiting(platform::WindowHandle window);
// Drops every text still queued for the window (its receiver goes).
void ForgetLocalPosts(platform::WindowHandle window);
// How many queued texts are waiting for their windows.
size_t LocalPostsPending();

}  // namespace posting
