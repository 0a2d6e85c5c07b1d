#include "posting/post_channel.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string_view>

#include "platform/code_page.h"

using platform::SharedHandle;
using platform::SharedView;
using platform::WindowHandle;

namespace posting {

namespace {

constexpr char kChannelId[] = "CF55C152370711d1A38300A0C9035471";

std::string& TheSuffix() {
  static std::string suffix;
  return suffix;
}

std::string Named(const char* prefix) {
  return std::string(prefix) + "[" + kChannelId + TheSuffix() + "]";
}

size_t WindowSlot(int index) { return kWindowSlotsOffset + 4 * static_cast<size_t>(index); }
size_t InfoHandleSlot(int index) { return kInfoHandleSlotsOffset + 4 * static_cast<size_t>(index); }

// Frees the slots of windows that are gone, then drops free slots from the top.
void PruneSlots(const SharedView& view) {
  const int counted = SlotCount(view);
  for (int i = 0; i < counted; ++i) {
    const WindowHandle window = SlotWindow(view, i);
    if (window != 0 && !platform::IsWindowAlive(window)) StoreWord(view, WindowSlot(i), 0);
  }
  int count = counted;
  while (count > 0 && SlotWindow(view, count - 1) == 0) --count;
  if (count != counted) StoreWord(view, kSlotCountOffset, static_cast<std::uint32_t>(count));
}

bool AddSlot(const SharedView& view, WindowHandle window, SharedHandle infoHandle) {
  PruneSlots(view);
  const int count = SlotCount(view);
  int index = 0;
  while (index < count && SlotWindow(view, index) != 0) ++index;
  if (index == kMaxSlots) return false;
  StoreWord(view, WindowSlot(index), platform::HandleToValue(window));
  StoreWord(view, InfoHandleSlot(index), static_cast<std::uint32_t>(infoHandle));
  if (index == count) StoreWord(view, kSlotCountOffset, static_cast<std::uint32_t>(count + 1));
  return true;
}

// Steps the counter at `offset` of the mapped info block under its mutex.
std::uint32_t StepCounter(const SharedView& info, size_t offset, const std::string& mutexName) {
  platform::NamedMutex mutex(mutexName);
  // Without the mutex the step is made all the same.
  const bool locked = mutex.Lock();
  const std::uint32_t value = NextCounterValue(LoadWord(info, offset));
  StoreWord(info, offset, value);
  if (locked) mutex.Unlock();
  return value;
}

// Opens the info block, or creates it with both counters at 0.
SharedHandle OpenOrCreateInfoBlock() {
  if (const SharedHandle info = platform::OpenSharedBlock(InfoBlockName())) return info;
  SharedHandle info = 0;
  if (platform::CreateSharedBlock(InfoBlockName(), kInfoBlockSize, &info) !=
      platform::CreateSharedResult::kCreated)
    return 0;
  if (const SharedView view{info}) {
    StoreWord(view, kLastSerialOffset, 0);
    StoreWord(view, kLastKeyIdOffset, 0);
  }
  return info;
}

// Creates the key block with a fresh key id; 0 when it cannot be made or
// another process made it first.
SharedHandle CreateKeyBlock(const std::string& name, SharedHandle info) {
  SharedHandle keyBlock = 0;
  if (platform::CreateSharedBlock(name, kKeyBlockSize, &keyBlock) !=
      platform::CreateSharedResult::kCreated)
    return 0;
  const SharedView keyView{keyBlock};
  const SharedView infoView{info};
  if (!keyView || !infoView || keyView.Size() < kKeyBlockSize || infoView.Size() < kInfoBlockSize) {
    platform::CloseSharedBlock(keyBlock);
    return 0;
  }
  const std::uint32_t keyId = StepCounter(infoView, kLastKeyIdOffset, IdMutexName());
  StoreWord(keyView, kKeyIdOffset, 0);
  StoreWord(keyView, kSlotCountOffset, 0);
  StoreWord(keyView, WindowSlot(0), 0);
  StoreWord(keyView, kSpareOffset, 0);
  StoreWord(keyView, kKeyIdOffset, keyId);
  return keyBlock;
}

// Copies the zero-terminated string at `from` (ending at `end` at the
// latest) into the buffer, cut to fit; gives the position after its zero.
const unsigned char* CopyString(const unsigned char* from, const unsigned char* end,
                                char (&buffer)[kReceiveBufferSize]) {
  const auto* zero = std::find(from, end, 0);
  CopyToBuffer(std::string_view(reinterpret_cast<const char*>(from), zero - from), buffer);
  return zero == end ? end : zero + 1;
}

}  // namespace

void SetChannelSuffix(const std::string& suffix) { TheSuffix() = suffix; }
const std::string& ChannelSuffix() { return TheSuffix(); }

std::string InfoBlockName() { return Named("DATAPOSTINFO"); }
std::string KeyBlockName(const std::string& key) {
  return cp::ToUpperAscii(Named("DATAPOSTKEY") + key, platform::StoredCodePage());
}
std::string DataBlockName(std::uint32_t serial) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", static_cast<std::int32_t>(serial));
  return Named("DATAPOSTDATA") + number;
}
std::string IdMutexName() { return Named("DATAPOSTMUTEXID"); }
std::string SerialMutexName() { return Named("DATAPOSTMUTEXCOUNT"); }

