#pragma once
// Commands (menu items, toolbar buttons, accelerators) travel a route of
// targets: frame, view, document, application. The first target that
// handles a command, or decides whether it is enabled, ends the route.

#include <optional>
#include <vector>

namespace fw {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // Carries out the command; false when it is not this target's.
  virtual bool OnCommand(int id) { return false; }
  // Whether the command is enabled now; nullopt when this target does not decide it.
  virtual std::optional<bool> CommandEnabled(int id) { return std::nullopt; }
};

class CommandRoute {
 public:
  void Add(CommandTarget* target) { targets_.push_back(target); }
  // Carries out the command at the first target that takes it; false when none does.
  bool Execute(int id);
  // Whether the command is enabled: as the first target that decides says.
  // A command that no target decides is disabled: nothing would carry it out.
  bool IsEnabled(int id);

 private:
  std::vector<CommandTarget*> targets_;
};

}  // namespace fw
