// The Windows builds are tested with the Japanese code page. A Wine set-up
// without the Japanese locale still reports 932 but mangles Japanese file
// names: these cases catch it.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/code_page.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(WineSetup, AnsiCodePageIsJapanese) { EXPECT_EQ(GetACP(), 932u); }

TEST(WineSetup, JapaneseFileNamesSurvive) {
  test::TempDir dir;
  const std::string name = "\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67.txt";  // 表示テスト.txt in code page 932
  ASSERT_EQ(platform::Utf8ToSystem("表示テスト.txt"), name);
  ASSERT_TRUE(test::WriteFile(dir / name, "x"));
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir / "*.txt").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_EQ(std::string(found.cFileName), name);
  EXPECT_EQ(test::ReadFile(dir / name), "x");
  // The same name seen through the wide functions is the Unicode text.
  WIN32_FIND_DATAW wide;
  std::wstring pattern;
  for (char c : dir / "*.txt") pattern += static_cast<wchar_t>(static_cast<unsigned char>(c));
  search = FindFirstFileW(pattern.c_str(), &wide);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_EQ(std::wstring(wide.cFileName), L"\u8868\u793A\u30C6\u30B9\u30C8.txt");
}

}  // namespace
