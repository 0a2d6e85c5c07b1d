#pragma once
// A list control of a dialog in report view, holding its rows itself: the
// columns, the rows' texts and images, and which rows are selected.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace fw {

// A masked image list of 16 x 16 images, empty; and one icon resource added
// to it: its position, or -1 when it could not be added.
HIMAGELIST NewSmallImageList();
int AddSmallIcon(HIMAGELIST images, int resourceId);
// Inserts a left-aligned column at `position` of a report-view list.
void InsertListColumn(HWND list, int position, const std::string& header, int width);

class ListControl {
 public:
  // Works on the dialog's list control; the image list, when given, is the
  // rows' small images (the control destroys it).
  void Attach(HWND list, HIMAGELIST images = nullptr);
  HWND Handle() const { return list_; }

  void AddColumn(const std::string& header, int width);
  // Appends a row; its position.
  int AddRow(const std::string& text, int image = -1);
  void SetText(int row, int column, const std::string& text);
  std::string Text(int row, int column = 0) const;
  int RowCount() const;
  void DeleteRow(int row);
  void DeleteAllRows();

  // Rows that are selected, from the top.
  std::vector<int> SelectedRows() const;
  // Selects and focuses the row (or takes both from it), leaving the others.
  void Select(int row, bool selected);
  // Takes the selection and the focus from every row.
  void ClearSelection();
  void ShowRow(int row);

 private:
  HWND list_ = nullptr;
};

}  // namespace fw
