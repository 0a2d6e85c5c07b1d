#pragma once
// The posting channel's protocol: the named objects every process shares,
// their layouts, the counter step, and the steps of registering, posting and
// receiving. CtPostData and PostData are built from these; tests use them to
// look at the shared blocks as another process would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/shared_memory.h"
#include "platform/window_system.h"

namespace posting {

constexpr size_t kInfoBlockSize = 8;
constexpr size_t kLastSerialOffset = 0;
constexpr size_t kLastKeyIdOffset = 4;

constexpr size_t kKeyBlockSize = 4112;
constexpr size_t kKeyIdOffset = 0;
constexpr size_t kSlotCountOffset = 4;
constexpr size_t kWindowSlotsOffset = 8;
constexpr size_t kSpareOffset = 2056;
constexpr size_t kInfoHandleSlotsOffset = 2060;
constexpr int kMaxSlots = 512;

// What the receiver keeps of a text or a key, its terminating zero included.
constexpr size_t kReceiveBufferSize = 4096;

// Keeps a test run's channel apart from every other run's and from the
// programs': each name carries `suffix` after the identifier. Set once,
// before anything posts or registers; the programs never set it.
void SetChannelSuffix(const std::string& suffix);
const std::string& ChannelSuffix();

std::string InfoBlockName();
// The key block's name: the prefix and the key, single-byte letters in upper case.
std::string KeyBlockName(const std::string& key);
// The data block of a delivery: the serial in signed decimal.
std::string DataBlockName(std::uint32_t serial);
std::string IdMutexName();
std::string SerialMutexName();

// The registered notification message; the same number in every process.
unsigned NotificationMessage();

// The value after `last`: one more, but 4,294,967,295 becomes 1.
std::uint32_t NextCounterValue(std::uint32_t last);

// A 32-bit word of a mapped block, read or written as one unit: other
// processes read and write the same words without a lock.
std::uint32_t LoadWord(const platform::SharedView& view, size_t offset);
void StoreWord(const platform::SharedView& view, size_t offset, std::uint32_t value);

// The number of counted slots of a mapped key block, as far as it can be
// trusted, and the window of one slot.
int SlotCount(const platform::SharedView& keyView);
platform::WindowHandle SlotWindow(const platform::SharedView& keyView, int index);

// Steps the last delivery serial of the mapped info block, under its mutex.
std::uint32_t StepSerial(const platform::SharedView& info);

// Registers the window under the key. Gives the key block handle, and through
// `infoHandle` the info block handle recorded in the window's slot; 0 and
// nothing held when the window could not be recorded.
platform::SharedHandle RegisterKey(const std::string& key, platform::WindowHandle window,
                                   platform::SharedHandle* infoHandle);

// Frees the window's slot and closes both handles that RegisterKey gave.
void UnregisterKey(platform::SharedHandle keyBlock, platform::WindowHandle window,
                   platform::SharedHandle infoHandle);

// Copies text into the buffer, cut to kReceiveBufferSize - 1 bytes without
// splitting a character, and ends it with a zero.
void CopyToBuffer(std::string_view text, char (&buffer)[kReceiveBufferSize]);

// Reads the text and the key of a delivery into the buffers, each cut to
// kReceiveBufferSize - 1 bytes without splitting a character and ended by a
// zero. False, buffers untouched, when the data block cannot be read.
bool ReadPostedData(std::uint32_t serial, char (&text)[kReceiveBufferSize],
                    char (&key)[kReceiveBufferSize]);

}  // namespace posting
