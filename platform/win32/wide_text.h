#pragma once
// The program's texts at the system's Unicode (…W) functions: UTF-16 there,
// the program's own encoding everywhere else. Windows only.

#include <string>
#include <string_view>

namespace platform {

// The program's own UTF-8 (or a text of another code page) as UTF-16, and back.
constexpr unsigned kProgramCodePage = 65001;  // CP_UTF8
std::wstring WideText(std::string_view text, unsigned codePage = kProgramCodePage);
std::string ProgramText(std::wstring_view wide);

// The path in full, as the system would resolve it for a call; the path as
// it is when the system cannot.
std::wstring FullPath(const std::wstring& path);

// A path for the file functions: in full (".", ".." and "/" resolved as the
// system resolves them), in the "\\?\" or "\\?\UNC\" form that no length
// limit applies to. Device paths and paths already in that form pass as
// they are; so does an empty path, which every call refuses.
std::wstring WidePath(std::string_view path);

}  // namespace platform
