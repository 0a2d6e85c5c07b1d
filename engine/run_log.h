#pragma once
// The run log: where it goes, and the records a report line makes.

#include <ctime>
#include <string>
#include <vector>

// 80 characters: eight groups of nine "-", each followed by "+".
inline constexpr const char* kLogRuler =
    "---------+---------+---------+---------+---------+---------+---------+---------+";

// logDir followed directly by the start time formatted with logName. A
// name that formats to nothing or to more than 127 bytes leaves logDir
// alone, which cannot be opened as a file.
std::string LogFilePath(const std::string& logDir, const std::string& logName, const std::tm& start);

// A local time in the form of the start and end lines: 98/06/01 12:34:56.
std::string FormatTimestamp(const std::tm& time);

// The records that one report line appends, in order, given the two log flags.
std::vector<std::string> LogRecordsFor(int id, const std::string& source, const std::string& destination,
                                       bool okLogOut, bool errorLogOut);

// Appends text and CR LF to the file, creating it when missing. A file that
// cannot be opened loses the record silently.
void AppendLogRecord(const std::string& path, const std::string& text);
