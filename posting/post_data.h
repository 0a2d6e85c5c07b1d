#pragma once
// The posting channel: a short text, addressed by a text key, goes to every
// window that registered the key, in any process of the machine. Senders
// need only the key and never wait; receivers get each text on their
// window's own thread.

#include <string>

#include "platform/shared_memory.h"
#include "posting/post_channel.h"
#include "posting/subclass_wnd.h"

// Posts `text` to every live window registered under `key` (letter case of
// a–z aside). Returns at once, always 0; nothing tells whether it arrived.
int PostData(const char* key, const char* text);

// A receiver: hooks one window, registers a key for it and hands each text
// posted to that key to OnPostData.
class CtPostData : public CtSubclassWnd {
 public:
  CtPostData() = default;
  // Unregisters the key; does not unhook.
  ~CtPostData() override;

  // Takes the channel's notification, then passes every message on.
  platform::MessageResult HandleMessage(unsigned message, platform::WordParam wordParam,
                                        platform::LongParam longParam) override;

  // Hooks the window (whatever the outcome) and registers the key for it.
  // Call on the window's thread. False when the key could not be registered
  // or all 512 windows of the key are live.
  virtual bool Install(platform::WindowHandle window, const std::string& key);

  // One delivered text, on the window's thread.
  virtual void OnPostData(platform::WindowHandle window, const char* key, const char* text) = 0;

 private:
  void TakeLocalTurn(bool onTimer);
  void Deliver();  // the texts in the buffers, to OnPostData

  platform::SharedHandle keyBlock_ = 0;
  platform::WindowHandle registeredWindow_ = 0;
  std::string key_;
  platform::SharedHandle infoHandle_ = 0;  // the one recorded in the window's slot
  char textBuffer_[posting::kReceiveBufferSize];
  char keyBuffer_[posting::kReceiveBufferSize];
};
