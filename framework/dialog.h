#pragma once
// A modal dialog from a dialog template: the object is bound to its window
// at WM_INITDIALOG. One data-exchange function moves the values between
// the object and the controls, both ways: into the controls when the
// dialog opens, out of them when it is confirmed with OK.

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
namespace fw {

// Moves values between a dialog's controls and the variables that hold them.
class DataExchange {
 public:
  enum class Direction { kToControls, kFromControls };
  DataExchange(HWND dialog, Direction direction) : dialog_(dialog), direction_(direction) {}

  // An edit control's (or any window's) text.
  void Text(int control, std::string& value);
  // A check box: 0 or 1.
  void Check(int control, bool& value);

 private:
  HWND dialog_;
  Direction direction_;
};

// An error message over owner, with the title of string `titleId`.
void ShowError(HWND owner, unsigned titleId, const std::string& text);

class Dialog {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Shows the dialog and returns once it is closed: IDOK, IDCANCEL, or -1
  // when it could not be shown.
  INT_PTR DoModal(HWND parent);
  HWND Handle() const { return dialog_; }
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  // What a control shows now: its text, or whether a check box is ticked.
  std::string Text(int control) const;
  void SetText(int control, const std::string& text) { SetDlgItemTextW(dialog_, control, platform::WideText(text).c_str()); }
  bool Checked(int button) const { return IsDlgButtonChecked(dialog_, button) == BST_CHECKED; }
  // Enables or disables a control. A control that has the focus hands it to
  // `focusTo` first: a disabled control with the focus leaves the keyboard
  // nowhere to go.
  void EnableControl(int control, bool enabled, int focusTo);

 protected:
  // Moves every value of the dialog one way; the default moves none.
  virtual void Exchange(DataExchange& exchange) {}
  void ExchangeAll(DataExchange::Direction way);
  // After the values went into the controls; what gets the focus is the
  // system's choice unless this returns false after setting it.
  virtual bool OnInitDialog() { return true; }
  // A control's command (a click, a text change); false: not handled.
  virtual bool OnCommand(int control, int code) { return false; }
  virtual LRESULT OnNotify(NMHDR* header) { return 0; }
  // OK: the values come out of the controls, then the dialog closes.
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialogWith(INT_PTR result);

 private:
  void CenterOnOwner();
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  const int templateId_;
  HWND dialog_ = nullptr;
};

}  // namespace fw
