// The real Windows program, started as a user or a scheduled job starts it.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <filesystem>

#include "engine/messages.h"
#include "platform/code_page.h"
#include "resources/ids.h"
#include "tests/support/files.h"
#include "tests/support/mirror_fixture.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"
#include "tests/support/win32/user_input.h"
#include "tests/support/window_thread.h"

namespace test {

namespace {

class ProgramTest : public ProgramRunTest {
 protected:
  // Handles what other threads sent to this one: a program taking the
  // foreground tells the thread that had it, and must not wait for it.
  static void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  // The lines the program's progress list holds.
  static int ListedLines(HWND window) {
    Pump();
    return static_cast<int>(SendMessageA(GetDlgItem(window, kProgressList), LVM_GETITEMCOUNT, 0, 0));
  }
  // Whether the program's start command is enabled, as its toolbar shows:
  // a run that logged its end line may still be handing over its last lines.
  static bool StartEnabled(HWND window) {
    Pump();
    const HWND toolbar = FindWindowExA(window, nullptr, TOOLBARCLASSNAMEA, nullptr);
    return toolbar != nullptr && SendMessageA(toolbar, TB_ISBUTTONENABLED, ID_MIRROR_START, 0) != 0;
  }
  // Whether the end of the log holds the line of the message; the end
  // only, read now and then, so as not to take the program's time.
  bool LoggedLately(int id) const {
    Pump();
    Sleep(50);
    std::string tail(8192, '\0');
    FILE* log = std::fopen((dir_ / "logs\\run.log").c_str(), "rb");
    if (log == nullptr) return false;
    std::fseek(log, 0, SEEK_END);
    const long size = std::ftell(log);
    std::fseek(log, size > static_cast<long>(tail.size()) ? size - static_cast<long>(tail.size()) : 0, SEEK_SET);
    tail.resize(std::fread(tail.data(), 1, tail.size(), log));
    std::fclose(log);
    return tail.find(platform::ToStoredText(MessageText(id))) != std::string::npos;
  }
  static constexpr int kProgressList = 0xE900;
  // Brings the window to the front, as a person's click on it would: the
  // keys go to the foreground window, which another program may have taken.
  static bool Activate(HWND window) {
    return WaitUntil([&] {
      Pump();
      if (GetForegroundWindow() == window) return true;
      SetForegroundWindow(window);
      Sleep(20);
      return false;
    }, 5);
  }
  // The program's main window, once it is there; null if it never comes.
  static HWND WindowTitled(const std::string& title) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA("KelmorayFrame", title.c_str())) != nullptr; });
    return window;
  }
};

// A fast run sends lines and status texts as fast as the window can take
// them: Shift+F5 and Alt+F4, pressed on the keyboard, still act at once.
TEST_F(ProgramTest, StopAndCloseFromTheKeyboardActAtOnceDuringAFastRun) {
  std::vector<std::string> files;
  for (int i = 0; i < 30000; ++i) files.push_back("d" + std::to_string(i % 200) + "/f" + std::to_string(i));
  MakeTree(src_, files);
  Store({Entry()});
  logSettings_.Set(dir_ / "logs\\", "run.log", 1, 1);
  ChildProcess program(KELMORAY_GUI, {FileOption()}, "");
  const HWND window = WindowTitled("entries.kyf - Kelmoray");
  ASSERT_NE(window, nullptr);
  // Each stop ends the run after its file in progress: its interruption
  // line, then its end line.
  const auto stopAfterAWhile = [&](WORD key, unsigned modifiers) {
    ASSERT_TRUE(WaitUntil([&] { return StartEnabled(window); })) << "the program is ready for a run";
    const int earlier = ListedLines(window);
    ASSERT_TRUE(Activate(window));
    PressKey(VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return ListedLines(window) > earlier + 1000; }))
        << "the list shows lines while the run goes";
    for (int waited = 0; waited < 2000; waited += 50) {
      Pump();
      Sleep(50);
    }
    const int before = ListedLines(window);
    EXPECT_GT(before, earlier + 1000);
    ASSERT_TRUE(Activate(window));
    const auto pressed = std::chrono::steady_clock::now();
    PressKey(key, modifiers);
    EXPECT_TRUE(WaitUntil([&] { return LoggedLately(kMsgRunEnd); })) << (key == VK_F4 ? "Alt+F4" : "Shift+F5");
    const auto took = std::chrono::steady_clock::now() - pressed;
    EXPECT_LT(took, std::chrono::seconds(1)) << std::chrono::duration<double>(took).count() << " s to stop; lines: " << before << " at the key, "
                                              << ListedLines(window) << " now, the window "
                                              << (IsWindow(window) ? "still there" : "gone");
    EXPECT_TRUE(LoggedLately(kMsgInterrupted));
    EXPECT_LT(ListTree(dst_).size(), files.size() + 200) << "the run did not go to its end";
  };
  stopAfterAWhile(VK_F5, kShift);
  // The log of the second run starts anew: the same name, written again.
  std::filesystem::remove(dir_ / "logs\\run.log");
  stopAfterAWhile(VK_F4, kAlt);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 1)) << "the program ends with its run";
  EXPECT_EQ(program.Wait(), 0);
}

