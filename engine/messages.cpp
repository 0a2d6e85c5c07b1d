#include "engine/messages.h"

#include <map>

#include "platform/code_page.h"

IconKind IconOf(int id) {
  switch (id) {
    case kMsgRunStart: return IconKind::kStart;
    case kMsgRunEnd: return IconKind::kEnd;
    case kMsgAnalysing: return IconKind::kAnalyse;
    case kMsgCopyFile:
    case kMsgUpdateFile: return IconKind::kCopy;
    case kMsgDeleteFile: return IconKind::kDeleteFile;
    case kMsgDeleteDirectory: return IconKind::kDeleteDirectory;
    default: return IconKind::kError;
  }
}

LogClass LogClassOf(int id) {
  switch (id) {
    case kMsgRunStart: return LogClass::kRunStart;
    case kMsgRunEnd: return LogClass::kRunEnd;
    case kMsgDeleteFile:
    case kMsgDeleteDirectory:
    case kMsgCopyFile:
    case kMsgUpdateFile: return LogClass::kAction;
    case kMsgBadEntry:
    case kMsgDeleteFileFailed:
    case kMsgDeleteDirectoryFailed:
    case kMsgCopyFailed:
    case kMsgUpdateFailed:
    case kMsgSourceMissing:
    case kMsgInterrupted:
    case kMsgDiskFull:
    case kMsgFileInUse:
    case kMsgSourceUnreadable:
    case kMsgDestinationUnreadable: return LogClass::kError;
    default: return LogClass::kNone;
  }
}

const std::string& MessageText(int id) {
  static const std::map<int, std::string> texts = [] {
    return std::map<int, std::string>{
#define RUN_STRING(id, text) {id, text},
#include "resources/run_strings.inc"
#undef RUN_STRING
    };
  }();
  static const std::string none;
  const auto found = texts.find(id);
  return found == texts.end() ? none : found->second;
}
