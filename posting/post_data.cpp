#include "posting/post_data.h"

#include <chrono>
#include <cstring>

#include "platform/code_page.h"
#include "platform/thread.h"
#include "posting/local_delivery.h"

using platform::SharedHandle;
using platform::SharedView;
using platform::WindowHandle;

namespace {

// A delivery thread only waits for one message to be handled; thousands may
// wait at once, which a 32-bit address space holds only with small stacks.
constexpr size_t kDeliveryStackReserve = 256 * 1024;

// What a delivery thread needs; it owns the record and frees it.
struct DeliveryRecord {
  SharedHandle dataBlock;  // the sender's handle, which keeps the block alive
  WindowHandle window;
  std::uint32_t keyId;
  std::uint32_t serial;
};

void DeliverPost(void* argument) noexcept {
  auto* record = static_cast<DeliveryRecord*>(argument);
  platform::SendToWindow(record->window, posting::NotificationMessage(), record->keyId,
                         static_cast<platform::LongParam>(record->serial));
  platform::CloseSharedBlock(record->dataBlock);
  delete record;
}

// One text posted to the windows of one key block.
class Post {
 public:
  Post(const char* key, const char* text, SharedHandle info)
      : key_(key), text_(text), keyLength_(std::strlen(key)), textLength_(std::strlen(text)),
        info_(info) {}
  ~Post() {
    if (ownInfo_) platform::CloseSharedBlock(info_);
  }
  Post(const Post&) = delete;
  Post& operator=(const Post&) = delete;

  // Delivers to every live window of the mapped key block; stops at the
  // first delivery that cannot be prepared. The slot count is read again at
  // every step: a window registered meanwhile is served too.
  void ToSlots(const SharedView& keyView) {
    const std::uint32_t keyId = posting::LoadWord(keyView, posting::kKeyIdOffset);
    for (int i = 0; i < posting::SlotCount(keyView); ++i) {
      const WindowHandle window = posting::SlotWindow(keyView, i);
      if (window == 0) continue;
      if (posting::LocalDeliveryEnabled() && platform::IsWindowOfThisProcess(window)) {
        posting::PostLocal(window, key_, text_);
        continue;
      }
      if (!platform::IsWindowAlive(window)) continue;
      if (!ToOtherWindow(window, keyId)) return;
    }
  }

 private:
  // The shared protocol: a serial, a data block, a delivery thread.
  bool ToOtherWindow(WindowHandle window, std::uint32_t keyId) {
    if (info_ == 0) {
      info_ = platform::OpenSharedBlock(posting::InfoBlockName());
      ownInfo_ = true;
    }
    std::uint32_t serial;
    {
      const SharedView infoView{info_};
      if (!infoView) return false;
      serial = posting::StepSerial(infoView);
    }
    const SharedHandle data = CreateDataBlock(serial);
    if (data == 0) return false;
    auto* record = new DeliveryRecord{data, window, keyId, serial};
    // Out of threads, the text is delivered on this one rather than lost.
    if (!platform::StartDetachedThread(DeliverPost, record, kDeliveryStackReserve))
      DeliverPost(record);
    return true;
  }

  SharedHandle CreateDataBlock(std::uint32_t serial) const {
    SharedHandle data = 0;
    if (platform::CreateSharedBlock(posting::DataBlockName(serial), textLength_ + keyLength_ + 2,
                                    &data) != platform::CreateSharedResult::kCreated)
      return 0;
    const SharedView view{data};
    if (!view) {
      platform::CloseSharedBlock(data);
      return 0;
    }
    std::memcpy(view.Data(), text_, textLength_ + 1);
    std::memcpy(view.Data() + textLength_ + 1, key_, keyLength_ + 1);
    return data;
  }

  const char* key_;
  const char* text_;
  const size_t keyLength_;
  const size_t textLength_;
  SharedHandle info_;
  bool ownInfo_ = false;
};

}  // namespace

