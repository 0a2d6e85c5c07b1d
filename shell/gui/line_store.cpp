#include "shell/gui/line_store.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kBlockBytes = 256 * 1024;

}  // namespace

void LineStore::Append(int id, int icon, std::string_view text1, std::string_view text2) {
  lines_.push_back({id, icon, Keep(text1), Keep(text2)});
}

std::string_view LineStore::Keep(std::string_view text) {
  if (text.empty()) return {};
  if (capacity_ - used_ < text.size()) {
    capacity_ = std::max(kBlockBytes, text.size());
    blocks_.push_back(std::make_unique<char[]>(capacity_));
    used_ = 0;
  }
  char* kept = blocks_.back().get() + used_;
  std::memcpy(kept, text.data(), text.size());
  used_ += text.size();
  return {kept, text.size()};
}
