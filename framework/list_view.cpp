#include "framework/list_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "framework/list_control.h"
#include "platform/win32/wide_text.h"

namespace fw {

namespace {

// The list's own subclass; the owner may add its own under another number.
constexpr UINT_PTR kTipSubclass = 0x4B54;
// A cell's text as the control takes it: its buffer holds this many UTF-16 units.
constexpr size_t kShownUnits = 260;

}  // namespace

ListView::~ListView() {
  if (images_ != nullptr) ImageList_Destroy(images_);
}

bool ListView::Create(HWND parent, int controlId) {
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                          WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                              LVS_OWNERDATA | LVS_SHAREIMAGELISTS,  // the images are ours to destroy
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                          GetModuleHandleA(nullptr), nullptr);
  if (list_ == nullptr) return false;
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  images_ = NewSmallImageList();
  if (images_ == nullptr) return false;
  SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_));
  return CreateTip(parent);
}

// One tool for the whole list, whose text is asked for when it is shown.
bool ListView::CreateTip(HWND parent) {
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  if (tip_ == nullptr) return false;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = list_;
  tool.uId = reinterpret_cast<UINT_PTR>(list_);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 640);  // a long path wraps
  return SetWindowSubclass(list_, TipProcedure, kTipSubclass, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

ListView::Cell ListView::CellAt(POINT point) const {
  LVHITTESTINFO hit{};
  hit.pt = point;
  if (SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0) return {};
  return {hit.iItem, hit.iSubItem};
}

std::string ListView::CutText(Cell cell) const {
  if (cell.row < 0 || cell.column < 0) return {};
  std::string text = RowText(cell.row, cell.column);
  // The margins the control leaves around a text, and the image before the first column's.
  const int margins = cell.column == 0 ? 12 + GetSystemMetrics(SM_CXSMICON) + 4 : 12;
  const std::wstring wide = platform::WideText(text);
  const auto width = static_cast<int>(SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
  const auto room = static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(cell.column), 0));
  if (width + margins <= room && wide.size() < kShownUnits) text.clear();
  return text;
}

// A new cell under the mouse hides the tip: it comes back, with the new
// cell's text, once the mouse rests.
LRESULT CALLBACK ListView::TipProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) noexcept {
  auto* view = reinterpret_cast<ListView*>(self);
  if (message == WM_MOUSEMOVE) {
    const Cell cell = view->CellAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (!(cell == view->tipCell_)) {
      view->tipCell_ = cell;
      SendMessageA(view->tip_, TTM_POP, 0, 0);
    }
  } else if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->hwndFrom == view->tip_ &&
             reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
    POINT mouse;
    GetCursorPos(&mouse);
    ScreenToClient(list, &mouse);
    view->tipText_ = platform::WideText(view->CutText(view->CellAt(mouse)));
    reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = view->tipText_.data();
    return 0;
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(list, TipProcedure, kTipSubclass);
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

void ListView::AddColumn(const std::string& header, int width) { InsertListColumn(list_, columns_++, header, width); }

int ListView::AddIcon(int resourceId) { return AddSmallIcon(images_, resourceId); }

void ListView::SetRowCount(int rows) {
  SendMessageA(list_, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

int ListView::RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

void ListView::ShowRow(int row) { SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE); }

LRESULT ListView::OnNotify(NMHDR* header) {
  if (header->code != LVN_GETDISPINFOW) return 0;
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  if ((item.mask & LVIF_TEXT) && item.cchTextMax > 0) {
    // The control's buffer holds 260 units; a longer path is cut between characters.
    const std::wstring shown = platform::WideText(RowText(item.iItem, item.iSubItem));
    size_t kept = std::min(shown.size(), static_cast<size_t>(item.cchTextMax - 1));
    if (kept < shown.size() && kept > 0 && IS_HIGH_SURROGATE(shown[kept - 1])) --kept;
    std::wmemcpy(item.pszText, shown.data(), kept);
    item.pszText[kept] = L'\0';
  }
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
    const int image = RowImage(item.iItem);
    item.iImage = image >= 0 ? image : I_IMAGENONE;
  }
  return 0;
}

}  // namespace fw
