#pragma once
// The run's report lines: message identifiers of the string table, their
// texts, the icon each gets and the log class that decides whether it is
// written to the run log.

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
// The texts of the status line, and the standard settings set's name.
enum TextId : int {
  kTextSearching = 111,  // "検索中 - ", followed by the directory being listed
  kTextWorking = 112,
  kTextCopying = 113,
  kTextStandardSet = 114,
};

// The seven images of the progress view, in the order the view adds them.
enum class IconKind { kStart, kEnd, kAnalyse, kCopy, kError, kDeleteFile, kDeleteDirectory };

inline constexpr int kIconKinds = 7;
// The image of a report line; every line of one message has the same.
IconKind IconOf(int id);

enum class LogClass { kNone, kRunStart, kRunEnd, kAction, kError };
LogClass LogClassOf(int id);

// The text of a run's string (a message, a status text, the timestamp
// format); empty for an unknown identifier.
const std::string& MessageText(int id);
