#include "framework/list_control.h"

#include "platform/win32/wide_text.h"
namespace fw {

HIMAGELIST NewSmallImageList() { return ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8); }

int AddSmallIcon(HIMAGELIST images, int resourceId) {
  HICON icon = static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 16, 16, 0));
  if (icon == nullptr) return -1;
  const int position = ImageList_AddIcon(images, icon);
  DestroyIcon(icon);
  return position;
}

void ListControl::Attach(HWND list, HIMAGELIST images) {
  list_ = list;
  if (images != nullptr) SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void InsertListColumn(HWND list, int position, const std::string& header, int width) {
  std::wstring text = platform::WideText(header);
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = text.data();
  SendMessageW(list, LVM_INSERTCOLUMNW, position, reinterpret_cast<LPARAM>(&column));
}

void ListControl::AddColumn(const std::string& header, int width) {
  const int columns = Header_GetItemCount(reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0)));
  InsertListColumn(list_, columns, header, width);
}

int ListControl::AddRow(const std::string& text, int image) {
  std::wstring wide = platform::WideText(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = RowCount();
  item.pszText = wide.data();
  item.iImage = image;
  return static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListControl::SetText(int row, int column, const std::string& text) {
  std::wstring wide = platform::WideText(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::string ListControl::Text(int row, int column) const {
  // The control gives as much as fits; a longer text is asked for again.
  for (size_t size = 1024;; size *= 4) {
    std::vector<wchar_t> text(size, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    const auto length = static_cast<size_t>(SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < size) return platform::ProgramText({text.data(), length});
  }
}

int ListControl::RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

void ListControl::DeleteRow(int row) { SendMessageA(list_, LVM_DELETEITEM, row, 0); }

void ListControl::DeleteAllRows() { SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0); }

std::vector<int> ListControl::SelectedRows() const {
  std::vector<int> rows;
  for (int row = -1; (row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
    rows.push_back(row);
  return rows;
}

void ListControl::Select(int row, bool selected) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ListControl::ClearSelection() { Select(-1, false); }

void ListControl::ShowRow(int row) { SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE); }

}  // namespace fw
