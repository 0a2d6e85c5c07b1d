#include "shell/gui/line_store.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kBlockBytes = 256 * 1024;

}  // namespace

void LineStore::Append(int id, std::string_view source, std::string_view destination) {
  lines_.push_back({id, Keep(source), Keep(destination)});
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
