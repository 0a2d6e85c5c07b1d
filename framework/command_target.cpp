#include "framework/command_target.h"

namespace fw {

bool CommandRoute::Execute(int id) {
  for (CommandTarget* target : targets_)
    if (target->OnCommand(id)) return true;
  return false;
}

bool CommandRoute::IsEnabled(int id) {
  for (CommandTarget* target : targets_)
    if (const std::optional<bool> enabled = target->CommandEnabled(id)) return *enabled;
  return false;
}

}  // namespace fw
