#include "engine/run_log.h"

#include <cstdio>

#include "engine/messages.h"
#include "platform/code_page.h"
#include "platform/file_operations.h"

namespace {

std::string Formatted(const char* format, const std::tm& time) {
  char buffer[128];
  const size_t length = std::strftime(buffer, sizeof buffer, format, &time);
  return std::string(buffer, length);  // 0 when empty or too long
}

// The lines after an action's or an error's message.
std::string Tail(const std::string& text1, const std::string& text2) {
  if (text1.empty()) return "\t" + text2;
  if (text2.empty()) return "\t" + text1;
  return "\t" + text1 + "\r\n\t -> " + text2;
}

}  // namespace

std::string LogFilePath(const std::string& logDir, const std::string& logName, const std::tm& start) {
  if (logName.empty()) return logDir;
  return logDir + Formatted(logName.c_str(), start);
}

std::string FormatTimestamp(const std::tm& time) { return Formatted(MessageText(kTimestampFormatId).c_str(), time); }

std::vector<std::string> LogRecordsFor(int id, const std::string& text1, const std::string& text2,
                                       int okLogOut, int errorLogOut) {
  const std::string& message = MessageText(id);
  switch (LogClassOf(id)) {
    case LogClass::kRunStart:
      if (!okLogOut && !errorLogOut) return {};
      return {kLogRuler, message + "\t" + text1};
    case LogClass::kRunEnd:
      if (!okLogOut && !errorLogOut) return {};
      return {message + "\t" + text1};
    case LogClass::kAction:
      if (!okLogOut) return {};
      return {message + "\r\n" + Tail(text1, text2)};
    case LogClass::kError:
      if (!errorLogOut) return {};
      return {message + "\r\n" + Tail(text1, text2)};
    case LogClass::kNone: return {};
  }
  return {};
}

void AppendLogRecord(const std::string& path, const std::string& text) {
  (void)platform::AppendToFile(path, platform::ToStoredText(text + "\r\n"));
}
