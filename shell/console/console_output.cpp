#include "shell/console/console_output.h"

#include <cstdio>

#include "platform/code_page.h"
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

ConsoleOutput::ConsoleOutput() : ConsoleOutput(stdout, platform::IsTerminal(2) ? stderr : nullptr) {}

ConsoleOutput::ConsoleOutput(std::FILE* lines, std::FILE* status) : lines_(lines), status_(status) {}

bool ConsoleOutput::PrintLine(const std::string& line) {
  std::lock_guard guard(lock_);
  if (statusShown_) {
    std::fputs("\r\033[K", status_);
    statusShown_ = false;
  }
  const std::string stored = platform::ToStoredText(line);
  const bool written = std::fwrite(stored.data(), 1, stored.size(), lines_) == stored.size() &&
                       std::fputc('\n', lines_) != EOF;
  // Each line as it happens, also into a file or a pipe: someone may be watching.
  return std::fflush(lines_) == 0 && written;
}

void ConsoleOutput::ShowStatus(const std::string& text) {
  if (status_ == nullptr) return;
  std::lock_guard guard(lock_);
  std::fflush(lines_);
  const std::string shown = platform::ToStoredText(FitColumns(text, platform::TerminalColumns() - 1));
  std::fputs("\r\033[K", status_);
  std::fwrite(shown.data(), 1, shown.size(), status_);
  std::fflush(status_);
  statusShown_ = true;
}

void ConsoleOutput::ClearStatus() {
  if (status_ == nullptr) return;
  std::lock_guard guard(lock_);
  if (statusShown_) std::fputs("\r\033[K", status_);
  std::fflush(status_);
  statusShown_ = false;
}
