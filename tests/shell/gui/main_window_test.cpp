// The main window as a user meets it: the status line and its busy
// indicator, the commands' enabling, the prompts, the progress list.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <chrono>
#include <set>
#include <atomic>
#include <thread>

#include "engine/messages.h"
#include "engine/status_texts.h"
#include "framework/resource_text.h"
#include "platform/code_page.h"
#include "posting/post_data.h"
#include "resources/ids.h"
#include "tests/posting/peers.h"
#include "tests/shell/gui/gui_fixture.h"
#include "tests/support/files.h"
#include "tests/support/platform_support.h"
#include "tests/support/tree.h"
#include "tests/support/win32/user_input.h"
#include "tests/support/window_thread.h"
#include "platform/win32/wide_text.h"
#include "framework/window.h"

namespace test {

namespace {

class MainWindowTest : public GuiTest {
 protected:
  std::string Key() { return MainFrameKey(reinterpret_cast<platform::WindowHandle>(FrameWindow())); }
  // Posts to the frame's key and handles messages until the status line shows `expected`.
  bool PostAndSee(const char* text, const std::string& expected) {
    PostData(Key().c_str(), text);
    return HandleUntil([&] { return Frame().StatusText() == expected; });
  }
  // A run of 200 files whose every line waits until this thread takes it:
  // it goes at the pace of the test's handling of messages. Returns once
  // it has begun.
  static constexpr size_t kPacedRunFiles = 200;
  void StartAPacedRun() {
    std::vector<std::string> files;
    for (size_t i = 0; i < kPacedRunFiles; ++i) files.push_back("f" + std::to_string(i));
    MakeTree(src_, files);
    Store({Entry()});
    // The pointer away from the window: a toolbar button under it would show its prompt.
    MoveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
    Start();
    Frame().View().SetMostWaitingLines(0);
    Command(ID_MIRROR_START);
    EXPECT_TRUE(HandleUntil([&] { return Frame().View().Lines() > 5; }));
  }
  // The text of `control` in the modal box that `command` opens; the box is closed.
  std::string ReadBoxOf(int command, int control);
};

// What the status line shows for each text posted to the frame's key.
TEST_F(MainWindowTest, TheStatusLineShowsThePostedTexts) {
  Start();
  EXPECT_EQ(Frame().StatusText(), "Kelmoray") << "the idle text at the start";
  EXPECT_TRUE(PostAndSee("", std::string("作業中"))) << "the empty text";
  EXPECT_TRUE(PostAndSee(std::string("検索中 - C:\\表\\").c_str(), std::string("検索中 - C:\\表\\")));
  // A star alone, or a star with two pluses, changes nothing; so does "*-"
  // while the indicator stands still. A text posted after them shows they
  // were handled.
  for (const char* nothing : {"*", "*++", "*-"}) PostData(Key().c_str(), nothing);
  EXPECT_TRUE(PostAndSee("after", "after"));
  EXPECT_EQ(Frame().BusyTicks(), 0u);
}

// "*+" starts the indicator: "コピー中", then one more ">" per tick; a
// second "*+" starts the row again; "*-" stops it and the text stays.
TEST_F(MainWindowTest, TheBusyIndicatorTicksBetweenStartAndStop) {
  Start();
  const std::string copying = std::string("コピー中");
  EXPECT_TRUE(PostAndSee("*+", copying));
  EXPECT_TRUE(HandleUntil([&] { return Frame().StatusText() == copying + ">>"; })) << "ticks of 200 ms";
  PostData(Key().c_str(), "*+");
  EXPECT_TRUE(HandleUntil([&] { return Frame().BusyTicks() == 0; })) << "restarted";
  EXPECT_TRUE(HandleUntil([&] { return Frame().StatusText() == copying + ">"; })) << "a single > again";
  PostData(Key().c_str(), "*-");
  PostData(Key().c_str(), "stopped");
  EXPECT_TRUE(HandleUntil([&] { return Frame().StatusText() == "stopped"; }));
  const std::uint32_t ticks = Frame().BusyTicks();
  HandleFor(450);  // two ticks of a running indicator
  EXPECT_EQ(Frame().BusyTicks(), ticks);
  EXPECT_EQ(Frame().StatusText(), "stopped");
}

// Texts from another process arrive as from this one.
TEST_F(MainWindowTest, TextsFromAnotherProcessReachTheStatusLine) {
  Start();
  TempDir dir;
  ChildProcess sender(SenderPeer(Key(), dir.Path(), 1, 1, "elsewhere"));
  EXPECT_TRUE(HandleUntil([&] { return Frame().StatusText() == "elsewhere.0.0"; })) << Frame().StatusText();
  WriteFile(dir / "done", "");
  EXPECT_EQ(sender.Wait(), 0);
}

// Before a run, during it and after it: the menu and the toolbar agree.
TEST_F(MainWindowTest, CommandsAreEnabledByTheRunState) {
  MakeTree(src_, {"a.txt", "b.txt"});
  Store({Entry()});
  Start();
  const struct { int id; bool idle, running; } rows[] = {
      {ID_MIRROR_START, true, false}, {ID_MIRROR_STOP, false, true},   {ID_MIRROR_SETTINGS, true, false},
      {ID_LOG_SETTINGS, true, false}, {ID_OPTIONS, true, true},        {ID_HELP_PAGE, true, true},
      {ID_APP_ABOUT, true, true},     {ID_APP_EXIT, true, true},
  };
  for (const auto& row : rows) EXPECT_EQ(MenuItemEnabled(row.id), row.idle) << "before, " << row.id;
  // Every line waits for this thread, which handles no message meanwhile:
  // the run stays in progress at its first line while it is looked at.
  Frame().View().SetMostWaitingLines(0);
  Command(ID_MIRROR_START);
  ASSERT_TRUE(Running());
  EXPECT_EQ(Frame().View().Lines(), 0u);
  for (const auto& row : rows) EXPECT_EQ(MenuItemEnabled(row.id), row.running) << "during, " << row.id;
  for (const int id : {ID_MIRROR_START, ID_MIRROR_STOP, ID_MIRROR_SETTINGS, ID_LOG_SETTINGS})
    EXPECT_EQ(ToolButtonEnabled(id), id == ID_MIRROR_STOP) << "toolbar during, " << id;
  EXPECT_TRUE(HandleUntil([&] { return !Running(); }));
  for (const auto& row : rows) EXPECT_EQ(MenuItemEnabled(row.id), row.idle) << "after, " << row.id;
  for (const int id : {ID_MIRROR_START, ID_MIRROR_STOP, ID_MIRROR_SETTINGS, ID_LOG_SETTINGS})
    EXPECT_EQ(ToolButtonEnabled(id), id != ID_MIRROR_STOP) << "toolbar after, " << id;
}

// The window menu's commands are the system's: none of them is greyed as
// a command of ours that nothing enables.
TEST_F(MainWindowTest, TheWindowMenuKeepsItsCommands) {
  Start();
  const HMENU windowMenu = GetSystemMenu(FrameWindow(), FALSE);
  ASSERT_NE(windowMenu, nullptr);
  SendMessageA(FrameWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(windowMenu), MAKELPARAM(0, TRUE));
  EXPECT_FALSE(GetMenuState(windowMenu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
}

// While a menu item or a toolbar button is highlighted the status line shows
// its command's prompt; afterwards the idle text.
TEST_F(MainWindowTest, ThePromptOfAHighlightedCommandAndTheIdleTextAfter) {
  Start();
  HMENU file = GetSubMenu(GetMenu(FrameWindow()), 0);
  SendMessageA(FrameWindow(), WM_MENUSELECT, MAKEWPARAM(ID_MIRROR_START, MF_HILITE), reinterpret_cast<LPARAM>(file));
  EXPECT_EQ(Frame().StatusText(), std::string("ミラーリングを開始します。"));
  SendMessageA(FrameWindow(), WM_MENUSELECT, MAKEWPARAM(ID_OPTIONS, MF_HILITE), reinterpret_cast<LPARAM>(file));
  EXPECT_EQ(Frame().StatusText(), "Kelmoray") << "a command without a string";
  SendMessageA(FrameWindow(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(Frame().StatusText(), "Kelmoray") << "the menu closed";

  NMTBHOTITEM hot{};
  hot.hdr.hwndFrom = Frame().Tools().Handle();
  hot.hdr.idFrom = fw::FrameWindow::kToolBarId;
  hot.hdr.code = TBN_HOTITEMCHANGE;
  hot.idNew = ID_LOG_SETTINGS;
  SendMessageA(FrameWindow(), WM_NOTIFY, hot.hdr.idFrom, reinterpret_cast<LPARAM>(&hot));
  EXPECT_EQ(Frame().StatusText(), std::string("ログの設定をします"));
  hot.dwFlags = HICF_LEAVING;
  SendMessageA(FrameWindow(), WM_NOTIFY, hot.hdr.idFrom, reinterpret_cast<LPARAM>(&hot));
  EXPECT_EQ(Frame().StatusText(), "Kelmoray");
  EXPECT_EQ(fw::TooltipOf(ID_MIRROR_STOP), std::string("ミラーリング中止"));
}

BOOL CALLBACK CountVisibleWindowOfThisProcess(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<DWORD*>(count);
  return TRUE;
}

DWORD CountWindowsOfThisProcess() {
  DWORD count = 0;
  EnumWindows(CountVisibleWindowOfThisProcess, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST_F(MainWindowTest, HelpWithoutItsPageShowsNothing) {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string page = program;
  page = page.substr(0, page.rfind('\\') + 1) + "index.html";
  ASSERT_FALSE(FileExists(page)) << "the test program has no help page beside it";
  Start();
  const DWORD before = CountWindowsOfThisProcess();
  Command(ID_HELP_PAGE);
  HandleFor(300);
  EXPECT_EQ(CountWindowsOfThisProcess(), before);
}

// A modal box opened by a command: a timer of this thread reads the text of
// one of its controls and closes it.
struct BoxReading {
  int control = 0;
  std::string text;
} boxReading;

BOOL CALLBACK ReadBox(HWND window, LPARAM) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) != "#32770") return TRUE;
  boxReading.text = fw::WindowText(GetDlgItem(window, boxReading.control));
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK OnBoxTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), ReadBox, 0);
  if (!boxReading.text.empty()) KillTimer(nullptr, timer);
}

std::string MainWindowTest::ReadBoxOf(int command, int control) {
  boxReading = {control, {}};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnBoxTimer);
  Command(command);  // returns once the box is closed
  KillTimer(nullptr, timer);  // also when no box came
  return boxReading.text;
}

TEST_F(MainWindowTest, TheAboutBoxShowsTheVersion) {
  Start();
  EXPECT_EQ(ReadBoxOf(ID_APP_ABOUT, IDC_VERSION_TEXT), "Kelmoray Version 1.11.0598");
}

// Settings that cannot be read are said so, and no run starts: it would
// mirror nothing and look like a success.
TEST_F(MainWindowTest, SettingsThatCannotBeReadAreSaidAndNothingRuns) {
  const std::string notAFile = dir_ / "entries-folder.kyf";
  MakeTree(notAFile, {});
  Start({"/F=" + notAFile});
  const std::string messageText = ReadBoxOf(ID_MIRROR_START, 0xFFFF);  // a message box's text
  EXPECT_NE(messageText.find(std::string("設定を読み込めない")), std::string::npos) << messageText;
  EXPECT_NE(messageText.find("entries-folder.kyf"), std::string::npos) << messageText;
  HandleFor(200);
  EXPECT_FALSE(Running());
  EXPECT_EQ(Frame().View().Lines(), 0u);
}

// The view holds the seven icons.
TEST_F(MainWindowTest, TheViewHoldsTheSevenIcons) {
  Start();
  EXPECT_EQ(ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(
                SendMessageA(Frame().View().Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0))),
            7);
}

// The view's row as the list control shows it: its texts and its image.
struct ShownRow {
  std::string status, source, destination;
  int image;
};

ShownRow RowOf(HWND list, int row) {
  ShownRow shown;
  wchar_t text[1024];
  LVITEMW item{};
  item.iItem = row;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  std::string* columns[] = {&shown.status, &shown.source, &shown.destination};
  for (int column = 0; column < 3; ++column) {
    item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE : 0);
    item.iSubItem = column;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    *columns[column] = platform::ProgramText(text);
    if (column == 0) shown.image = item.iImage;
  }
  return shown;
}