int PostData(const char* programKey, const char* programText) {
  // A sender posts to one key again and again: its block's name is kept.
  const std::string key = platform::ToStoredText(programKey);
  thread_local std::string lastKey, name;
  if (name.empty() || lastKey != key) {
    lastKey = key;
    name = posting::KeyBlockName(key);
  }
  const std::string storedText = platform::ToStoredText(programText);
  const char* text = storedText.c_str();
  // A key that a receiver of this process registered: its block is at hand.
  if (posting::LocalDeliveryEnabled()) {
    if (const auto local = posting::FindLocalKey(name);
        local != nullptr && local->view && local->view.Size() >= posting::kKeyBlockSize) {
      Post(key.c_str(), text, 0).ToSlots(local->view);
      return 0;
    }
  }
  const SharedHandle keyBlock = platform::OpenSharedBlock(name);
  if (keyBlock == 0) return 0;
  const SharedHandle info = platform::OpenSharedBlock(posting::InfoBlockName());
  if (info != 0) {
    if (const SharedView keyView{keyBlock}; keyView && keyView.Size() >= posting::kKeyBlockSize)
      Post(key.c_str(), text, info).ToSlots(keyView);
  }
  platform::CloseSharedBlock(info);
  platform::CloseSharedBlock(keyBlock);
  return 0;
}

CtPostData::~CtPostData() {
  if (keyBlock_ != 0) posting::RemoveLocalKey(posting::KeyBlockName(key_));
  posting::ForgetLocalPosts(registeredWindow_);
  posting::UnregisterKey(keyBlock_, registeredWindow_, infoHandle_);
}

// The channel carries stored texts; receivers get the program's own.
void CtPostData::Deliver() {
  OnPostData(registeredWindow_, platform::FromStoredText(keyBuffer_).c_str(),
             platform::FromStoredText(textBuffer_).c_str());
}

platform::MessageResult CtPostData::HandleMessage(unsigned message, platform::WordParam wordParam,
                                                  platform::LongParam longParam) {
  // Unread buffers never reach OnPostData: a block that cannot be read is skipped.
  if (message == posting::NotificationMessage() &&
      posting::ReadPostedData(static_cast<std::uint32_t>(longParam), textBuffer_, keyBuffer_)) {
    Deliver();
  }
  if (message == posting::LocalTextMessage()) {
    // Every receiver on the window gets the text, as each gets a notification.
    const auto* post = reinterpret_cast<const posting::LocalPost*>(longParam);
    posting::CopyToBuffer(post->text, textBuffer_);
    posting::CopyToBuffer(post->key, keyBuffer_);
    Deliver();
  } else if (message == posting::LocalWakeMessage()) {
    TakeLocalTurn(false);
    return 0;
  } else if (message == platform::kMessageTimer && wordParam == posting::kLocalTurnTimer) {
    TakeLocalTurn(true);
    return 0;
  }
  return CtSubclassWnd::HandleMessage(message, wordParam, longParam);
}

// The texts of this process that wait for the window, for at most a few
// milliseconds; the first receiver on the window to see the wake-up or the
// tick takes the turn for all of them.
void CtPostData::TakeLocalTurn(bool onTimer) {
  constexpr auto kTurn = std::chrono::milliseconds(8);
  const auto end = std::chrono::steady_clock::now() + kTurn;
  const WindowHandle window = registeredWindow_;
  bool took = false;
  posting::LocalPost post;
  while (posting::TakeLocalPost(window, &post)) {
    took = true;
    platform::SendToWindow(window, posting::LocalTextMessage(), 0, reinterpret_cast<platform::LongParam>(&post));
    if (std::chrono::steady_clock::now() >= end) break;
  }
  if (!onTimer) platform::StartTimer(window, posting::kLocalTurnTimer, posting::kLocalTurnPeriod);
  else if (!took && posting::SleepIfNoneWaiting(window)) platform::StopTimer(window, posting::kLocalTurnTimer);
}

bool CtPostData::Install(WindowHandle window, const std::string& key) {
  Hook(window);
  registeredWindow_ = window;
  key_ = platform::ToStoredText(key);  // as senders of other programs spell it
  keyBlock_ = posting::RegisterKey(key_, window, &infoHandle_);
  if (keyBlock_ != 0) posting::AddLocalKey(posting::KeyBlockName(key_));
  return keyBlock_ != 0;
}
