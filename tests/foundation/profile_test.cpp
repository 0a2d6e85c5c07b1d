#include "foundation/profile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>

#include "platform/code_page.h"
#include "foundation/path.h"
#include "platform/profile_file.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"
#include "tests/support/temp_dir.h"

namespace {

// Every case runs on the registry (the system's, or natively our store) and on a profile file.
enum class Backend { kRegistry, kFile };

class ProfileTest : public ::testing::TestWithParam<Backend> {
 protected:
  CtProfile Open() {
    CtProfile p;
    if (GetParam() == Backend::kFile)
      p.SetFile(dir_ / "store.ini");
    else
      p.SetRoot(RegistryRoot::kCurrentUser, registry_.BasePath());
    return p;
  }

  test::RegistrySandbox registry_;
  test::TempDir dir_;
};

TEST_P(ProfileTest, ValuesRoundTrip) {
  CtProfile p = Open();
  const std::string text = std::string("C:\\data\\ 設定 表");
  p.SetSection("Settings");
  EXPECT_NE(p.SetValueName("text").SetString(text), 0);
  EXPECT_NE(p.SetValueName("number").SetInt(-5), 0);
  EXPECT_NE(p.SetValueName("big").SetInt(2147483647), 0);
  EXPECT_EQ(p.SetValueName("text").GetString(), text);
  EXPECT_EQ(p.SetValueName("number").GetInt(), -5);
  EXPECT_EQ(p.SetValueName("big").GetInt(), 2147483647);
  EXPECT_EQ(CtProfile().Assign(p).SetValueName("TEXT").GetString(), text);
}

TEST_P(ProfileTest, DefaultsPersistUntilSetAgain) {
  CtProfile p = Open();
  p.SetSection("Settings").SetValueName("missing");
  EXPECT_EQ(p.GetInt(), 0);
  EXPECT_EQ(p.SetDefault("1").GetInt(), 1);
  EXPECT_EQ(p.SetDefault("12abc").GetInt(), 12);
  EXPECT_EQ(p.SetDefault("*.*").GetString(), "*.*");
  EXPECT_EQ(p.SetValueName("other").GetString(), "*.*");
  EXPECT_EQ(p.SetSection("NoSuchSection").GetString(), "*.*");
}

TEST_P(ProfileTest, FormattedNames) {
  CtProfile p = Open();
  p.SetSection("%d", 3).SetValueName("nomirror_%d", 12u).SetString("x");
  EXPECT_EQ(p.Section(), "3");
  EXPECT_EQ(p.ValueName(), "nomirror_12");
  EXPECT_EQ(Open().SetSection("3").SetValueName("nomirror_12").GetString(), "x");
  // A format that would read more arguments than it is given is not used.
  EXPECT_EQ(p.SetSection("%s%s", 1).Section(), "%s%s");
  EXPECT_EQ(p.SetSection("%d-%d", 1).Section(), "%d-%d");
  EXPECT_EQ(p.SetSection("%%%05d", 7).Section(), "%00007");
}

TEST_P(ProfileTest, DeleteValueAndSection) {
  CtProfile p = Open();
  p.SetSection("3").SetValueName("a").SetString("1");
  p.SetValueName("b").SetString("2");
  p.SetSection("4").SetValueName("a").SetString("keep");
  EXPECT_NE(p.SetSection("3").SetValueName("a").DeleteValue(), 0);
  EXPECT_EQ(p.GetString(), "");
  EXPECT_EQ(p.SetValueName("b").GetString(), "2");
  EXPECT_NE(p.DeleteSection(), 0);
  EXPECT_EQ(p.GetString(), "");
  EXPECT_EQ(p.SetSection("4").SetValueName("a").GetString(), "keep");
}

TEST_P(ProfileTest, NoStoreSelected) {
  CtProfile p;
  p.SetSection("s").SetValueName("v").SetDefault("7");
  EXPECT_EQ(p.GetString(), "7");
  EXPECT_EQ(p.GetInt(), 7);
  EXPECT_EQ(p.SetString("x"), 0);
  EXPECT_EQ(p.SetInt(1), 0);
  EXPECT_EQ(p.DeleteSection(), 0);
  EXPECT_EQ(p.DeleteValue(), 0);
}

INSTANTIATE_TEST_SUITE_P(Both, ProfileTest, ::testing::Values(Backend::kRegistry, Backend::kFile),
                         [](const auto& info) { return info.param == Backend::kFile ? "File" : "Registry"; });

TEST(CtProfile, SetRootNormalisesAndTheLaterStoreWins) {
  CtProfile p;
  EXPECT_EQ(p.SetRoot(RegistryRoot::kLocalMachine, "\\SOFTWARE\\Brindlecode\\Kelmoray for Win32\\").BasePath(),
            "SOFTWARE\\Brindlecode\\Kelmoray for Win32\\");
  EXPECT_EQ(p.SetRoot(RegistryRoot::kCurrentUser, "\\Software\\Brindlecode\\Kelmor\\Settings").BasePath(),
            "Software\\Brindlecode\\Kelmor\\Settings\\");
  EXPECT_EQ(p.SetRoot(RegistryRoot::kCurrentUser, "").BasePath(), "\\");
  p.SetFile("x.ini");
  EXPECT_EQ(p.Root(), RegistryRoot::kNone);
  EXPECT_EQ(p.BasePath(), "");
  p.SetRoot(RegistryRoot::kCurrentUser, "a");
  EXPECT_EQ(p.File(), "");
}

TEST(CtProfile, RegistryKeyPathComposition) {
  CtProfile p(RegistryRoot::kCurrentUser, "\\SOFTWARE\\Brindlecode\\Kelmor\\");
  const struct {
    const char *section, *readWrite, *remove;
  } rows[] = {
      {"Settings", "SOFTWARE\\Brindlecode\\Kelmor\\Settings", "SOFTWARE\\Brindlecode\\Kelmor\\Settings"},
      {"Settings\\", "SOFTWARE\\Brindlecode\\Kelmor\\Settings", "SOFTWARE\\Brindlecode\\Kelmor\\Settings"},
      {"Settings/", "SOFTWARE\\Brindlecode\\Kelmor\\Settings", "SOFTWARE\\Brindlecode\\Kelmor\\Settings"},
      {"Settings\\\\", "SOFTWARE\\Brindlecode\\Kelmor\\Settings", "SOFTWARE\\Brindlecode\\Kelmor\\Settings\\"},
      {"", "SOFTWARE\\Brindlecode\\Kelmor", "SOFTWARE\\Brindlecode\\Kelmor"},
  };
  for (const auto& row : rows) {
    p.SetSection(row.section);
    EXPECT_EQ(p.KeyPath(), row.readWrite) << row.section;
    EXPECT_EQ(p.KeyPath(CtProfile::KeyUse::kDelete), row.remove) << row.section;
  }
  EXPECT_EQ(CtProfile(RegistryRoot::kCurrentUser, "").SetSection("3").KeyPath(), "3");
}

TEST(CtProfile, RegistryNamesIgnoreCaseAndCreateParents) {
  test::RegistrySandbox sandbox;
  CtProfile writer(RegistryRoot::kCurrentUser, sandbox.BasePath() + "Deep\\Er");
  EXPECT_NE(writer.SetSection("Settings").SetValueName("Value").SetString("x"), 0);
  std::string upper = sandbox.BasePath();
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  CtProfile reader(RegistryRoot::kCurrentUser, upper + "DEEP\\er");
  EXPECT_EQ(reader.SetSection("SETTINGS/").SetValueName("VALUE").GetString(), "x");
  // Keys with subkeys are not deleted.
  EXPECT_EQ(CtProfile(RegistryRoot::kCurrentUser, sandbox.BasePath()).SetSection("Deep").DeleteSection(), 0);
  EXPECT_EQ(reader.GetString(), "x");
}

TEST(CtProfile, RegistryValuesOfOtherTypesAndSizes) {
  test::RegistrySandbox sandbox;
  CtProfile p(RegistryRoot::kCurrentUser, sandbox.BasePath());
  p.SetSection("S").SetDefault("9");
  p.SetValueName("number").SetInt(0x41424344);
  EXPECT_EQ(p.GetString(), "DCBA");  // a number read as text: its bytes up to the first zero
  p.SetValueName("text").SetString("123");
  EXPECT_EQ(p.GetInt(), 0x00333231);  // four bytes of text, read as a number
  p.SetValueName("long").SetString("12345");
  EXPECT_EQ(p.GetInt(), 9);  // data longer than a number: the default
  p.SetValueName("huge").SetString(std::string(5000, 'x'));
  EXPECT_EQ(p.GetString(), "9");  // longer than the 4096-byte read buffer
  p.SetValueName("edge").SetString(std::string(4095, 'y'));
  EXPECT_EQ(p.GetString().size(), 4095u);
}

TEST(CtProfile, FileBackendSectionsAreLiteral) {
  test::TempDir dir;
  CtProfile p;
  p.SetFile(dir / "a.ini");
  p.SetSection("Settings").SetValueName("v").SetString("plain");
  p.SetSection("Settings/").SetValueName("v").SetString("slash");
  EXPECT_EQ(p.SetSection("Settings").GetString(), "plain");
  EXPECT_EQ(p.SetSection("Settings/").GetString(), "slash");
  EXPECT_EQ(test::ReadFile(dir / "a.ini"), "[Settings]\r\nv=plain\r\n[Settings/]\r\nv=slash\r\n");
}

TEST(CtProfile, FileReadsAreCutToTheBuffer) {
  test::TempDir dir;
  CtProfile p;
  p.SetFile(dir / "a.ini").SetSection("s").SetValueName("v").SetString(std::string(2000, 'z'));
  EXPECT_EQ(p.GetString(), std::string(1023, 'z'));
  p.SetBufferSize(10);
  EXPECT_EQ(p.GetString(), std::string(9, 'z'));
  p.SetBufferSize(4096);
  EXPECT_EQ(p.GetString(), std::string(2000, 'z'));
}

TEST(CtProfile, FileDeleteSectionKeepsTheOthers) {
  test::TempDir dir;
  test::WriteFile(dir / "a.kyf", "[2]\r\nname=two\r\n[3]\r\nname=three\r\nsource=x\r\n[4]\r\nname=four\r\n");
  CtProfile p;
  EXPECT_NE(p.SetFile(dir / "a.kyf").SetSection("3").DeleteSection(), 0);
  EXPECT_EQ(test::ReadFile(dir / "a.kyf"), "[2]\r\nname=two\r\n[4]\r\nname=four\r\n");
}

TEST(TextToInt, AtoiRules) {
  const struct {
    const char* text;
    int value;
  } rows[] = {{"1", 1}, {"12abc", 12}, {"", 0}, {"abc", 0}, {"  -7", -7}, {"+3", 3}, {"\t42", 42},
              {"- 1", 0}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}, {"-2147483648", -2147483647 - 1}};
  for (const auto& row : rows) EXPECT_EQ(TextToInt(row.text), row.value) << row.text;
}

}  // namespace

