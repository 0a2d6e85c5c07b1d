#pragma once
#include <string>
#include <string_view>

#include "foundation/code_page.h"

namespace platform {

// The code page in which the program's texts, file names and stored values are kept.
cp::CodePage SystemCodePage();

// A UTF-8 text in the system code page; characters it cannot hold become "?".
std::string Utf8ToSystem(std::string_view utf8);

}  // namespace platform
