#include "posting/post_data.h"

#include <cstring>

#include "platform/thread.h"

using platform::SharedHandle;
using platform::SharedView;
using platform::WindowHandle;

namespace {

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

// Makes the data block of one delivery; 0 when it cannot be made.
SharedHandle CreateDataBlock(std::uint32_t serial, const char* key, size_t keyLength,
                             const char* text, size_t textLength) {
  SharedHandle data = 0;
  if (platform::CreateSharedBlock(posting::DataBlockName(serial), textLength + keyLength + 2,
                                  &data) != platform::CreateSharedResult::kCreated)
    return 0;
  const SharedView view{data};
  if (!view) {
    platform::CloseSharedBlock(data);
    return 0;
  }
  std::memcpy(view.Data(), text, textLength + 1);
  std::memcpy(view.Data() + textLength + 1, key, keyLength + 1);
  return data;
}

// Delivers to every live window of the mapped key block; stops at the
// first delivery that cannot be prepared.
void DeliverToSlots(const SharedView& keyView, SharedHandle info, const char* key,
                    const char* text) {
  const size_t keyLength = std::strlen(key);
  const size_t textLength = std::strlen(text);
  const std::uint32_t keyId = posting::LoadWord(keyView, posting::kKeyIdOffset);
  // The slot count is read again at every step: a window registered meanwhile is served too.
  for (int i = 0; i < posting::SlotCount(keyView); ++i) {
    const WindowHandle window = posting::SlotWindow(keyView, i);
    if (window == 0 || !platform::IsWindowAlive(window)) continue;
    std::uint32_t serial;
    {
      const SharedView infoView{info};
      if (!infoView) return;
      serial = posting::StepSerial(infoView);
    }
    const SharedHandle data = CreateDataBlock(serial, key, keyLength, text, textLength);
    if (data == 0) return;
    auto* record = new DeliveryRecord{data, window, keyId, serial};
    if (!platform::StartDetachedThread(DeliverPost, record)) {
      platform::CloseSharedBlock(data);
      delete record;
    }
  }
}

}  // namespace

int PostData(const char* key, const char* text) {
  const SharedHandle keyBlock = platform::OpenSharedBlock(posting::KeyBlockName(key));
  if (keyBlock == 0) return 0;
  const SharedHandle info = platform::OpenSharedBlock(posting::InfoBlockName());
  if (info != 0) {
    if (const SharedView keyView{keyBlock}; keyView && keyView.Size() >= posting::kKeyBlockSize)
      DeliverToSlots(keyView, info, key, text);
  }
  platform::CloseSharedBlock(info);
  platform::CloseSharedBlock(keyBlock);
  return 0;
}

CtPostData::~CtPostData() { posting::UnregisterKey(keyBlock_, registeredWindow_, infoHandle_); }

platform::MessageResult CtPostData::HandleMessage(unsigned message, platform::WordParam wordParam,
                                                  platform::LongParam longParam) {
  // Unread buffers never reach OnPostData: a block that cannot be read is skipped.
  if (message == posting::NotificationMessage() &&
      posting::ReadPostedData(static_cast<std::uint32_t>(longParam), textBuffer_, keyBuffer_)) {
    OnPostData(registeredWindow_, keyBuffer_, textBuffer_);
  }
  return CtSubclassWnd::HandleMessage(message, wordParam, longParam);
}

bool CtPostData::Install(WindowHandle window, const std::string& key) {
  Hook(window);
  registeredWindow_ = window;
  key_ = key;
  keyBlock_ = posting::RegisterKey(key, window, &infoHandle_);
  return keyBlock_ != 0;
}
