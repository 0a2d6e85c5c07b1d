#include "shell/gui/document_commands.h"

#include "framework/resource_text.h"
#include "resources/ids.h"
#include "settings/entry_storage.h"
#include "settings/dialogs/settings_list_dlg.h"
#include "settings/settings_location.h"
#include "shell/automatic_run.h"
#include "shell/command_line.h"
#include "shell/gui/log_settings_dlg.h"
#include "shell/gui/options_dlg.h"
#include "platform/win32/wide_text.h"

namespace {

enum class EnabledWhen { kIdle, kStoppable, kAlways };

struct EnablingRule {
  int command;
  EnabledWhen when;
};

// Which command is enabled in which run state.
constexpr EnablingRule kEnabling[] = {
    {ID_MIRROR_START, EnabledWhen::kIdle},    {ID_MIRROR_STOP, EnabledWhen::kStoppable},
    {ID_MIRROR_SETTINGS, EnabledWhen::kIdle}, {ID_LOG_SETTINGS, EnabledWhen::kIdle},
    {ID_OPTIONS, EnabledWhen::kAlways},
};

}  // namespace

DocumentCommands::DocumentCommands(CKelmdupDoc& document, ProgressView& view, HWND mainWindow)
    : document_(document), view_(view), mainWindow_(mainWindow) {}

std::string DocumentCommands::Title() { return TheSettingsLocation().setDisplayName; }

std::optional<bool> DocumentCommands::CommandEnabled(int id) {
  for (const EnablingRule& rule : kEnabling) {
    if (rule.command != id) continue;
    switch (rule.when) {
      case EnabledWhen::kIdle: return !document_.running;
      case EnabledWhen::kStoppable: return document_.running && !document_.stopRequested;
      case EnabledWhen::kAlways: return true;
    }
  }
  return std::nullopt;
}

bool DocumentCommands::OnCommand(int id) {
  switch (id) {
    case ID_MIRROR_START: StartRun(); return true;
    case ID_MIRROR_STOP: document_.OnMirrorStop(); return true;
    case ID_MIRROR_SETTINGS: CSettingsListDlg().DoModal(mainWindow_); return true;
    case ID_LOG_SETTINGS: CLogSettingsDlg().DoModal(mainWindow_); return true;
    case ID_OPTIONS: COptionsDlg(mainWindow_).DoModal(mainWindow_); return true;
    default: return false;
  }
}

// A run over settings it cannot read would mirror nothing and look like a
// success: the user is told instead, and no run starts.
bool DocumentCommands::SettingsReadable() {
  const StoreProblem problem = FindStoreProblem(TheSettingsLocation());
  if (!problem) return true;
  const std::string text = fw::LoadText(IDS_STORE_UNREADABLE) + "\r\n" + problem.where;
  fw::ShowError(mainWindow_, text);
  return false;
}

void DocumentCommands::StartRun() {
  if (!SettingsReadable()) {
    if (TheStartupFlags().exitAfterRun) PostMessageA(mainWindow_, WM_COMMAND, ID_APP_EXIT, 0);
    return;
  }
  // Whether the program ends after this run is known now: the automatic
  // run's flag is set before its start command.
  document_.afterRun = AfterRunOf(reinterpret_cast<platform::WindowHandle>(mainWindow_), TheStartupFlags());
  document_.OnMirrorStart(&view_);
}
