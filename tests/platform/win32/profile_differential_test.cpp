// Our profile-file reader and writer (used by the native build) against the
// Windows profile functions, over the kinds of INI files that people and
// other programs write: every read agrees, and after every write the file
// text agrees byte for byte.

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/posix/ini_document.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kLong(2000, 'L');

struct CorpusFile {
  const char* name;
  std::string text;
};

std::vector<CorpusFile> Corpus() {
  return {
      {"spaces", "[s]\r\n  k  =  spaced value  \r\n\tK2\t=\ttabbed\t\r\n"},
      {"quotes", "[s]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\"\"\r\nq5=\"\r\nq6=\"mixed'\r\n"},
      {"comments", "; leading comment\r\n[s]\r\n;c=commented\r\n#c=hash\r\nk=1\r\n; trailing\r\n"},
      {"empty values", "[s]\r\nk=\r\ne=   \r\nnovalue\r\n=nameless\r\n=second nameless\r\n"},
      {"duplicates", "[dup]\r\ndup=first\r\nDUP=second\r\n[s]\r\nk=between\r\n[DUP]\r\ndup=third\r\nonly=later\r\n"},
      {"letter case", "[Section]\r\nKey=Value\r\n[SECTION]\r\nkey=other\r\n"},
      {"no final newline", "[s]\r\nk=last"},
      {"lf only", "[s]\nk=lf\n[t]\nk=t\n"},
      {"cr only", "[s]\rk=cr\r[t]\rk=t\r"},
      {"mixed endings", "[s]\r\n\r\n\n\rk=1\n\r\n[t]\r\r\nk=2"},
      {"long line", "[s]\r\nlong=" + kLong + "\r\nk=after\r\n"},
      {"keys before sections", "k=top\r\nnone=x\r\n[s]\r\nk=inside\r\n"},
      {"padded header", "[ padded ]\r\nk=1\r\n[\ts\t]\r\nk=2\r\n"},
      {"broken header", "[s]\r\nk=1\r\n[broken\r\nk=2\r\n[x]y]\r\nk=3\r\n[]\r\nk=4\r\n"},
      {"japanese", "[\x95\x5C]\r\n\x90\xDD\x92\xE8=\x83\x5C\x83\x74\x83\x67\r\nk=\x95\x5C\\\r\n"},
      {"trail bracket", "[a\x81\x5D]\r\nk=1\r\n[b\x81\x5D\r\nk=2\r\n"},
      {"blank lines", "\r\n\r\n[s]\r\n\r\nk=1\r\n\r\n\r\n[t]\r\nk=2\r\n\r\n"},
      {"equals in value", "[s]\r\nk=a=b=c\r\nk2 = = x\r\n"},
      {"empty file", ""},
  };
}

const char* const kSections[] = {"", "s", "S", " s ", "t", "dup", "DUP", "Section", "padded", "x]y",
                                 "\x95\x5C", "a\x81\x5D", "b\x81", "broken", "none"};
const char* const kKeys[] = {"k", "K", " k ", "K2", "q1", "q2", "q3", "q4", "q5", "q6", ";c", "#c",
                             "e", "novalue", "", "dup", "only", "key", "long", "none", "\x90\xDD\x92\xE8", "k2"};

std::string RealRead(const std::string& file, const char* section, const char* key, const char* fallback, int size) {
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\x7F');
  const int length = GetPrivateProfileStringA(section, key, fallback, buffer.data(), static_cast<DWORD>(size), file.c_str());
  return std::string(buffer.data(), static_cast<size_t>(length));
}