unsigned NotificationMessage() {
  static const unsigned message = platform::RegisterMessageName(Named("DATAPOSTMESSAGE"));
  return message;
}

std::uint32_t NextCounterValue(std::uint32_t last) {
  const std::uint32_t next = last + 1;
  return next == 0xffffffffu ? 1 : next;
}

std::uint32_t LoadWord(const SharedView& view, size_t offset) {
  return std::atomic_ref(*reinterpret_cast<std::uint32_t*>(view.Data() + offset))
      .load(std::memory_order_relaxed);
}

void StoreWord(const SharedView& view, size_t offset, std::uint32_t value) {
  std::atomic_ref(*reinterpret_cast<std::uint32_t*>(view.Data() + offset))
      .store(value, std::memory_order_relaxed);
}

int SlotCount(const SharedView& keyView) {
  // A block written by another process may hold anything.
  const auto count = static_cast<std::int32_t>(LoadWord(keyView, kSlotCountOffset));
  return std::clamp<std::int32_t>(count, 0, kMaxSlots);
}

WindowHandle SlotWindow(const SharedView& keyView, int index) {
  return platform::ValueToHandle(LoadWord(keyView, WindowSlot(index)));
}

std::uint32_t StepSerial(const SharedView& info) {
  return StepCounter(info, kLastSerialOffset, SerialMutexName());
}

SharedHandle RegisterKey(const std::string& key, WindowHandle window, SharedHandle* infoHandle) {
  *infoHandle = 0;
  const SharedHandle info = OpenOrCreateInfoBlock();
  if (info == 0) return 0;
  const std::string name = KeyBlockName(key);
  SharedHandle keyBlock = platform::OpenSharedBlock(name);
  if (keyBlock == 0) keyBlock = CreateKeyBlock(name, info);
  bool recorded = false;
  if (keyBlock != 0) {
    const SharedView view{keyBlock};
    recorded = view && view.Size() >= kKeyBlockSize && AddSlot(view, window, info);
  }
  if (!recorded) {
    platform::CloseSharedBlock(keyBlock);
    platform::CloseSharedBlock(info);
    return 0;
  }
  *infoHandle = info;
  return keyBlock;
}

void UnregisterKey(SharedHandle keyBlock, WindowHandle window, SharedHandle infoHandle) {
  if (keyBlock == 0) return;
  if (const SharedView view{keyBlock}; view && view.Size() >= kKeyBlockSize && window != 0) {
    PruneSlots(view);
    const int count = SlotCount(view);
    for (int i = 0; i < count; ++i) {
      if (SlotWindow(view, i) != window) continue;
      StoreWord(view, WindowSlot(i), 0);
      if (i == count - 1) StoreWord(view, kSlotCountOffset, static_cast<std::uint32_t>(count - 1));
      break;
    }
  }
  // The window's own info block handle is closed even when its slot was
  // already freed because the window had gone: otherwise it would never be.
  platform::CloseSharedBlock(infoHandle);
  platform::CloseSharedBlock(keyBlock);
}

void CopyToBuffer(std::string_view text, char (&buffer)[kReceiveBufferSize]) {
  const std::string_view kept = cp::CutToBytes(text, kReceiveBufferSize - 1, platform::StoredCodePage());
  std::copy(kept.begin(), kept.end(), buffer);
  buffer[kept.size()] = '\0';
}

bool ReadPostedData(std::uint32_t serial, char (&text)[kReceiveBufferSize],
                    char (&key)[kReceiveBufferSize]) {
  const SharedHandle data = platform::OpenSharedBlock(DataBlockName(serial));
  if (data == 0) return false;
  bool read = false;
  if (const SharedView view{data}) {
    const unsigned char* end = view.Data() + view.Size();
    CopyString(CopyString(view.Data(), end, text), end, key);
    read = true;
  }
  platform::CloseSharedBlock(data);
  return read;
}

}  // namespace posting
