#include "framework/list_view.h"

#include <cstring>

#include "framework/list_control.h"
#include "platform/code_page.h"

namespace fw {

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
  return true;
}

void ListView::AddColumn(const std::string& header, int width) { InsertListColumn(list_, columns_++, header, width); }

int ListView::AddIcon(int resourceId) { return AddSmallIcon(images_, resourceId); }

void ListView::SetRowCount(int rows) {
  SendMessageA(list_, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

int ListView::RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

void ListView::ShowRow(int row) { SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE); }

LRESULT ListView::OnNotify(NMHDR* header) {
  if (header->code != LVN_GETDISPINFOA) return 0;
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
  if (item.mask & LVIF_TEXT) {
    shown_ = RowText(item.iItem, item.iSubItem);
    if (item.cchTextMax > 0) {
      // The control's buffer holds 260 bytes; a longer path is cut between characters.
      const std::string_view kept = cp::CutToBytes(shown_, static_cast<size_t>(item.cchTextMax - 1));
      std::memcpy(item.pszText, kept.data(), kept.size());
      item.pszText[kept.size()] = '\0';
    }
  }
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
    const int image = RowImage(item.iItem);
    item.iImage = image >= 0 ? image : I_IMAGENONE;
  }
  return 0;
}

}  // namespace fw
