#include "platform/code_page.h"

namespace platform {

cp::CodePage SystemCodePage() { return cp::CodePage::kUtf8; }

std::string Utf8ToSystem(std::string_view utf8) { return std::string(utf8); }

}  // namespace platform
