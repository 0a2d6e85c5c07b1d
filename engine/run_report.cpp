#include "engine/run_report.h"

#include <utility>

#include "engine/messages.h"
#include "engine/run_log.h"
#include "foundation/directory.h"
#include "posting/post_data.h"

RunReport::RunReport(ProgressView* view, const LogSettings& log, std::string statusKey)
    : view_(view), log_(log), statusKey_(std::move(statusKey)) {}

void RunReport::OpenLog(const std::tm& start) {
  CreateDirectoryPath(log_.logDir);
  logFilePath_ = LogFilePath(log_.logDir, log_.logName, start);
}

void RunReport::Report(int id, const std::string& source, const std::string& destination) {
  if (view_ != nullptr) view_->AddLine(id, source, destination);
  if (LogClassOf(id) == LogClass::kError) ++errorLines_;
  for (const std::string& record : LogRecordsFor(id, source, destination, log_.okLogOut, log_.errorLogOut))
    AppendLogRecord(logFilePath_, record);
}

void RunReport::PostStatus(const char* text) const {
  if (!statusKey_.empty()) PostData(statusKey_.c_str(), text);
}
