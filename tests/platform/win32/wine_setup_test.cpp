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
  const std::string ansi = "\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67.txt";  // 表示テスト.txt in code page 932
  EXPECT_EQ(platform::ToStoredText("表示テスト.txt"), ansi);
  EXPECT_EQ(platform::FromStoredText(ansi), "表示テスト.txt");
  // Made under its code-page name, the file is found under its Unicode one.
  HANDLE file = CreateFileA((dir / ansi).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(test::FileExists(dir / "表示テスト.txt"));
}

}  // namespace
