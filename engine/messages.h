#pragma once
// The run's report lines: message identifiers of the string table, their
// texts, the icon each gets and the log class that decides whether it is
// written to the run log.

#include <array>
#include <string>

enum MessageId : int {
  kMsgDeleteFile = 59395,
  kMsgDeleteDirectory = 59396,
  kMsgCopyFile = 59397,
  kMsgUpdateFile = 59398,
  kMsgBadEntry = 59399,
  kMsgRunStart = 59401,
  kMsgRunEnd = 59402,
  kMsgDeleteFileFailed = 59403,
  kMsgDeleteDirectoryFailed = 59404,
  kMsgCopyFailed = 59405,
  kMsgUpdateFailed = 59406,
  kMsgSourceMissing = 59407,
  kMsgAnalysing = 59408,
  kMsgInterrupted = 59409,
  kMsgDiskFull = 59410,
  kMsgFileInUse = 59411,
  kMsgSourceUnreadable = 59412,       // a source directory whose listing failed
  kMsgDestinationUnreadable = 59413,  // a destination directory whose listing failed
};

// String 104: the timestamp format of the start and end lines.
inline constexpr int kTimestampFormatId = 104;

// The seven images of the progress view, in the order the view adds them.
enum class IconKind { kStart, kEnd, kAnalyse, kCopy, kError, kDeleteFile, kDeleteDirectory };

// Where the view put each image; negative for an image it could not add.
// Written by the view before any run, read by the run.
std::array<int, 7>& IconIndexes();
inline int IconIndex(IconKind kind) { return IconIndexes()[static_cast<int>(kind)]; }

enum class LogClass { kNone, kRunStart, kRunEnd, kAction, kError };
LogClass LogClassOf(int id);

// The text of a run's string (a message, or the timestamp format) in the
// system code page; empty for an unknown identifier.
const std::string& MessageText(int id);
