#include "engine/found_map.h"

#include <functional>

namespace {

constexpr std::uint32_t kEmpty = 0;
constexpr size_t kMaxKeyLength = 0xffff;
constexpr std::uint64_t kMaxKeyBytes = (std::uint64_t{1} << 47) - 1;

}  // namespace

size_t FoundMap::SlotOf(std::string_view key) const {
  const size_t mask = slots_.size() - 1;
  for (size_t slot = std::hash<std::string_view>{}(key) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == kEmpty || KeyAt(held - 1) == key) return slot;
  }
}

// At most half the slots are used, so a probe ends soon.
void FoundMap::Grow() {
  std::vector<std::uint32_t> old;
  old.swap(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, kEmpty);
  for (const std::uint32_t held : old)
    if (held != kEmpty) slots_[SlotOf(KeyAt(held - 1))] = held;
}

bool FoundMap::Insert(std::string_view key, const FoundItem& item) {
  if (key.size() > kMaxKeyLength || std::uint64_t{keys_.size()} + key.size() > kMaxKeyBytes)
    return false;
  if ((nodes_.size() + 1) * 2 > slots_.size()) Grow();
  const size_t slot = SlotOf(key);
  if (slots_[slot] != kEmpty) {
    Node& node = nodes_[slots_[slot] - 1];
    if (!node.erased) return false;
    // A key listed again after its removal comes back in its old place.
    node.item = item;
    node.erased = 0;
    ++live_;
    return true;
  }
  const std::uint64_t offset = keys_.size();
  nodes_.push_back({item, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(key.size()),
                    static_cast<std::uint32_t>(offset >> 32), 0});
  keys_.append(key);
  slots_[slot] = static_cast<std::uint32_t>(nodes_.size());
  ++live_;
  return true;
}

const FoundItem* FoundMap::Find(std::string_view key) const {
  if (slots_.empty()) return nullptr;
  const std::uint32_t held = slots_[SlotOf(key)];
  if (held == kEmpty || nodes_[held - 1].erased) return nullptr;
  return &nodes_[held - 1].item;
}

// A removed key keeps its slot and node, marked, so that probes for other
// keys still pass over it.
bool FoundMap::Erase(std::string_view key) {
  if (slots_.empty()) return false;
  const std::uint32_t held = slots_[SlotOf(key)];
  if (held == kEmpty || nodes_[held - 1].erased) return false;
  nodes_[held - 1].erased = 1;
  --live_;
  return true;
}

void FoundMap::clear() {
  std::vector<Node>().swap(nodes_);
  std::string().swap(keys_);
  std::vector<std::uint32_t>().swap(slots_);
  live_ = 0;
}
