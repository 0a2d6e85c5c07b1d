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

// The message that carries a queued text; its long parameter names the text.
unsigned LocalPostMessage();

struct LocalPost {
  platform::WindowHandle window;
  std::string key;
  std::string text;
};

// Queues the text for the window; false when it could not be queued.
bool PostLocal(platform::WindowHandle window, const char* key, const char* text);
// The queued text that the message names; null when it is gone.
std::shared_ptr<LocalPost> FindLocalPost(platform::LongParam id);
void ForgetLocalPost(platform::LongParam id);
// Drops every text still queued for the window (its receiver goes).
void ForgetLocalPosts(platform::WindowHandle window);
// How many queued texts are waiting for their window.
size_t LocalPostsPending();

}  // namespace posting
