#include "foundation/path.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace {

struct SplitRow {
  const char *text, *drive, *dir, *name, *ext, *joined;
};


template <size_t N>
void ExpectSplits(const SplitRow (&rows)[N], PathStyle style) {
  for (const SplitRow& row : rows) {
    CtPath path(row.text, style);
    EXPECT_EQ(path.GetDrive(), row.drive) << row.text;
    EXPECT_EQ(path.GetDir(), row.dir) << row.text;
    EXPECT_EQ(path.GetFileName(), row.name) << row.text;
    EXPECT_EQ(path.GetExt(), row.ext) << row.text;
    EXPECT_STREQ(path.GetPathText(), row.joined) << row.text;
  }
}

TEST(CtPath, WindowsStyleWorkedTable) {
  const SplitRow rows[] = {
      {"C:\\data\\report.txt", "C:", "\\data\\", "report", ".txt", "C:\\data\\report.txt"},
      {"C:/data/report.txt", "C:", "\\data\\", "report", ".txt", "C:\\data\\report.txt"},
      {"file:///C:/data/report.txt", "C:", "\\data\\", "report", ".txt", "C:\\data\\report.txt"},
      {"FILE://C:/data/report.txt", "C:", "\\data\\", "report", ".txt", "C:\\data\\report.txt"},
      {"\\\\server\\share\\a.b.c", "", "\\\\server\\share\\", "a.b", ".c", "\\\\server\\share\\a.b.c"},
      {"report.txt", "", "\\", "report", ".txt", "\\report.txt"},
      {"C:\\data\\", "C:", "\\data\\", "", "", "C:\\data\\"},
      {"C:\\dir.x\\name", "C:", "\\dir.x\\", "name", "", "C:\\dir.x\\name"},
      {"http://host/docs/index.html", "http://host", "/docs/", "index", ".html", "http://host/docs/index.html"},
      {"http://host", "http://host", "/", "", "", "http://host/"},
      {"ftp://host\\pub\\file", "ftp://host", "/pub/", "file", "", "ftp://host/pub/file"},
      {"HTTP://HOST/x", "HTTP://HOST", "/", "x", "", "HTTP://HOST/x"},
      {"http://host\\a\\b.c", "http://host", "/a/", "b", ".c", "http://host/a/b.c"},
      {"vaduvo://h/a.b/c", "vaduvo://h", "/a.b/", "c", "", "vaduvo://h/a.b/c"},
      {"X:", "X:", "\\", "", "", "X:\\"},
      {"ab:c", "", "\\", "ab:c", "", "\\ab:c"},
      {"C:\\cfg\\.profile", "C:", "\\cfg\\", "", ".profile", "C:\\cfg\\.profile"},
      {"", "", "\\", "", "", "\\"},
  };
  ExpectSplits(rows, PathStyle::kWindows);
}

TEST(CtPath, PosixStyleSplitsAtSlashOnly) {
  const SplitRow rows[] = {
      {"/srv/data/report.txt", "", "/srv/data/", "report", ".txt", "/srv/data/report.txt"},
      {"/srv/a\\b/c.d", "", "/srv/a\\b/", "c", ".d", "/srv/a\\b/c.d"},
      {"file:///srv/x.y", "", "/srv/", "x", ".y", "/srv/x.y"},
      {"C:\\data\\report.txt", "", "/", "C:\\data\\report", ".txt", "/C:\\data\\report.txt"},
      {"report.txt", "", "/", "report", ".txt", "/report.txt"},
      {"/srv/.hidden", "", "/srv/", "", ".hidden", "/srv/.hidden"},
      {"http://host\\a\\b.c", "http://host", "/a/", "b", ".c", "http://host/a/b.c"},
  };
  ExpectSplits(rows, PathStyle::kPosix);
}

TEST(CtPath, SettersNormalise) {
  for (PathStyle style : {PathStyle::kWindows, PathStyle::kPosix}) {
    CtPath path("", style);
    EXPECT_EQ(path.SetExt("log").GetExt(), ".log");
    EXPECT_EQ(path.GetExtNoDot(), "log");
    EXPECT_EQ(path.SetDir("pub").GetDir(), "/pub/");
    EXPECT_EQ(path.SetFileName("f").GetFileName(), "f");
  }
  CtPath windows("", PathStyle::kWindows);
  EXPECT_EQ(windows.SetDrive("D").GetDrive(), "D:");
  EXPECT_EQ(windows.SetDir("a\\b").GetDir(), "\\a\\b\\");
  CtPath posix("", PathStyle::kPosix);
  EXPECT_EQ(posix.SetDir("a\\b").GetDir(), "/a\\b/");
  CtPath copy("x", PathStyle::kWindows);
  copy.Assign(CtPath("C:\\d\\n.e", PathStyle::kWindows));
  EXPECT_EQ(copy.GetPath(), "C:\\d\\n.e");
}

TEST(CtPath, LongPartsAreCutInWindowsStyleOnly) {
  const std::string longDir(300, 'd');
  const std::string longName(300, 'n');
  CtPath windows("C:\\" + longDir + "\\" + longName + ".txt", PathStyle::kWindows);
  // Kept whole: cut to 255 bytes and closed by its separator, it named
  // another directory (found by fuzzing).
  EXPECT_EQ(windows.GetDir(), "\\" + longDir + "\\");
  EXPECT_EQ(CtPath(windows.GetPath(), PathStyle::kWindows).GetPath(), windows.GetPath());
  EXPECT_EQ(windows.GetFileName().size(), 255u);
  CtPath posix("/" + longDir + "/" + longName + ".txt", PathStyle::kPosix);
  EXPECT_EQ(posix.GetDir(), "/" + longDir + "/");
  EXPECT_EQ(posix.GetFileName().size(), 255u);
}

// A directory name ending in a double-byte character: in Shift-JIS its trail
// byte can be "\" (表); the split goes by the real separators only.
TEST(CtPath, DoubleByteNamesInTheSystemCodePage) {
  const bool shiftJis = cp::System() == cp::CodePage::kShiftJis;
  const std::string hyo = shiftJis ? "\x95\x5C" : "表";
  CtPath path("C:\\" + hyo + "\\" + hyo + ".txt", PathStyle::kWindows);
  EXPECT_EQ(path.GetDir(), "\\" + hyo + "\\");
  EXPECT_EQ(path.GetFileName(), hyo);
  CtPath set("", PathStyle::kWindows);
  EXPECT_EQ(set.SetDir("a\\" + hyo).GetDir(), "\\a\\" + hyo + "\\");
  EXPECT_EQ(NormalizeDirPath("C:\\" + hyo, PathStyle::kWindows), "C:\\" + hyo + "\\");
}

TEST(NormalizeDirPath, BothStyles) {
  const struct {
    const char *text, *windows, *posix;
  } rows[] = {
      {"C:\\data", "C:\\data\\", "C:\\data"},
      {"C:\\data\\", "C:\\data\\", "C:\\data\\"},
      {"//server/share/dir", "//server/share/dir/", "//server/share/dir/"},
      {"/srv/a\\b", "/srv/a\\b\\", "/srv/a\\b/"},
      {"data", "data", "data"},
      {"", "", ""},
      {"/", "/", "/"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(NormalizeDirPath(row.text, PathStyle::kWindows), row.windows) << row.text;
    EXPECT_EQ(NormalizeDirPath(row.text, PathStyle::kPosix), row.posix) << row.text;
  }
}

}  // namespace