// Lines come from another thread and are added on this one; a line without
// an icon still has its texts. The newest line is followed while the end of
// the list is in view; a user who scrolled away keeps their place, also
// across minimising and restoring, until they scroll back to the end.
TEST_F(MainWindowTest, LinesFromAWorkerThreadAreAddedAndFollowedWhileTheEndIsInView) {
  Start();
  CKelmdupView& view = Frame().View();
  const HWND list = view.Handle();
  // The view shows every name as it is, also one the code page cannot hold.
  const std::string path = "C:\\写真\\予定表 😀 café.txt";
  size_t given = 0;
  const auto addLines = [&](int count) {
    std::thread worker([&] {
      for (int i = 0; i < count; ++i, ++given) view.AddLine(given % 2 ? kMsgCopyFailed : kMsgCopyFile, path, std::to_string(given));
    });
    worker.join();
    EXPECT_TRUE(HandleUntil([&] { return view.Lines() == given; }));
  };
  const auto top = [&] { return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)); };
  const auto lastInView = [&] {
    return top() + static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) >= static_cast<int>(given);
  };
  addLines(60);
  const ShownRow first = RowOf(list, 0), second = RowOf(list, 1);
  EXPECT_EQ(first.status, std::string("ファイルをコピーします。"));
  EXPECT_EQ(first.source, path);
  EXPECT_EQ(first.destination, "0");
  EXPECT_EQ(first.image, 3) << "each line's image follows from its message";
  EXPECT_EQ(second.image, 4);
  EXPECT_TRUE(lastInView()) << "followed";
  SendMessageA(list, WM_KEYDOWN, VK_HOME, 0);  // the user goes to the top
  ASSERT_EQ(top(), 0);
  addLines(30);
  EXPECT_EQ(top(), 0) << "the user's place is kept";
  ShowWindow(FrameWindow(), SW_MINIMIZE);
  HandleFor(100);
  addLines(30);
  ShowWindow(FrameWindow(), SW_RESTORE);
  HandleFor(100);
  EXPECT_EQ(top(), 0) << "kept across minimising and restoring";
  SendMessageA(list, WM_KEYDOWN, VK_END, 0);  // back to the end
  addLines(1);
  EXPECT_TRUE(lastInView()) << "followed again";
  ShowWindow(FrameWindow(), SW_MINIMIZE);
  HandleFor(100);
  addLines(40);
  ShowWindow(FrameWindow(), SW_RESTORE);
  HandleFor(100);
  EXPECT_TRUE(lastInView()) << "followed while minimised";
}