// "/A" with a settings file: the entries are mirrored and logged, and the
// program ends by itself some 3 seconds after the run's end line.
TEST_F(ProgramTest, AnAutomaticRunMirrorsLogsAndEndsByItself) {
  MakeTree(src_, {std::string("写真/予定表.txt"), "a.txt"});
  Store({Entry()});
  logSettings_.Set(dir_ / "logs\\", "run.log", 1, 1);
  const auto start = std::chrono::steady_clock::now();
  ChildProcess program(KELMORAY_GUI, {"/A", FileOption()}, "");
  ASSERT_TRUE(program.Started());
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(ListTree(dst_), ListTree(src_));
  const std::string log = ReadStoredText(dir_ / "logs\\run.log");
  EXPECT_NE(log.find(MessageText(kMsgCopyFile) + "\r\n\t" + Below(src_, "a.txt")), std::string::npos) << log;
  EXPECT_NE(log.find(MessageText(kMsgRunEnd)), std::string::npos);
}

TEST_F(ProgramTest, AnAutomaticRunWithM_RunsMinimised) {
  Store({});
  ChildProcess program(KELMORAY_GUI, {"/A", "/M", FileOption()}, "");
  const HWND window = WindowTitled("entries.kyf - Kelmoray");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; })) << "shown minimised";
  EXPECT_EQ(program.Wait(), 0) << "and ends by itself";
}

TEST_F(ProgramTest, ANamedSetShowsItsNameInTheCaption) {
  ChildProcess program(KELMORAY_GUI, {"/S=work"}, "");
  const HWND window = WindowTitled("work - Kelmoray");
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.Wait(), 0);
}

// Closing the window during a long copy stops the run after the file in
// progress: no file stands at the destination with less than its source.
TEST_F(ProgramTest, ClosingDuringARunStopsItAndLeavesNoPartialFile) {
  std::filesystem::create_directories(src_);
  const std::string block(4 << 20, 'k');
  for (int i = 0; i < 12; ++i) {
    std::string content;
    for (int m = 0; m < 8; ++m) content += block;
    WriteFile(Below(src_, "big" + std::to_string(i) + ".bin"), content);
  }
  Store({Entry()});
  ChildProcess program(KELMORAY_GUI, {FileOption()}, "");
  const HWND window = WindowTitled("entries.kyf - Kelmoray");
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_COMMAND, ID_MIRROR_START, 0);
  ASSERT_TRUE(WaitUntil([&] { return !ListTree(dst_).empty(); })) << "a copy is under way";
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.Wait(), 0);
  const auto copied = ListTree(dst_);
  for (const std::string& file : copied)
    EXPECT_EQ(std::filesystem::file_size(Below(dst_, file)), 32u << 20) << file;
  EXPECT_LT(copied.size(), 12u) << "the run stopped before its end";
}

}  // namespace

}  // namespace test
