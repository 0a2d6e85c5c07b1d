#include "platform/posix/ini_document.h"

#include <gtest/gtest.h>

using cp::CodePage;
using ini::Document;
using namespace std::string_literals;

namespace {

std::string Read(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& fallback = "<none>", size_t size = 1024) {
  return Document::Parse(file, CodePage::kShiftJis).Read(section, key, fallback, size);
}

TEST(IniDocument, ReadsAsTheProfileFunctions) {
  const std::string file =
      "top=before any section\r\n"
      "[Main]\r\n"
      "  spaced  =  value with spaces  \r\n"
      "quoted=\"in quotes\"\r\n"
      "single='x'\r\n"
      "half=\"open\r\n"
      "empty=\r\n"
      "novalue\r\n"
      "; comment=not a key\r\n"
      "Dup=first\r\n"
      "dup=second\r\n"
      "eq=a=b\r\n"
      "[main]\r\n"
      "later=in the second Main\r\n"
      "[ Padded ]\n"
      "p=1\r"
      "[broken\n"
      "b=2\n"
      "[x]y]\n"
      "z=3";
  const struct {
    const char *section, *key, *expected;
  } rows[] = {
      {"Main", "spaced", "value with spaces"},
      {" MAIN ", " SPACED\t", "value with spaces"},
      {"Main", "quoted", "in quotes"},
      {"Main", "single", "x"},
      {"Main", "half", "\"open"},
      {"Main", "empty", ""},
      {"Main", "novalue", "<none>"},
      {"Main", "; comment", "not a key"},
      {"Main", "dup", "first"},
      {"Main", "eq", "a=b"},
      {"Main", "later", "<none>"},  // the first section of a name hides the second
      {"Padded", "p", "1"},
      {"Main", "[broken", "<none>"},  // a header without "]" is a key line of the section before
      {"Padded", "b", "2"},
      {"x]y", "z", "3"},
      {"", "top", "before any section"},
      {"Missing", "key", "<none>"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Read(file, row.section, row.key), row.expected) << row.section << "/" << row.key;
}

TEST(IniDocument, DefaultAndBufferRules) {
  EXPECT_EQ(Read("", "s", "k", "def  "), "def");
  EXPECT_EQ(Read("", "s", "k", " "), " ");  // the first character always stays
  EXPECT_EQ(Read("", "s", "k", "\"q\""), "q");
  EXPECT_EQ(Read("[s]\nk=abcdef", "s", "k", "", 4), "abc");
  EXPECT_EQ(Read("[s]\nk=\"abcd\"", "s", "k", "", 6), "abcd");
  EXPECT_EQ(Read("[s]\nk=\"abcd\"", "s", "k", "", 5), "abc");  // fills the buffer: loses a character
  EXPECT_EQ(Read("[s]\nk=abc", "s", "k", "", 0), "");
  EXPECT_EQ(Read("[s]\nk=\x95\x5C\x95\x5C", "s", "k", "", 4), "\x95\x5C");
}

TEST(IniDocument, DoubleByteTrailBytesAreNotBrackets) {
  // "−" is 0x81 0x5D: its trail byte is not the "]" that closes a header.
  const std::string file = "[a\x81\x5Dx\r\nk=1\r\n";
  EXPECT_EQ(Read(file, "", "k"), "1");
  EXPECT_EQ(Read(file, "a\x81", "k"), "<none>");
}

TEST(IniDocument, WritesKeepOrderAndCase) {
  Document doc(CodePage::kShiftJis);
  EXPECT_TRUE(doc.Set("0", "name", "first"));
  EXPECT_TRUE(doc.Set("0", "source", "C:\\data\\"));
  EXPECT_TRUE(doc.Set("1", "name", "  second"));
  EXPECT_FALSE(doc.Set("0", "NAME", "first"));
  EXPECT_TRUE(doc.Set("0", "NAME", "changed"));
  EXPECT_EQ(doc.Text(), "[0]\r\nname=changed\r\nsource=C:\\data\\\r\n[1]\r\nname=second\r\n");
  EXPECT_TRUE(doc.DeleteKey("0", "SOURCE"));
  EXPECT_FALSE(doc.DeleteKey("0", "source"));
  EXPECT_TRUE(doc.DeleteSection("0"));
  EXPECT_FALSE(doc.DeleteSection("0"));
  EXPECT_EQ(doc.Text(), "[1]\r\nname=second\r\n");
}

TEST(IniDocument, RewriteNormalisesLinesAndKeepsComments) {
  Document doc = Document::Parse("; note\n\n[A]  \n  k = v  \n\n\n[B]\nx\n", CodePage::kShiftJis);
  doc.Set("B", "y", "1");
  EXPECT_EQ(doc.Text(), "; note\r\n[A]\r\nk=v\r\n[B]\r\nx\r\ny=1\r\n");
}

TEST(IniDocument, NulBytesEndNamesAndValues) {
  const std::string file = std::string("[s]\nk=ab\0cd\nm\0n=1\n", 19);
  EXPECT_EQ(Read(file, "s", "k"), "ab");
  EXPECT_EQ(Read(file, "s", "m"), "1");
}

// Found by fuzzing: white space before a NUL, or a line that starts with
// one, read differently once the document was written back.
TEST(IniDocument, ATextWithNulBytesReadsTheSameWrittenBack) {
  for (const std::string& file : {"a \0=c\n"s, "[s \0x]\nk=v \0w\n"s,
                                  "\0x\nb=1\n"s}) {
    const Document once = Document::Parse(file, CodePage::kShiftJis);
    const std::string text = once.Text();
    EXPECT_EQ(Document::Parse(text, CodePage::kShiftJis).Text(), text) << text;
  }
  EXPECT_EQ(Read("a \0=c\n"s, "", "a"), "c");
  EXPECT_EQ(Read("[s \0x]\nk=v \0w\n"s, "s", "k"), "v");
  // A lead byte of code page 932 before the NUL goes with it: kept, it would
  // take the "]" written after it as its second byte.
  const Document section = Document::Parse("[a\x91\0b]\nk=1\n"s, CodePage::kShiftJis);
  EXPECT_EQ(section.Text(), "[a]\r\nk=1\r\n");
  // A section without a name keeps its header, or its keys would join the
  // section before it (found by fuzzing).
  const Document unnamed = Document::Parse("[a]\n=x\n[]\n=y\n", CodePage::kShiftJis);
  EXPECT_EQ(Document::Parse(unnamed.Text(), CodePage::kShiftJis).Text(), unnamed.Text());
  EXPECT_EQ(unnamed.Text(), "[a]\r\n=x\r\n[]\r\n=y\r\n");
  // A space that is the second byte of a double-byte character is no white
  // space to trim: trimmed, the lead byte took the "]" written after it.
  const Document trail = Document::Parse("[1]:\\\x83 ]\nk=1\n", CodePage::kShiftJis);
  EXPECT_EQ(Document::Parse(trail.Text(), CodePage::kShiftJis).Text(), trail.Text());
  EXPECT_EQ(trail.Text(), "[1]:\\\x83 ]\r\nk=1\r\n");
  // A first line that begins with the bytes of a byte-order mark once its
  // white space is gone is not written as a mark.
  const Document mark = Document::Parse("\v\xEF\xBB\xBF\vk=1\n", CodePage::kUtf8);
  EXPECT_EQ(Document::Parse(mark.Text(), CodePage::kUtf8).Text(), mark.Text());
}

}  // namespace
