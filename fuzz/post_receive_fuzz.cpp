// Feeds data blocks laid out as a sender does (text, zero, key, zero) to the posting channel's receiver.
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/messages.h"
#include "engine/status_texts.h"
#include "platform/code_page.h"
#include "platform/shared_memory.h"
#include "posting/post_channel.h"

namespace {

using Buffer = char[posting::kReceiveBufferSize];

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// What a receiver may keep of a zero-free string: all of it when it fits,
// else the longest prefix that fits and ends between two characters.
void CheckKept(std::string_view sent, const Buffer& buffer) {
  constexpr size_t kMost = posting::kReceiveBufferSize - 1;
  const size_t kept = strnlen(buffer, posting::kReceiveBufferSize);
  Check(kept <= kMost && sent.compare(0, kept, buffer, kept) == 0);
  if (sent.size() <= kMost) {
    Check(kept == sent.size());
    return;
  }
  size_t pos = 0;
  while (pos < kept) pos += cp::CharLength(sent, pos);
  Check(pos == kept && kept + cp::CharLength(sent, kept) > kMost);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A channel of this process alone, as each test run has one.
  static const bool ownChannel = [] {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    posting::SetChannelSuffix("-fuzz" + std::to_string(getpid()) + "-" + std::to_string(now));
    return true;
  }();
  (void)ownChannel;
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  const std::string_view text = block.substr(0, block.find('\0'));
  std::string_view key = text.size() < block.size() ? block.substr(text.size() + 1) : std::string_view();
  key = key.substr(0, key.find('\0'));

  static Buffer textBuffer, keyBuffer;
  posting::CopyToBuffer(text, textBuffer);
  CheckKept(text, textBuffer);
  if (size == 0) return 0;  // a sender's block holds at least the zero after its text

  // Serials run through the wrap (4,294,967,295 is skipped) and the negative names.
  static std::uint32_t serial = 0xFFFFFFF0u;
  serial = posting::NextCounterValue(serial);
  Check(serial != 0 && serial != 0xFFFFFFFFu);
  platform::SharedHandle sent = 0;
  Check(platform::CreateSharedBlock(posting::DataBlockName(serial), size, &sent) ==
        platform::CreateSharedResult::kCreated);
  {
    const platform::SharedView view{sent};
    Check(view && view.Size() >= size);
    std::memcpy(view.Data(), data, size);
  }
  std::memset(textBuffer, 'T', sizeof textBuffer);
  std::memset(keyBuffer, 'K', sizeof keyBuffer);
  Check(posting::ReadPostedData(serial, textBuffer, keyBuffer));
  CheckKept(text, textBuffer);
  CheckKept(key, keyBuffer);
  StatusLine line;
  const bool shown = line.Take(textBuffer).textChanged;
  Check(shown == (text.empty() || text[0] != '*' || std::strcmp(textBuffer, kCopyStarts) == 0));
  Check(!text.empty() || line.Text() == MessageText(kTextWorking));

  // The block goes with the sender's last handle: a late notification reads
  // nothing and leaves the buffers as they were.
  platform::CloseSharedBlock(sent);
  std::memset(textBuffer, 'T', sizeof textBuffer);
  Check(!posting::ReadPostedData(serial, textBuffer, keyBuffer) && textBuffer[0] == 'T');
  return 0;
}
