#include "engine/found_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

FoundItem ItemOfSize(std::uint32_t size) {
  FoundItem item;
  item.sizeLow = size;
  return item;
}

std::vector<std::string> KeysInOrder(const FoundMap& map) {
  std::vector<std::string> keys;
  for (const auto& [key, item] : map) keys.emplace_back(key);
  return keys;
}

TEST(FoundMap, InsertFindEraseAndListingOrder) {
  FoundMap map;
  EXPECT_EQ(map.Find("a"), nullptr);
  EXPECT_FALSE(map.Erase("a"));
  EXPECT_TRUE(map.Insert("b/x", ItemOfSize(1)));
  EXPECT_TRUE(map.Insert("a", ItemOfSize(2)));
  EXPECT_TRUE(map.Insert("c", ItemOfSize(3)));
  EXPECT_FALSE(map.Insert("a", ItemOfSize(9))) << "a key once";
  EXPECT_EQ(map.Find("a")->Size(), 2u);
  EXPECT_EQ(map.count("B/X"), 0u) << "keys compare byte for byte";
  EXPECT_TRUE(map.Erase("a"));
  EXPECT_EQ(map.Find("a"), nullptr);
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(KeysInOrder(map), (std::vector<std::string>{"b/x", "c"}));
  EXPECT_TRUE(map.Insert("a", ItemOfSize(4))) << "back after its removal";
  EXPECT_EQ(map.Find("a")->Size(), 4u);
  map.clear();
  EXPECT_TRUE(map.empty());
  EXPECT_EQ(map.Find("c"), nullptr);
}

// A key is kept whole up to the longest length a node records; a longer
// one, which no path can be, is refused rather than cut.
TEST(FoundMap, KeysUpToTheLongestLengthAreKeptWhole) {
  FoundMap map;
  const std::string longest(0xffff, 'x'), tooLong(0x10000, 'y');
  EXPECT_TRUE(map.Insert("short", ItemOfSize(1)));
  EXPECT_TRUE(map.Insert(longest, ItemOfSize(2)));
  EXPECT_FALSE(map.Insert(tooLong, ItemOfSize(3)));
  EXPECT_TRUE(map.Insert("after", ItemOfSize(4)));
  EXPECT_EQ(KeysInOrder(map), (std::vector<std::string>{"short", longest, "after"}));
  EXPECT_EQ(map.Find(longest)->Size(), 2u);
  EXPECT_EQ(map.Find(tooLong), nullptr);
  EXPECT_EQ(map.Find(longest.substr(1)), nullptr);
}

TEST(FoundMap, AHundredThousandKeysWithRemovalsInBetween) {
  FoundMap map;
  for (std::uint32_t i = 0; i < 100000; ++i) ASSERT_TRUE(map.Insert("d" + std::to_string(i / 20) + "/f" + std::to_string(i), ItemOfSize(i)));
  for (std::uint32_t i = 0; i < 100000; i += 3) ASSERT_TRUE(map.Erase("d" + std::to_string(i / 20) + "/f" + std::to_string(i)));
  size_t found = 0;
  for (std::uint32_t i = 0; i < 100000; ++i) {
    const FoundItem* item = map.Find("d" + std::to_string(i / 20) + "/f" + std::to_string(i));
    if (i % 3 == 0) {
      EXPECT_EQ(item, nullptr) << i;
    } else {
      ASSERT_NE(item, nullptr) << i;
      EXPECT_EQ(item->Size(), i);
      ++found;
    }
  }
  EXPECT_EQ(map.size(), found);
  EXPECT_EQ(KeysInOrder(map).size(), found);
}

}  // namespace
