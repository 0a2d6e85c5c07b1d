#pragma once
// The listing of one tree: a map from relative path to what the
// enumeration gave, built for a million entries. Entries sit in one array
// in the order they were listed, their keys in one block of text, and an
// open-addressed table of indexes finds them by hash; so an entry costs
// about a third of what a node-based map would.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the run needs of what the enumeration gave for one listed file or
// directory. Its name is the last component of its key; the creation and
// access times are never compared, so they are not kept.
struct FoundItem {
  std::uint32_t attributes = 0;
  std::uint32_t sizeHigh = 0;
  std::uint32_t sizeLow = 0;
  std::uint64_t lastWriteTime = 0;

  std::uint64_t Size() const { return (std::uint64_t{sizeHigh} << 32) | sizeLow; }
};

class FoundMap {
 public:
  struct Pair {
    std::string_view first;  // the key
    const FoundItem& second;
  };

  class Iterator {
   public:
    Iterator(const FoundMap* map, size_t index) : map_(map), index_(index) { Skip(); }
    Pair operator*() const { return {map_->KeyAt(index_), map_->nodes_[index_].item}; }
    Iterator& operator++() {
      ++index_;
      Skip();
      return *this;
    }
    bool operator!=(const Iterator& other) const { return index_ != other.index_; }

   private:
    void Skip() {
      while (index_ < map_->nodes_.size() && map_->nodes_[index_].erased) ++index_;
    }
    const FoundMap* map_;
    size_t index_;
  };

  // Adds the item under key; false, and nothing changes, when the key is
  // there or is longer than any path (64 KiB).
  bool Insert(std::string_view key, const FoundItem& item);
  // The item under key, or null.
  const FoundItem* Find(std::string_view key) const;
  size_t count(std::string_view key) const { return Find(key) != nullptr ? 1 : 0; }
  // Removes the key; false when it was not there.
  bool Erase(std::string_view key);

  size_t size() const { return live_; }
  bool empty() const { return live_ == 0; }
  void clear();

  // In the order the entries were listed.
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, nodes_.size()); }

 private:
  // 32 bytes: a million listed entries take 32 MB here. The key's offset
  // has 47 bits, its length 16: a path is far shorter than that.
  struct Node {
    FoundItem item;
    std::uint32_t keyOffsetLow;
    std::uint32_t keyLength : 16;
    std::uint32_t keyOffsetHigh : 15;
    std::uint32_t erased : 1;

    std::uint64_t KeyOffset() const { return (std::uint64_t{keyOffsetHigh} << 32) | keyOffsetLow; }
  };

  std::string_view KeyAt(size_t index) const {
    return std::string_view(keys_).substr(static_cast<size_t>(nodes_[index].KeyOffset()),
                                          nodes_[index].keyLength);
  }
  // The slot that holds key's node, or the empty slot where it would go.
  size_t SlotOf(std::string_view key) const;
  void Grow();

  std::vector<Node> nodes_;
  std::string keys_;
  std::vector<std::uint32_t> slots_;  // node index + 1; 0 is an empty slot
  size_t live_ = 0;
};
