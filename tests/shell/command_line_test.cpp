#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "foundation/path.h"
#include "platform/code_page.h"
#include "tests/support/temp_dir.h"

namespace {

struct Outcome {
  bool minimized, automatic, useFile;
  const char *path, *suffix, *display;
};

Outcome Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "kelmoray");
  StartupOptions options;
  ParseCommandLine(args, options);
  const SettingsLocation& location = options.store;
  static std::string path, suffix, display;
  path = location.settingsFilePath;
  suffix = location.setKeySuffix;
  display = location.setDisplayName;
  return {options.startMinimized, options.automatic, location.useSettingsFile, path.c_str(), suffix.c_str(), display.c_str()};
}

TEST(CommandLine, OptionTable) {
  const std::string standard = std::string("標準");
  const std::string longName(65536, 'y');
  const std::string longSuffix = "\\S-" + longName;
  const struct {
    std::vector<std::string> args;
    Outcome expected;
  } rows[] = {
      {{}, {0, 0, 0, "", "", standard.c_str()}},
      {{"/M"}, {1, 0, 0, "", "", standard.c_str()}},
      {{"/max", "/auto"}, {1, 1, 0, "", "", standard.c_str()}},
      {{"/Mirror"}, {1, 0, 0, "", "", standard.c_str()}},
      {{"/a"}, {0, 1, 0, "", "", standard.c_str()}},
      {{"/s=work"}, {0, 0, 0, "", "\\S-work", "work"}},
      {{"/S=one", "/S=two"}, {0, 0, 0, "", "\\S-two", "two"}},
      {{"/S="}, {0, 0, 0, "", "\\S-", ""}},
      {{"/F=/sets/nightly.kyf", "/A"}, {0, 1, 1, "/sets/nightly.kyf", "", "nightly.kyf"}},
      {{"/f=\"/srv/my sets/n.kyf\""}, {0, 0, 1, "/srv/my sets/n.kyf", "", "n.kyf"}},
      {{"/F=\""}, {0, 0, 1, "", "", ""}},
      {{"", "/", "-A", "M", "/X", "/SF"}, {0, 0, 0, "", "", standard.c_str()}},
      {{std::string(65536, 'x'), "/S=" + longName}, {0, 0, 0, "", longSuffix.c_str(), longName.c_str()}},
  };
  for (const auto& row : rows) {
    const Outcome got = Parse(row.args);
    const std::string label = row.args.empty() ? "(none)" : row.args[0].substr(0, 40);
    EXPECT_EQ(got.minimized, row.expected.minimized) << label;
    EXPECT_EQ(got.automatic, row.expected.automatic) << label;
    EXPECT_EQ(got.useFile, row.expected.useFile) << label;
    EXPECT_STREQ(got.path, row.expected.path) << label;
    EXPECT_STREQ(got.suffix, row.expected.suffix) << label;
    EXPECT_STREQ(got.display, row.expected.display) << label;
  }
}

TEST(CommandLine, DisplayNameOfAFileInTheNativeStyle) {
  StartupOptions options;
  const std::string path = platform::NativePathStyle() == PathStyle::kWindows ? "D:\\sets\\a.b.kyf" : "/k\\x/a.b.kyf";
  ParseCommandLine({"p", "/F=" + path}, options);
  EXPECT_EQ(options.store.setDisplayName, "a.b.kyf");
}

}  // namespace
