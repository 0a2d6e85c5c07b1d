// The route of commands: frame, view, document, application.

#include "framework/command_target.h"

#include <gtest/gtest.h>

#include <string>

namespace test {

namespace {

// A target that takes some commands and decides the enabling of others.
class Target : public fw::CommandTarget {
 public:
  Target(std::string name, int takes, int decides, bool enabled, std::string* log)
      : name_(std::move(name)), takes_(takes), decides_(decides), enabled_(enabled), log_(log) {}
  bool OnCommand(int id) override {
    if (id != takes_) return false;
    *log_ += name_;
    return true;
  }
  std::optional<bool> CommandEnabled(int id) override {
    if (id != decides_) return std::nullopt;
    return enabled_;
  }

 private:
  std::string name_;
  int takes_, decides_;
  bool enabled_;
  std::string* log_;
};

TEST(CommandRoute, TheFirstTargetThatTakesOrDecidesEndsTheRoute) {
  std::string log;
  Target frame("frame", 1, 2, false, &log), view("view", 3, 3, true, &log), document("document", 1, 2, true, &log),
      application("application", 4, 4, true, &log);
  fw::CommandRoute route;
  for (Target* target : {&frame, &view, &document, &application}) route.Add(target);
  const struct { int id; bool executed; std::string by; bool enabled; } rows[] = {
      {1, true, "frame", false}, {2, false, "", false}, {3, true, "view", true},
      {4, true, "application", true}, {5, false, "", false},
  };
  for (const auto& row : rows) {
    log.clear();
    EXPECT_EQ(route.Execute(row.id), row.executed) << row.id;
    EXPECT_EQ(log, row.by) << row.id;
    EXPECT_EQ(route.IsEnabled(row.id), row.enabled) << row.id << ": decided by the first that decides";
  }
}

}  // namespace

}  // namespace test