// Lines wait for the list's thread; once the worker asks for all to be
// shown, as a run does at its end, the list holds every one, also those
// beyond the queue's bound.
TEST_F(MainWindowTest, AllLinesAreShownWhenTheWorkerAsks) {
  Start();
  CKelmdupView& view = Frame().View();
  view.SetMostWaitingLines(3);
  std::atomic<bool> shown{false};
  std::thread worker([&] {
    for (int i = 0; i < 10; ++i) view.AddLine(kMsgCopyFile, "a", std::to_string(i));
    view.ShowAllLines();
    shown = true;
  });
  EXPECT_TRUE(HandleUntil([&] { return shown.load(); }));
  EXPECT_EQ(view.Lines(), 10u);
  worker.join();
  EXPECT_EQ(RowOf(view.Handle(), 9).destination, "9") << "in their order";
}

// A tooltip shows the whole text of a cell that its column cuts, and none
// for a cell that fits, when the mouse rests on it.
TEST_F(MainWindowTest, ACutCellShowsItsWholeTextAsATooltip) {
  Start();
  CKelmdupView& view = Frame().View();
  std::thread worker([&] {
    view.AddLine(kMsgRunStart, "", "");
    view.AddLine(kMsgDeleteDirectoryFailed, std::string("C:\\予定\\"), "");
  });
  worker.join();
  ASSERT_TRUE(HandleUntil([&] { return view.Lines() == 2; }));
  const auto tipOver = [&](int row) {
    RECT cell{};
    cell.left = LVIR_LABEL;
    SendMessageA(view.Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    POINT point{cell.left + 40, (cell.top + cell.bottom) / 2};
    ClientToScreen(view.Handle(), &point);
    MoveMouseTo({point.x - 5, point.y});
    HandleFor(100);
    MoveMouseTo(point);
    // A tip shows after the mouse rested half a second.
    for (int waited = 0; waited < 2000; waited += 100) {
      HandleFor(100);
      const HWND tip = FindWindowA(TOOLTIPS_CLASSA, nullptr);
      if (tip != nullptr && IsWindowVisible(tip) && GetWindowTextLengthW(tip) > 0) return fw::WindowText(tip);
    }
    return std::string();
  };
  EXPECT_EQ(tipOver(1), std::string("コピー先のディレクトリの削除に失敗しました。")) << "cut at 200 pixels";
  EXPECT_EQ(tipOver(0), "") << std::string("ミラーリング開始") << " fits";
}

// A stop is said at once and cannot be asked twice; no status text of the
// ending run replaces what the status line says until the run has ended.
TEST_F(MainWindowTest, AStopIsSaidAtOnceUntilTheRunHasEnded) {
  StartAPacedRun();
  Command(ID_MIRROR_STOP);
  const std::string stopping = fw::LoadText(IDS_STOPPING_TEXT);
  EXPECT_EQ(Frame().StatusText(), stopping);
  EXPECT_FALSE(ToolButtonEnabled(ID_MIRROR_STOP));
  EXPECT_FALSE(MenuItemEnabled(ID_MIRROR_STOP));
  std::set<std::string> shown;
  EXPECT_TRUE(HandleUntil([&] {
    const bool running = Running();  // first: the text read after it is still the run's
    if (running) shown.insert(Frame().StatusText());
    return !running;
  }));
  HandleFor(300);
  EXPECT_EQ(shown, (std::set<std::string>{stopping})) << "until the run had ended";
  EXPECT_EQ(Frame().StatusText(), "Kelmoray");
  EXPECT_TRUE(ToolButtonEnabled(ID_MIRROR_START));
}

// Closing during a run says so and returns at once; the window goes once
// the run has ended.
TEST_F(MainWindowTest, ClosingDuringARunIsSaidAndTheWindowGoesWithTheRun) {
  StartAPacedRun();
  SendMessageA(FrameWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(Running()) << "the window did not wait for the run";
  EXPECT_EQ(Frame().StatusText(), fw::LoadText(IDS_CLOSING_TEXT));
  SendMessageA(FrameWindow(), WM_CLOSE, 0, 0);  // a second close changes nothing
  EXPECT_TRUE(HandleUntil([&] { return FrameWindow() == nullptr; }));
  EXPECT_FALSE(Running());
  EXPECT_LT(ListTree(dst_).size(), kPacedRunFiles) << "the run stopped";
}

// At a log-off or shutdown the process ends once the window has answered:
// by then the run has stopped after its file in progress.
TEST_F(MainWindowTest, TheEndOfTheSessionStopsTheRunBeforeTheWindowAnswers) {
  StartAPacedRun();
  const auto start = std::chrono::steady_clock::now();
  SendMessageA(FrameWindow(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(Running());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "within the system's grace time";
  EXPECT_LT(ListTree(dst_).size(), kPacedRunFiles) << "the run stopped";
  for (const std::string& name : ListTree(dst_)) EXPECT_EQ(ReadFile(Below(dst_, name)), name) << "whole copies only";
}

// A second run's lines come below the first's.
TEST_F(MainWindowTest, ASecondRunIsAppendedBelowTheFirst) {
  MakeTree(src_, {std::string("写真/a.txt")});
  Store({Entry()});
  Start();
  RunToTheEnd();
  const size_t firstRun = Frame().View().Lines();
  EXPECT_EQ(RowOf(Frame().View().Handle(), static_cast<int>(firstRun) - 1).status, std::string("ミラーリング終了"));
  RunToTheEnd();
  EXPECT_EQ(Frame().View().Lines(), firstRun + 4) << "start, two analyses and the end";
  EXPECT_EQ(RowOf(Frame().View().Handle(), static_cast<int>(firstRun)).status, std::string("ミラーリング開始"));
  EXPECT_EQ(RowOf(Frame().View().Handle(), 3).source, Below(src_, std::string("写真/a.txt")));
}

}  // namespace

}  // namespace test
