// Feeds path texts to CtPath in both styles, to the code-page rules in every code page, and to engine/paths.h.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/paths.h"
#include "foundation/path.h"
#include "platform/code_page.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// The text rules must agree with CharLength, the one place that says where
// characters start: no search may land inside one, and no cut may split one.
void CheckTextRules(std::string_view text, cp::CodePage page) {
  std::vector<bool> starts(text.size() + 1, false);
  size_t firstSlash = std::string_view::npos, lastSlash = std::string_view::npos;
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = cp::CharLength(text, pos, page);
    Check(length >= 1 && length <= text.size() - pos);
    starts[pos] = true;
    if (text[pos] == '\\' || text[pos] == '/') {
      if (firstSlash == std::string_view::npos) firstSlash = pos;
      lastSlash = pos;
    }
    pos += length;
  }
  starts[text.size()] = true;
  Check(cp::FindFirstOf(text, "\\/", page) == firstSlash && cp::FindLastOf(text, "\\/", page) == lastSlash);
  Check(cp::EndsWith(text, '\\', page) == (!text.empty() && lastSlash == text.size() - 1 && text.back() == '\\'));
  for (const size_t limit : {size_t{0}, size_t{1}, text.size() / 2, text.size() - (text.empty() ? 0 : 1)}) {
    const std::string_view cut = cp::CutToBytes(text, limit, page);
    Check(cut.data() == text.data() && (cut.size() == text.size() || (cut.size() <= limit && starts[cut.size()])));
    if (cut.size() < text.size()) Check(cut.size() + cp::CharLength(text, cut.size(), page) > limit);
  }
  // Letter case changes letters only: every other byte is kept, so the
  // length stays (EqualsNoCase counts on it).
  const std::string lower = cp::ToLower(text, page), upper = cp::ToUpper(text, page);
  Check(lower.size() == text.size() && upper.size() == text.size() && cp::ToUpperAscii(text, page).size() == text.size());
  Check(cp::EqualsNoCase(text, lower, page) && cp::EqualsNoCase(upper, text, page));
}

// Split, joined again and split once more, a path keeps its joined form.
void CheckPath(const std::string& text, PathStyle style) {
  const bool windows = style == PathStyle::kWindows;
  CtPath path(text, style);
  const std::string joined = path.GetPath();
  const std::string name = path.GetFileName(), ext = path.GetExt();
  Check(path.GetDrive() + path.GetDir() + name + ext == joined);
  Check(std::string(path.GetPathText()) == joined.substr(0, joined.find('\0')));
  Check(ext.empty() || (ext[0] == '.' && path.GetExtNoDot() == ext.substr(1)));
  Check((name + ext).find_first_of(windows ? "\\/" : "/") == std::string::npos);
  // Skipped where a Windows text holds a ":" that is no drive's: no name
  // can hold one, and once a "\" is put in front of it it reads as a drive.
  const size_t colon = text.find(':');
  if (!windows || colon == std::string::npos || (colon == 1 && text.find(':', 2) == std::string::npos))
    Check(CtPath(joined, style).GetPath() == joined);
  CtPath copy("", style);
  Check(copy.Assign(path).SetExt(path.GetExt()).SetDir(path.GetDir()).GetPath() == joined);
  const std::string dir = NormalizeDirPath(text, style);
  Check(dir.compare(0, text.size(), text) == 0 && dir.size() <= text.size() + 1);
  Check(NormalizeDirPath(dir, style) == dir);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const cp::CodePage page : {cp::CodePage::kUtf8, cp::CodePage::kShiftJis, cp::CodePage::kSingleByte})
    CheckTextRules(text, page);
  CheckPath(text, PathStyle::kWindows);
  CheckPath(text, PathStyle::kPosix);
  // The engine's helpers, in this platform's own style.
  const std::string dir = engine::DirectoryOf(text);
  Check(dir.empty() == (engine::FindLastSeparator(text) == std::string::npos));
  Check(dir.empty() || (engine::EndsWithSeparator(dir) && engine::PathStartsWith(text, dir)));
  Check(engine::CountSeparators(dir) == engine::CountSeparators(text));
  Check(engine::FindSeparator(text) == (dir.empty() ? std::string::npos : engine::FindSeparator(dir)));
  return 0;
}
