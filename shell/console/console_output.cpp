#include "shell/console/console_output.h"

#include <cstdio>

#include "foundation/code_page.h"
#include "platform/console.h"

namespace {

// The longest start of text that fits `columns` terminal columns, taking a
// multibyte character as two columns wide.
std::string_view FitColumns(std::string_view text, int columns) {
  size_t pos = 0;
  for (int used = 0; pos < text.size();) {
    const size_t length = cp::CharLength(text, pos);
    used += length == 1 ? 1 : 2;
    if (used > columns) break;
    pos += length;
  }
  return text.substr(0, pos);
}

}  // namespace

ConsoleOutput::ConsoleOutput() : statusLine_(platform::IsTerminal(2)) {}

void ConsoleOutput::PrintLine(const std::string& line) {
  std::lock_guard guard(lock_);
  if (statusShown_) {
    std::fputs("\r\033[K", stderr);
    statusShown_ = false;
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  // Each line as it happens, also into a file or a pipe: someone may be watching.
  std::fflush(stdout);
}

void ConsoleOutput::ShowStatus(const std::string& text) {
  if (!statusLine_) return;
  std::lock_guard guard(lock_);
  std::fflush(stdout);
  const std::string_view shown = FitColumns(text, platform::TerminalColumns() - 1);
  std::fputs("\r\033[K", stderr);
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
  statusShown_ = true;
}

void ConsoleOutput::ClearStatus() {
  if (!statusLine_) return;
  std::lock_guard guard(lock_);
  if (statusShown_) std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  statusShown_ = false;
}
