#include "settings/entry_storage.h"

#include <gtest/gtest.h>

#include "foundation/path.h"
#include "platform/code_page.h"
#include "platform/file_attributes.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree.h"

namespace {

enum class Backend { kRegistry, kFile };

class EntryStorageTest : public ::testing::TestWithParam<Backend> {
 protected:
  EntryStorageTest() {
    SettingsLocation& location = location_;
    location.setKeySuffix = registry_.SetSuffix();
    if (GetParam() == Backend::kFile) {
      location.useSettingsFile = true;
      location.settingsFilePath = dir_ / "entries.kyf";
    }
  }

  // A profile addressing the raw store, for values the editors would never write.
  CtProfile Raw() {
    CtProfile p;
    OpenEntryStore(p, location_, std::nullopt);
    return p;
  }

  void StoreName(int index, const std::string& name) { Raw().SetSection("%d", index).SetValueName("name").SetString(name); }

  test::RegistrySandbox registry_;
  test::TempDir dir_;
  SettingsLocation location_;
};

MirrorEntry Sample(const std::string& name, int items = 0) {
  MirrorEntry e;
  e.name = name;
  e.source = "C:\\data\\" + name;
  e.destination = "/backup/" + name;
  e.nomirrext = ".bak;.tmp";
  e.subdir = 1;
  e.destination_delete = 1;
  e.wildcard = "*.*";
  e.destinationdir_delete = 1;
  for (int i = 0; i < items; ++i) e.nomirror.push_back("C:\\data\\skip" + std::to_string(i) + "\\");
  return e;
}

TEST_P(EntryStorageTest, EmptyStoreLoadsEmpty) { EXPECT_TRUE(LoadEntryList(location_).empty()); }

TEST_P(EntryStorageTest, SaveThenLoadGivesTheNormalisedList) {
  std::vector<MirrorEntry> list = {Sample("one", 3), Sample("two")};
  list[1].hidden_files = list[1].system_files = list[1].readonly_files = list[1].attribute = 1;
  list[1].use_archive = list[1].use_wildcard = 1;
  list[1].wildcard = "*.txt";
  list[1].nomirrext = "";
  SaveEntryList(list, location_);
  EXPECT_EQ(list[0].source, NormalizeDirPath("C:\\data\\one"));
  EXPECT_EQ(list[0].destination, "/backup/one/");
  EXPECT_EQ(LoadEntryList(location_), list);
}

TEST_P(EntryStorageTest, ListEndsAtFirstEntryWithoutName) {
  StoreName(1, "one");
  EXPECT_TRUE(LoadEntryList(location_).empty());
  StoreName(0, "zero");
  StoreName(3, "three");
  const auto list = LoadEntryList(location_);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].name, "one");
}

TEST_P(EntryStorageTest, SaveClearsTheOldListButNotKeysBeyondItsEnd) {
  StoreName(0, "zero");
  StoreName(1, "one");
  Raw().SetSection("1").SetValueName("nomirror_0").SetString("old item");
  StoreName(3, "three");
  std::vector<MirrorEntry> list = {Sample("new")};
  SaveEntryList(list, location_);
  EXPECT_EQ(Raw().SetSection("1").SetValueName("name").GetString(), "");
  EXPECT_EQ(Raw().SetSection("1").SetValueName("nomirror_0").GetString(), "");
  EXPECT_EQ(Raw().SetSection("3").SetValueName("name").GetString(), "three");
  StoreName(1, "one again");  // the key beyond the gap comes back into view
  const auto loaded = LoadEntryList(location_);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0], list[0]);
}

TEST_P(EntryStorageTest, StoredValuesAndTheirDefaults) {
  StoreName(0, "e");
  CtProfile raw = Raw();
  raw.SetSection("0");
  raw.SetValueName("source").SetString("C:\\data");
  raw.SetValueName("subdir").SetInt(1);
  raw.SetValueName("destinationdir_delete").SetInt(0);
  raw.SetValueName("nomirror_0").SetString("a");
  raw.SetValueName("nomirror_1").SetString("b");
  raw.SetValueName("nomirror_3").SetString("d");
  StoreName(1, "f");
  raw.SetSection("1").SetValueName("wildcard").SetString("");
  raw.SetValueName("nomirror_0").SetString("x");
  raw.SetValueName("nomirror_1").SetString("");
  raw.SetValueName("nomirror_2").SetString("y");
  raw.SetValueName("destinationdir_delete").SetInt(1);
  raw.SetValueName("hidden_files").SetInt(7);

  const auto list = LoadEntryList(location_);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].source, NormalizeDirPath("C:\\data"));
  EXPECT_EQ(list[0].destination, "");
  EXPECT_EQ(list[0].destinationdir_delete, 1);  // forced by subdir
  EXPECT_EQ(list[0].wildcard, "*.*");           // absent
  EXPECT_EQ(list[0].nomirror, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(list[1].wildcard, "");  // stored empty
  EXPECT_EQ(list[1].nomirror, std::vector<std::string>{"x"});
  EXPECT_EQ(list[1].destinationdir_delete, 1);
  EXPECT_TRUE(list[1].hidden_files) << "any value but 0 sets a flag";
  EXPECT_EQ(list[1].subdir, 0);
}

