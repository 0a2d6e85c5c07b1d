#include "platform/code_page.h"

namespace platform {

std::string ToStoredText(std::string_view text) { return std::string(text); }
cp::CodePage StoredCodePage() { return cp::CodePage::kUtf8; }
std::string FromStoredText(std::string_view stored) { return std::string(stored); }
bool StoredTextHolds(std::string_view) { return true; }

}  // namespace platform