namespace {

TEST(ProfileWriteBatch, ReadsSeeGatheredWritesAndTheFileIsReplacedOnce) {
  test::TempDir dir;
  const std::string file = dir / "batch.kyf";
  ASSERT_TRUE(test::WriteFile(file, "[0]\r\nname=old\r\n"));
  {
    platform::ProfileWriteBatch batch(file.c_str());
    CtProfile p;
    p.SetFile(file).SetSection("0").SetValueName("name").SetString("new");
    p.SetSection("1").SetValueName("name").SetString("added");
    EXPECT_EQ(p.SetSection("0").GetString(), "new");
    EXPECT_EQ(test::ReadFile(file), "[0]\r\nname=old\r\n") << "the file waits for the batch's end";
  }
  EXPECT_EQ(test::ReadFile(file), "[0]\r\nname=new\r\n[1]\r\nname=added\r\n");
  CtProfile p;
  EXPECT_EQ(p.SetFile(file).SetSection("1").SetValueName("name").GetString(), "added");
}

TEST(ProfileWriteBatch, AnotherFileUsedMeanwhileLosesNothing) {
  test::TempDir dir;
  const std::string file = dir / "batch.kyf";
  const std::string other = dir / "other.ini";
  {
    platform::ProfileWriteBatch batch(file.c_str());
    CtProfile p;
    p.SetFile(file).SetSection("0").SetValueName("name").SetString("kept");
    CtProfile(p).SetFile(other).SetString("x");
    EXPECT_EQ(CtProfile(p).SetFile(other).GetString(), "x");
    EXPECT_EQ(p.GetString(), "kept");
  }
  EXPECT_EQ(test::ReadFile(file), "[0]\r\nname=kept\r\n");
  EXPECT_EQ(test::ReadFile(other), "[0]\r\nname=x\r\n");
}

// A settings file that is a link (kept in a synced folder, say) stays a link
// and its target takes the list; nothing is left beside it.
TEST(ProfileWriteBatch, ALinkIsWrittenThroughAndStaysALink) {
  test::TempDir dir;
  const std::string target = dir / "real.kyf", link = dir / "entries.kyf";
  ASSERT_TRUE(test::WriteFile(target, "[0]\r\nname=old\r\n"));
  if (!test::MakeFileLink(link, target)) GTEST_SKIP() << "no file links here";
  {
    platform::ProfileWriteBatch batch(link.c_str());
    CtProfile().SetFile(link).SetSection("0").SetValueName("name").SetString("new");
  }
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadFile(target), "[0]\r\nname=new\r\n");
  EXPECT_EQ(test::ListTree(dir.Path()), (std::set<std::string>{"entries.kyf", "real.kyf"}));
}

}  // namespace