TEST_P(EntryStorageTest, TwoHundredFiftySixEntriesAndNoMore) {
  std::vector<MirrorEntry> list;
  for (int i = 0; i < 257; ++i) list.push_back(Sample("e" + std::to_string(i), 1));
  SaveEntryList(list, location_);
  EXPECT_EQ(Raw().SetSection("256").SetValueName("name").GetString(), "");
  const auto loaded = LoadEntryList(location_);
  ASSERT_EQ(loaded.size(), 256u);
  EXPECT_EQ(loaded[255].name, "e255");
  StoreName(256, "beyond");
  EXPECT_EQ(LoadEntryList(location_).size(), 256u);
}

TEST_P(EntryStorageTest, ImportReplacesEveryEntryWhole) {
  std::vector<MirrorEntry> current = {Sample("old", 5)};
  SaveEntryList(current, location_);
  const std::string exported = dir_ / "two.kyf";
  std::vector<MirrorEntry> two = {Sample("a", 1), Sample("b", 1)};
  SaveEntryList(two, location_, exported);
  std::vector<MirrorEntry> imported = LoadEntryList(location_, exported);
  ASSERT_EQ(imported.size(), 2u);
  EXPECT_EQ(imported[0].nomirror.size(), 1u);
  SaveEntryList(imported, location_);
  EXPECT_EQ(LoadEntryList(location_), two);
}

INSTANTIATE_TEST_SUITE_P(Both, EntryStorageTest, ::testing::Values(Backend::kRegistry, Backend::kFile),
                         [](const auto& info) { return info.param == Backend::kFile ? "File" : "Registry"; });

// Texts as long as the registry keeps (4,095 bytes) read back whole from
// either store: a settings file would otherwise cut them at 1,023.
TEST_P(EntryStorageTest, LongTextsReadBackWhole) {
  MirrorEntry entry;
  entry.name = std::string("長い") + std::string(1000, 'n');
  entry.source = std::string(3990, 's') + std::string("表") + "\\";
  entry.destination = "/d/";
  entry.nomirror = {std::string(4000, 'x')};
  std::vector<MirrorEntry> entries = {entry};
  SaveEntryList(entries, location_);
  const auto loaded = LoadEntryList(location_);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].name, entry.name);
  EXPECT_EQ(loaded[0].source, entries[0].source);
  EXPECT_EQ(loaded[0].nomirror, entry.nomirror);
}


// A text longer than the registry reads back (a pasted name, a directory
// that its separator makes one byte longer) is stored cut, on a character's
// edge: stored whole it would read as empty, and the list would end at it.
TEST_P(EntryStorageTest, TextsTooLongToReadBackAreStoredCut) {
  const std::string longName = std::string(4094, 'n') + std::string("表") + "tail";
  std::vector<MirrorEntry> entries = {Sample("first"), Sample("second"), Sample("third")};
  entries[1].name = longName;
  entries[1].source = std::string(4095, 's');  // 4,096 bytes with its separator
  entries[1].nomirror = {std::string(5000, 'x')};
  SaveEntryList(entries, location_);
  const auto loaded = LoadEntryList(location_);
  ASSERT_EQ(loaded.size(), 3u) << "the entries after the long one stay";
  EXPECT_EQ(loaded[1].name, std::string(4094, 'n')) << "cut before the character that would not fit";
  EXPECT_EQ(loaded[1].source.substr(0, 4095), std::string(4095, 's'));
  EXPECT_EQ(loaded[1].nomirror, std::vector<std::string>{std::string(4095, 'x')});
  EXPECT_EQ(loaded[2].name, "third");
}
TEST(SettingsFile, AReadOnlySettingsFileIsLeftWhole) {
  test::TempDir dir;
  const std::string file = dir / "readonly.kyf";
  const std::string content = "[0]\r\nname=keep\r\nsource=/s/\r\n[notes]\r\nx=1\r\n";
  test::WriteFile(file, content);
  ASSERT_TRUE(platform::WriteFileAttributes(file, platform::kAttrReadOnly));
  MirrorEntry entry;
  entry.name = "new";
  std::vector<MirrorEntry> entries = {entry};
  EXPECT_FALSE(SaveEntryList(entries, SettingsLocation{}, file)) << "not saved, and said so";
  EXPECT_EQ(test::ReadFile(file), content);
  platform::WriteFileAttributes(file, 0);
}