TEST(ProfileDifferential, ReadsAgree) {
  test::TempDir dir;
  int number = 0;
  for (const CorpusFile& file : Corpus()) {
    const std::string path = dir / ("read" + std::to_string(++number) + ".ini");
    ASSERT_TRUE(test::WriteFile(path, file.text));
    const ini::Document ours = ini::Document::Parse(file.text, cp::CodePage::kShiftJis);
    for (const char* section : kSections)
      for (const char* key : kKeys)
        for (int size : {1024, 8, 2}) {
          const std::string real = RealRead(path, section, key, "def  ", size);
          const std::string mine = ours.Read(section, key, "def  ", static_cast<size_t>(size));
          // When a double-byte character does not fit, the system function
          // counts a byte it never wrote (the fill byte shows); ours stops
          // before the character. Only that byte may differ.
          if (real.find('\x7F') != std::string::npos) {
            EXPECT_EQ(mine, real.substr(0, real.find('\x7F'))) << file.name << " [" << section << "] " << key;
            continue;
          }
          EXPECT_EQ(mine, real) << file.name << " [" << section << "] " << key << " size " << size;
        }
  }
}

// One step of a write sequence: a null key deletes the section, a null value the key.
struct Step {
  const char* section;
  const char* key;
  const char* value;
};

void ExpectSameWrites(const test::TempDir& dir, const std::string& label, const std::string& start,
                      const std::vector<Step>& steps) {
  static int number = 0;
  const std::string path = dir / ("write" + std::to_string(++number) + ".ini");
  if (!start.empty()) {
    ASSERT_TRUE(test::WriteFile(path, start));
  }
  std::string oursText = start;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    WritePrivateProfileStringA(s.section, s.key, s.value, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    ini::Document ours = ini::Document::Parse(oursText, cp::CodePage::kShiftJis);
    const bool changed = !s.key ? ours.DeleteSection(s.section) : !s.value ? ours.DeleteKey(s.section, s.key)
                                                                           : ours.Set(s.section, s.key, s.value);
    if (changed) oursText = ours.Text();
    EXPECT_EQ(oursText, test::ReadFile(path)) << label << ", after step " << i + 1;
  }
}

TEST(ProfileDifferential, WritesAgree) {
  test::TempDir dir;
  ExpectSameWrites(dir, "new file", "",
                   {{"0", "name", "first"}, {"0", "source", "C:\\data\\"}, {"1", "name", "second"},
                    {"0", "NAME", "renamed"}, {"0", "name", "renamed"}, {"0", nullptr, nullptr},
                    {"0", "name", "back"}, {"1", "name", nullptr}, {"1", "name", nullptr}});
  ExpectSameWrites(dir, "people's file",
                   "; settings\r\n\r\n[Main]  \r\n  key = value  \r\n\r\nnovalue\r\n[Other]\nx=1\n",
                   {{"Main", "key", "new"}, {"main", "KEY", "  lead"}, {" Main ", " added ", "v"},
                    {"Other", "x", "1"}, {"Other", "y", "2"}, {"Main", "novalue", "now"}, {" new ", " k ", "v"},
                    {"new ", "k", "w"}, {"Other", nullptr, nullptr}});
  ExpectSameWrites(dir, "duplicates", "[d]\r\na=1\r\n[s]\r\nb=2\r\n[D]\r\na=3\r\nc=4\r\n",
                   {{"d", "c", "5"}, {"D", "c", nullptr}, {"d", "a", nullptr}, {"d", "a", nullptr},
                    {"d", nullptr, nullptr}, {"d", "a", "6"}});
  ExpectSameWrites(dir, "head section", "k=top\r\n[s]\r\nk=1\r\n",
                   {{"", "k", "changed"}, {"", "new", "v"}, {"", "k", nullptr}});
  ExpectSameWrites(dir, "empty values", "[s]\r\nk=\r\n",
                   {{"s", "k", ""}, {"s", "e", ""}, {"s", "k", "x"}, {"t", "k", ""}});
  ExpectSameWrites(dir, "japanese", "[\x95\x5C]\r\nk=1\r\n",
                   {{"\x95\x5C", "\x90\xDD\x92\xE8", "\x95\x5C\\"}, {"\x90\xDD\x92\xE8", "k", "\x83\x5C"}});
  ExpectSameWrites(dir, "long", "[s]\r\n", {{"s", "long", kLong.c_str()}, {"s", "k", "v"}});
}

}  // namespace
