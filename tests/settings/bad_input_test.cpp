// Stores that no editor wrote: junk, huge lines, NUL bytes, many sections,
// registry values of the wrong type. They load as defaults, never crash.

#include <gtest/gtest.h>

#include <random>

#include "settings/entry_storage.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<MirrorEntry> LoadBytes(const test::TempDir& dir, const std::string& bytes) {
  const std::string file = dir / "bad.kyf";
  EXPECT_TRUE(test::WriteFile(file, bytes));
  return LoadEntryList(SettingsLocation{}, file);
}

TEST(BadSettingsFile, BinaryJunkLoadsWithoutCrashing) {
  test::TempDir dir;
  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    std::string junk(4096 + round * 997, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    const auto list = LoadBytes(dir, junk);
    EXPECT_LE(list.size(), 256u);
  }
}

TEST(BadSettingsFile, HugeLinesAndNulBytes) {
  test::TempDir dir;
  const std::string megabyte(1 << 20, 'x');
  auto list = LoadBytes(dir, "[0]\r\nname=" + megabyte + "\r\nsource=" + megabyte + "\r\n" + megabyte + "\r\n");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name.size(), 4095u);  // cut to the read buffer, as long as the registry reads
  list = LoadBytes(dir, std::string("[0]\r\nname=a\0b\r\nsource=C:\\x\0\r\n", 28));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "a");
  EXPECT_EQ(list[0].wildcard, "*.*");
}

TEST(BadSettingsFile, HundredThousandSections) {
  test::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += "[" + std::to_string(i % 300) + "]\r\nname=n" + std::to_string(i) + "\r\n";
  const auto list = LoadBytes(dir, bytes);
  ASSERT_EQ(list.size(), 256u);
  EXPECT_EQ(list[255].name, "n255");  // the first section of a name wins
}

TEST(BadSettingsFile, MissingFileOrDirectoryLoadsEmpty) {
  test::TempDir dir;
  EXPECT_TRUE(LoadEntryList(SettingsLocation{}, dir / "none.kyf").empty());
  EXPECT_TRUE(LoadEntryList(SettingsLocation{}, dir.Path()).empty());
  EXPECT_TRUE(LoadEntryList(SettingsLocation{}, std::string()).empty());
}

TEST(BadRegistryValues, WrongTypesAndSizesReadAsDefaults) {
  test::RegistrySandbox sandbox;
  SettingsLocation location;
  location.setKeySuffix = sandbox.SetSuffix();
  CtProfile raw;
  OpenEntryStore(raw, location, std::nullopt);
  raw.SetSection("0");
  raw.SetValueName("name").SetInt(0x00414141);                // a number where text belongs: "AAA"
  raw.SetValueName("subdir").SetString("1234567");            // text longer than a number
  raw.SetValueName("wildcard").SetString(std::string(5000, 'w'));  // longer than the read buffer
  raw.SetValueName("use_archive").SetString("");             // one zero byte
  const auto list = LoadEntryList(location);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "AAA");
  EXPECT_EQ(list[0].subdir, 0);
  EXPECT_EQ(list[0].wildcard, "*.*");
  EXPECT_EQ(list[0].use_archive, 0);
}

}  // namespace
