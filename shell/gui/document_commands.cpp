#include "shell/gui/document_commands.h"

#include "framework/resource_text.h"
#include "resources/ids.h"
#include "settings/entry_storage.h"
#include "shell/gui/dialogs/settings_list_dlg.h"
#include "shell/gui/dialogs/log_settings_dlg.h"
#include "shell/gui/dialogs/options_dlg.h"
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

DocumentCommands::DocumentCommands(CKelmdupDoc& document, ProgressView& view, HWND mainWindow,
                                   const StartupOptions& options)
    : document_(document), view_(view), mainWindow_(mainWindow), options_(options) {}

std::optional<bool> DocumentCommands::CommandEnabled(int id) {
  for (const EnablingRule& rule : kEnabling) {
    if (rule.command != id) continue;
    switch (rule.when) {
      case EnabledWhen::kIdle: return !document_.Running();
      case EnabledWhen::kStoppable: return document_.Running() && !document_.StopRequested();
      case EnabledWhen::kAlways: return true;
    }
  }
  return std::nullopt;
}

bool DocumentCommands::OnCommand(int id) {
  switch (id) {
    case ID_MIRROR_START: StartRun(); return true;
    case ID_MIRROR_STOP: document_.OnMirrorStop(); return true;
    case ID_MIRROR_SETTINGS: CSettingsListDlg(options_.store).DoModal(mainWindow_); return true;
    case ID_LOG_SETTINGS: CLogSettingsDlg(options_.store.multiUser).DoModal(mainWindow_); return true;
    case ID_OPTIONS: COptionsDlg(mainWindow_).DoModal(mainWindow_); return true;
    default: return false;
  }
}

// A run over settings it cannot read would mirror nothing and look like a
// success: the user is told instead, and no run starts.
bool DocumentCommands::SettingsReadable() {
  const StoreProblem problem = FindStoreProblem(options_.store);
  if (!problem) return true;
  const std::string text = fw::LoadText(IDS_STORE_UNREADABLE) + "\r\n" + problem.where;
  fw::ShowError(mainWindow_, IDS_APPLICATION_TITLE, text);
  return false;
}

// With "/A" every run is automatic: the program ends after the first.
void DocumentCommands::StartRun() {
  if (!SettingsReadable()) {
    if (options_.automatic) PostMessageA(mainWindow_, WM_COMMAND, ID_APP_EXIT, 0);
    return;
  }
  document_.OnMirrorStart(&view_, RequestToRun(options_.store, options_.automatic));
}
