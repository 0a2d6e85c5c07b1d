#include "platform/code_page.h"

#include <gtest/gtest.h>

using cp::CodePage;

namespace {

const std::string kHyo = "\x95\x5C";          // 表 in Shift-JIS: its trail byte is "\"
const std::string kFullA = "\x82\x60";        // Ａ
const std::string kFullSmallA = "\x82\x81";   // ａ
const std::string kCyrillicO = "\x84\x4F";    // О (after the skipped 0x7F of the lower case)
const std::string kCyrillicSmallO = "\x84\x80";

TEST(CodePage, ShiftJisStepsOverTrailBytes) {
  const std::string text = "C:\\" + kHyo + "\\a";
  EXPECT_EQ(cp::CharLength(text, 3, CodePage::kShiftJis), 2u);
  EXPECT_EQ(cp::FindLastOf(text, "\\", CodePage::kShiftJis), 5u);
  EXPECT_EQ(cp::FindLastOf(text, "\\", CodePage::kSingleByte), 5u);
  EXPECT_EQ(cp::FindLastOf("x" + kHyo, "\\", CodePage::kShiftJis), std::string::npos);
  EXPECT_EQ(cp::FindLastOf("x" + kHyo, "\\", CodePage::kSingleByte), 2u);
  // A lead byte at the very end is one character of its own.
  EXPECT_EQ(cp::CharLength("\x95", 0, CodePage::kShiftJis), 1u);
}

TEST(CodePage, Utf8LengthsAndMalformedBytes) {
  const struct {
    std::string text;
    size_t length;
  } rows[] = {{"a", 1}, {"\xC3\xA9", 2}, {"\xE8\xA1\xA8", 3}, {"\xF0\x9F\x98\x80", 4},
              {"\xE8\xA1", 1}, {"\xE8\x41\x41", 1}, {"\x80", 1}, {"\xFF", 1},
              // overlong forms and surrogates are no characters (found by fuzzing)
              {"\xE0\x81\x81", 1}, {"\xED\xA0\x80", 1}, {"\xF0\x81\x81\x81", 1}, {"\xF4\x90\x80\x80", 1},
              {"\xE0\xA0\x80", 3}, {"\xF4\x8F\xBF\xBF", 4}};
  for (const auto& row : rows) EXPECT_EQ(cp::CharLength(row.text, 0, CodePage::kUtf8), row.length) << row.text;
  EXPECT_EQ(cp::ToLower("\xE0\x81\x81", CodePage::kUtf8), "\xE0\x81\x81") << "an overlong A stays as it is";
  EXPECT_FALSE(cp::EqualsNoCase("\xE0\x81\x81", "a", CodePage::kUtf8));
}

TEST(CodePage, CaseOfDoubleByteLetters) {
  const struct {
    CodePage page;
    std::string upper, lower;
  } rows[] = {
      {CodePage::kShiftJis, "ABC" + kFullA + kCyrillicO + "\x83\x9F", "abc" + kFullSmallA + kCyrillicSmallO + "\x83\xBF"},
      {CodePage::kShiftJis, "\x84\x40\x84\x60", "\x84\x70\x84\x91"},   // А, Я
      {CodePage::kShiftJis, kHyo + "Z", kHyo + "z"},                    // a trail byte is never a letter
      {CodePage::kShiftJis, "\x82\x41", "\x82\x41"},                    // trail byte "A" of ア stays
      {CodePage::kUtf8, "ÀÉÖ ΑΩ АЯЁ ＡＺ .BAK", "àéö αω аяё ａｚ .bak"},
      {CodePage::kUtf8, "表×", "表×"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(cp::ToLower(row.upper, row.page), row.lower) << row.upper;
    EXPECT_EQ(cp::ToUpper(row.lower, row.page), cp::ToUpper(row.upper, row.page)) << row.upper;
    EXPECT_TRUE(cp::EqualsNoCase(row.upper, row.lower, row.page)) << row.upper;
  }
  EXPECT_EQ(cp::ToUpper("\x82\x41", CodePage::kShiftJis), "\x82\x41");
  EXPECT_FALSE(cp::EqualsNoCase("abc", "abd", CodePage::kUtf8));
  EXPECT_FALSE(cp::EqualsNoCase("ab", "abc", CodePage::kUtf8));
}

TEST(CodePage, CutNeverSplitsACharacter) {
  EXPECT_EQ(cp::CutToBytes("ab" + kHyo, 3, CodePage::kShiftJis), "ab");
  EXPECT_EQ(cp::CutToBytes("ab" + kHyo, 4, CodePage::kShiftJis), "ab" + kHyo);
  EXPECT_EQ(cp::CutToBytes("a表", 3, CodePage::kUtf8), "a");
  EXPECT_EQ(cp::CutToBytes("abc", 0, CodePage::kUtf8), "");
}

}  // namespace
