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
std::string Tail(const std::string& source, const std::string& destination) {
  if (source.empty()) return "\t" + destination;
  if (destination.empty()) return "\t" + source;
  return "\t" + source + "\r\n\t -> " + destination;
}

}  // namespace

std::string LogFilePath(const std::string& logDir, const std::string& logName, const std::tm& start) {
  if (logName.empty()) return logDir;
  return logDir + Formatted(logName.c_str(), start);
}

std::string FormatTimestamp(const std::tm& time) { return Formatted(MessageText(kTimestampFormatId).c_str(), time); }

std::vector<std::string> LogRecordsFor(int id, const std::string& source, const std::string& destination,
                                       bool okLogOut, bool errorLogOut) {
  const std::string& message = MessageText(id);
  switch (LogClassOf(id)) {
    case LogClass::kRunStart:
      if (!okLogOut && !errorLogOut) return {};
      return {kLogRuler, message + "\t" + source};
    case LogClass::kRunEnd:
      if (!okLogOut && !errorLogOut) return {};
      return {message + "\t" + source};
    case LogClass::kAction:
      if (!okLogOut) return {};
      return {message + "\r\n" + Tail(source, destination)};
    case LogClass::kError:
      if (!errorLogOut) return {};
      return {message + "\r\n" + Tail(source, destination)};
    case LogClass::kNone: return {};
  }
  return {};
}

void AppendLogRecord(const std::string& path, const std::string& text) {
  (void)platform::AppendToFile(path, platform::ToStoredText(text + "\r\n"));
}
