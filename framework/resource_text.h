#pragma once
// Texts of the program's string table, in the program's encoding.

#include <string>
#include <string_view>

namespace fw {

// The string `id`; empty when there is none.
std::string LoadText(unsigned id);

// A command's string holds its status-bar prompt, a line break, and its
// tooltip ("Starts mirroring.\nStart"): each half, empty when absent.
std::string PromptOf(unsigned command);
std::string TooltipOf(unsigned command);

}  // namespace fw
