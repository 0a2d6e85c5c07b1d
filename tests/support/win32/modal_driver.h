#pragma once
// Modal dialogs worked as a user works them: the dialog runs its modal loop
// on the test's thread while the test's steps run on another thread, typing
// into its controls, clicking its buttons and reading what they show.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

// One open dialog, seen from the driving thread.
class DialogDriver {
 public:
  explicit DialogDriver(HWND dialog) : dialog_(dialog) {}
  HWND Window() const { return dialog_; }
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }

  // Types a text into an edit, as the user replaces what it held.
  void Type(int edit, const std::string& text);
  std::string Text(int control) const;
  // Clicks a button or a check box and waits until the click is handled;
  // a disabled one does nothing, as for a user.
  void Click(int button);
  // Clicks without waiting: for a button that opens another modal window.
  void ClickLater(int button);
  bool Enabled(int control) const { return IsWindowEnabled(Control(control)) != FALSE; }
  bool Checked(int button) const;

  // A list control's rows: their count, texts and images, which are selected.
  int Rows(int list) const;
  std::string RowText(int list, int row, int column = 0) const;
  int RowImage(int list, int row) const;
  std::vector<int> SelectedRows(int list) const;
  // Selects exactly these rows, as clicks with Ctrl held would, then the list's click.
  void SelectRows(int list, const std::vector<int>& rows);
  // A double click on the list (on its selected row), without waiting for what it opens.
  void DoubleClickLater(int list);

 private:
  void Notify(int list, UINT code, bool wait);
  HWND dialog_;
};

// Shows a modal window on this thread with `open` while `drive` works it
// from another thread and closes it; gives what `open` gave. A dialog that
// `drive` left open is cancelled, so that a failing test ends.
INT_PTR DriveModal(const std::function<INT_PTR()>& open, const std::function<void(DialogDriver&)>& drive);

// From the driving thread: the next dialog (or message box) of the test's
// thread that is not `except` and not under another modal one, once it is
// shown; null if none comes.
HWND WaitForDialog(HWND except);
// Waits until the dialog has gone.
bool WaitForClosing(HWND dialog);
// From the driving thread: the text of the message box that owner shows
// next, which is then closed with OK; "(no message box)" if none comes.
std::string ReadAndCloseBox(HWND owner);

}  // namespace test
