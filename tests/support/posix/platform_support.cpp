#include "tests/support/platform_support.h"

#include <sqlite3.h>

#include <cstdlib>

#include "platform/shared_memory.h"


namespace test {

void SetEnvironment(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
void ClearEnvironment(const char* name) { unsetenv(name); }
void DeleteRegistryTree(bool, const std::string&) {}

}  // namespace test

#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

extern char** environ;

namespace test {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments)
    : ChildProcess("/proc/self/exe", arguments, "") {}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& outputFile) {
  std::vector<std::string> all{program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputFile.empty())
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  started_ = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  process_ = started_ ? static_cast<std::uintptr_t>(pid) : 0;
}

void ChildProcess::Signal(int signal) {
  if (started_ && !ended_) kill(static_cast<pid_t>(process_), signal);
}

ChildProcess::~ChildProcess() { Wait(); }

int ChildProcess::Wait() {
  if (!started_ || ended_) return status_;
  int status = 0;
  if (waitpid(static_cast<pid_t>(process_), &status, 0) > 0 && WIFEXITED(status))
    status_ = WEXITSTATUS(status);
  ended_ = true;
  return status_;
}

bool SetWriteTime(const std::string& path, long long seconds) {
  const timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool RunningUnderWine() { return false; }

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  std::string plain = link;
  while (plain.size() > 1 && plain.back() == '/') plain.pop_back();
  return symlink(target.c_str(), plain.c_str()) == 0;
}

bool MakeFileLink(const std::string& link, const std::string& target) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

bool MakeNamedPipe(const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }

void WakeNamedPipe(const std::string& path) {
  const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
  if (writer >= 0) close(writer);
}

std::string ShortPathOf(const std::string&) { return {}; }

std::vector<std::string> AsNobody() {
  if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0) return {};
  return {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

bool GiveToNobody(const std::string& root) {
  constexpr uid_t kNobody = 65534;
  bool given = lchown(root.c_str(), kNobody, kNobody) == 0;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::end(it); it.increment(error))
    given = lchown(it->path().c_str(), kNobody, kNobody) == 0 && given;
  return given && !error;
}

bool GiveGroupToNewFiles(const std::string& directory, std::uint32_t group) {
  return chown(directory.c_str(), static_cast<uid_t>(-1), group) == 0 && chmod(directory.c_str(), 02775) == 0;
}

long long GroupOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_gid) : -1;
}

long long AllocatedBytes(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_blocks) * 512 : -1;
}

BusySharedStore::BusySharedStore() {
  const char* directory = std::getenv("KELMORAY_REGISTRY_DIR");
  if (directory == nullptr) return;
  sqlite3* db = nullptr;
  const std::string path = std::string(directory) + "/local_machine.sqlite";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return;
  }
  db_ = db;
  held_ = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

BusySharedStore::~BusySharedStore() {
  if (db_ == nullptr) return;
  sqlite3_exec(static_cast<sqlite3*>(db_), "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(static_cast<sqlite3*>(db_));
}

std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

UndeletableEntry::UndeletableEntry(const std::string& directory) : path_(directory + "held") {
  [[maybe_unused]] const int made = symlink("/", path_.c_str());
}

UndeletableEntry::~UndeletableEntry() { unlink(path_.c_str()); }

void RemoveAbandonedSharedObjects() {
  // Opening an object whose holders have all ended removes it.
  for (const std::string& name : SharedMemoryNames()) {
    if (name.rfind("DATAPOST", 0) != 0 || name.find('%') != std::string::npos) continue;
    platform::CloseSharedBlock(platform::OpenSharedBlock(name));
  }
}

std::vector<std::string> SharedMemoryNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error))
    names.push_back(entry.path().filename().string());
  return names;
}

}  // namespace test
