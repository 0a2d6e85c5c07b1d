#pragma once
// The system's texts: byte strings in its multibyte code page, and how to
// step over their double-byte characters and change their letter case. The
// stand-ins of the system's registry and profile files follow the same
// rules as the program's own paths and keys. Every search for a separator
// inside a text goes through here, so that the trail byte of a Shift-JIS
// character (表 is 0x95 0x5C) is never taken for a "\".

#include <cstddef>
#include <string>
#include <string_view>

namespace cp {

enum class CodePage {
  kSingleByte,  // every byte is one character
  kShiftJis,    // code page 932
  kUtf8,
};

// The code page of the program's texts: the ANSI code page on Windows, UTF-8 elsewhere.
CodePage System();

// Length in bytes of the character that starts at text[pos]; at least 1,
// never past the end of the text (a cut-off or malformed character counts as 1).
size_t CharLength(std::string_view text, size_t pos, CodePage page = System());

// Position of the first/last character equal to one of the ASCII bytes in
// `set`, stepping over multibyte characters; npos when there is none.
size_t FindFirstOf(std::string_view text, std::string_view set, CodePage page = System());
size_t FindLastOf(std::string_view text, std::string_view set, CodePage page = System());

// Whether the last character (not merely the last byte) is the ASCII `c`:
// the trail byte of 表 is no "\".
bool EndsWith(std::string_view text, char c, CodePage page = System());

// Letter case of A–Z, Latin-1 letters, Greek, Cyrillic and full-width Latin
// letters, as far as the code page can hold them; every other byte is kept.
std::string ToLower(std::string_view text, CodePage page = System());
std::string ToUpper(std::string_view text, CodePage page = System());

// Upper case of the single-byte letters a–z only; multibyte characters pass
// whole and unchanged (the upper-casing of kernel object names).
std::string ToUpperAscii(std::string_view text, CodePage page = System());

// Compares two texts without regard to letter case (as ToLower sees it).
bool EqualsNoCase(std::string_view a, std::string_view b, CodePage page = System());

// Cuts text to at most maxBytes without splitting a multibyte character.
std::string_view CutToBytes(std::string_view text, size_t maxBytes, CodePage page = System());

}  // namespace cp

namespace platform {

// The code page in which the program's texts, file names and stored values
// are kept: the ANSI code page on Windows, UTF-8 elsewhere.
cp::CodePage SystemCodePage();

// A UTF-8 text in the system code page; characters it cannot hold become "?".
std::string Utf8ToSystem(std::string_view utf8);

}  // namespace platform
