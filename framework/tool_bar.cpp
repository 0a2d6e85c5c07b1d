#include "framework/tool_bar.h"

#include <commctrl.h>

#include "framework/window.h"

#include <cstdint>
#include <cstring>

namespace fw {

namespace {

// A toolbar resource as our resource compiler writes it: width, height,
// count and the commands as 32-bit numbers; or as other compilers do: a
// 16-bit version 1, then the same as 16-bit numbers.
struct ToolBarResource {
  int width = 0, height = 0;
  std::vector<int> items;  // 0: a separator
};

bool ReadToolBarResource(int id, ToolBarResource* resource) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(241));
  if (found == nullptr) return false;
  const DWORD size = SizeofResource(nullptr, found);
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
  if (data == nullptr || size < 8) return false;
  auto word = [&](size_t at) { return static_cast<int>(data[at] | (data[at + 1] << 8)); };
  auto dword = [&](size_t at) {
    std::uint32_t value;
    std::memcpy(&value, data + at, 4);
    return static_cast<int>(value);
  };
  if (word(0) == 1 && size == 8u + 2u * static_cast<unsigned>(word(6))) {
    resource->width = word(2);
    resource->height = word(4);
    for (int i = 0; i < word(6); ++i) resource->items.push_back(word(8 + 2 * i));
    return true;
  }
  if (size < 12) return false;
  const int count = dword(8);
  if (count < 0 || size < 12u + 4u * static_cast<unsigned>(count)) return false;
  resource->width = dword(0);
  resource->height = dword(4);
  for (int i = 0; i < count; ++i) resource->items.push_back(dword(12 + 4 * i));
  return true;
}

}  // namespace

ToolBar::~ToolBar() {
  if (images_ != nullptr) ImageList_Destroy(images_);
}

bool ToolBar::Create(HWND parent, int controlId, int resourceId) {
  ToolBarResource resource;
  if (!ReadToolBarResource(resourceId, &resource)) return false;
  toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                             WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_TOP, 0, 0, 0, 0,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                             GetModuleHandleA(nullptr), nullptr);
  if (toolbar_ == nullptr) return false;
  SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  images_ = ImageList_Create(resource.width, resource.height, ILC_COLOR24 | ILC_MASK, 4, 4);
  HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
  if (images_ == nullptr || bitmap == nullptr) return false;
  ImageList_AddMasked(images_, bitmap, RGB(255, 0, 255));
  DeleteObject(bitmap);
  SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (const int item : resource.items) {
    TBBUTTON button{};
    if (item == 0) {
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = image++;
      button.idCommand = item;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
      commands_.push_back(item);
    }
    buttons.push_back(button);
  }
  SendMessageA(toolbar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
  return true;
}

void ToolBar::Enable(int command, bool enabled) {
  const bool now = SendMessageA(toolbar_, TB_ISBUTTONENABLED, command, 0) != 0;
  if (now != enabled) SendMessageA(toolbar_, TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

int ToolBar::Layout() {
  SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
  return WindowHeight(toolbar_);
}

}  // namespace fw
