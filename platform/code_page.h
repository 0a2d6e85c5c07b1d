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

// The texts that are kept outside the program: settings files and registry
// values, the run log, the console's lines and the posting channel. On
// Windows they are in the system's code page (932 for Japanese), and a
// character it cannot hold becomes the system's substitute; natively they
// are the program's own UTF-8.
std::string ToStoredText(std::string_view text);
// The code page of stored texts, for stepping over their characters.
cp::CodePage StoredCodePage();
std::string FromStoredText(std::string_view stored);
// Whether the text is stored as it is, without a substitute.
bool StoredTextHolds(std::string_view text);

}  // namespace platform
