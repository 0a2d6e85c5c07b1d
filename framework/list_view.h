#pragma once
// A report-style list control whose rows live with their owner, not in the
// control: it asks for each row's texts and image when it shows it
// (owner data), so a list of a million rows costs what the owner keeps.
// A cell whose text the column cuts shows the whole text as a tooltip
// while the mouse rests on it.

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace fw {

class ListView {
 public:
  ListView() = default;
  virtual ~ListView();
  ListView(const ListView&) = delete;
  ListView& operator=(const ListView&) = delete;

  // Creates the control as a child of `parent`; false on failure.
  bool Create(HWND parent, int controlId);
  HWND Handle() const { return list_; }

  void AddColumn(const std::string& header, int width);
  // Images of 16 x 16 with masks, added one at a time; the position each got, or -1.
  int AddIcon(int resourceId);
  // The number of rows; rows already shown keep their place.
  void SetRowCount(int rows);
  int RowCount() const;
  // Scrolls until the row is wholly in view.
  void ShowRow(int row);

  // Answers the control's requests for rows (from its parent's WM_NOTIFY).
  LRESULT OnNotify(NMHDR* header);

 protected:
  // What the control shows of a row: the text of a column, and its image (-1: none).
  virtual std::string RowText(int row, int column) const = 0;
  virtual int RowImage(int row) const = 0;

 private:
  struct Cell {
    int row = -1;
    int column = -1;
    bool operator==(const Cell&) const = default;
  };
  static LRESULT CALLBACK TipProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclass,
                                       DWORD_PTR self) noexcept;
  bool CreateTip(HWND parent);
  Cell CellAt(POINT point) const;
  // The whole text of the cell when the column cuts it; empty when it fits.
  std::string CutText(Cell cell) const;

  HWND list_ = nullptr;
  HWND tip_ = nullptr;
  Cell tipCell_;
  std::wstring tipText_;  // the text handed to the tooltip last
  HIMAGELIST images_ = nullptr;
  int columns_ = 0;
};

}  // namespace fw
