#include "engine/messages.h"

#include <map>

#include "platform/code_page.h"

std::array<int, 7>& IconIndexes() {
  static std::array<int, 7> indexes{0, 1, 2, 3, 4, 5, 6};
  return indexes;
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
    const std::map<int, const char*> utf8 = {
        {kMsgDeleteFile, "コピー先のファイルを削除します。"},
        {kMsgDeleteDirectory, "コピー先のディレクトリを削除します。"},
        {kMsgCopyFile, "ファイルをコピーします。"},
        {kMsgUpdateFile, "ファイルを更新します。"},
        {kMsgBadEntry, "ミラーリングの設定が正しくありません。"},
        {kMsgRunStart, "ミラーリング開始"},
        {kMsgRunEnd, "ミラーリング終了"},
        {kMsgDeleteFileFailed, "コピー先のファイルの削除に失敗しました。"},
        {kMsgDeleteDirectoryFailed, "コピー先のディレクトリの削除に失敗しました。"},
        {kMsgCopyFailed, "ファイルをコピーに失敗しました。"},
        {kMsgUpdateFailed, "ファイルを更新に失敗しました。"},
        {kMsgSourceMissing, "コピー元のディレクトリが見つかりません。"},
        {kMsgAnalysing, "ディレクトリを解析しています。"},
        {kMsgInterrupted, "ミラーリングは中断されました。"},
        {kMsgDiskFull, "ディスク容量が足りません。"},
        {kMsgFileInUse, "他のプログラムが使用中のファイルです。"},
        {kMsgSourceUnreadable, "コピー元のディレクトリを読み込めません。"},
        {kMsgDestinationUnreadable, "コピー先のディレクトリを読み込めません。"},
    };
    std::map<int, std::string> system;
    for (const auto& [id, text] : utf8) system[id] = platform::Utf8ToSystem(text);
    return system;
  }();
  static const std::string none;
  const auto found = texts.find(id);
  return found == texts.end() ? none : found->second;
}