// A list that could not be stored is reported, never taken for saved.
TEST(SettingsFile, ASaveThatCannotBeStoredIsReported) {
  test::TempDir dir;
  MirrorEntry entry;
  entry.name = "new";
  entry.source = "C:\\s\\";
  std::vector<MirrorEntry> entries = {entry};
  const struct {
    std::string file;
    bool saved;
  } rows[] = {
      {dir / "missing-folder/entries.kyf", false},
      {dir / "entries.kyf", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SaveEntryList(entries, SettingsLocation{}, row.file), row.saved) << row.file;
    EXPECT_EQ(LoadEntryList(SettingsLocation{}, row.file).size(), row.saved ? 1u : 0u) << row.file;
  }
}

TEST(SettingsFile, ExampleEntryIsWrittenByteForByte) {
  test::TempDir dir;
  MirrorEntry e;
  e.name = std::string("設定 1");
  e.source = "C:\\data\\";
  e.destination = "D:\\backup\\data\\";
  e.subdir = e.destination_delete = e.hidden_files = e.system_files = e.readonly_files = e.attribute = 1;
  e.wildcard = "*.*";
  e.destinationdir_delete = 1;
  e.nomirror = {"C:\\data\\temp\\"};
  std::vector<MirrorEntry> list = {e};
  const std::string file = dir / "example.kyf";
  EXPECT_TRUE(SaveEntryList(list, SettingsLocation{}, file));
  const std::string expected = platform::ToStoredText(
      "[0]\r\nname=設定 1\r\nsource=C:\\data\\\r\ndestination=D:\\backup\\data\\\r\nnomirrext=\r\nsubdir=1\r\n"
      "destination_delete=1\r\nhidden_files=1\r\nsystem_files=1\r\nreadonly_files=1\r\nattribute=1\r\n"
      "use_archive=0\r\nuse_wildcard=0\r\nwildcard=*.*\r\ndestinationdir_delete=1\r\nnomirror_0=C:\\data\\temp\\\r\n");
  EXPECT_EQ(test::ReadFile(file), expected);
  EXPECT_EQ(LoadEntryList(SettingsLocation{}, file), list);
}

}  // namespace

namespace {

// Every build writes exactly these bytes and reads them back as the same
// entries, so a file written by one build is read alike by the others.
TEST(SettingsFile, SameBytesOnEveryBuild) {
  test::TempDir dir;
  const std::string bytes =
      "[0]\r\nname=docs\r\nsource=/home/u/docs/\r\ndestination=/mnt/backup/docs/\r\nnomirrext=.bak;.\r\nsubdir=1\r\n"
      "destination_delete=1\r\nhidden_files=0\r\nsystem_files=0\r\nreadonly_files=1\r\nattribute=0\r\n"
      "use_archive=1\r\nuse_wildcard=1\r\nwildcard=*.txt\r\ndestinationdir_delete=1\r\n"
      "nomirror_0=/home/u/docs/tmp/\r\nnomirror_1=/home/u/docs/*.log\r\n"
      "[1]\r\nname=win\r\nsource=C:\\data\\\r\ndestination=\\\\nas\\share\\\r\nnomirrext=\r\nsubdir=0\r\n"
      "destination_delete=0\r\nhidden_files=1\r\nsystem_files=1\r\nreadonly_files=1\r\nattribute=1\r\n"
      "use_archive=0\r\nuse_wildcard=0\r\nwildcard=*.*\r\ndestinationdir_delete=1\r\n";
  ASSERT_TRUE(test::WriteFile(dir / "in.kyf", bytes));
  std::vector<MirrorEntry> list = LoadEntryList(SettingsLocation{}, dir / "in.kyf");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].nomirror, (std::vector<std::string>{"/home/u/docs/tmp/", "/home/u/docs/*.log"}));
  EXPECT_EQ(list[1].destination, "\\\\nas\\share\\");
  EXPECT_EQ(list[1].destinationdir_delete, 1);
  SaveEntryList(list, SettingsLocation{}, dir / "out.kyf");
  EXPECT_EQ(test::ReadFile(dir / "out.kyf"), bytes);
}

}  // namespace

namespace {

// A settings file that is not there yet is an empty list; one that is there
// but cannot be read (here: no file at all) is a problem the run reports.
TEST(SettingsFile, OneThatCannotBeReadIsAProblemAMissingOneIsNot) {
  test::TempDir dir;
  test::RegistrySandbox registry;
  test::WriteFile(dir / "entries.kyf", "[0]\r\nname=a\r\n");
  test::MakeTree(dir / "folder.kyf", {"x.txt"});
  const struct {
    const char* name;
    bool problem;
  } rows[] = {{"entries.kyf", false}, {"missing.kyf", false}, {"folder.kyf", true}};
  for (const auto& row : rows) {
    SettingsLocation location;
    location.useSettingsFile = 1;
    location.settingsFilePath = dir / row.name;
    const StoreProblem problem = FindStoreProblem(location);
    EXPECT_EQ(static_cast<bool>(problem), row.problem) << row.name;
    if (row.problem) {
      EXPECT_EQ(problem.where, location.settingsFilePath) << row.name;
    }
  }
}

}  // namespace
