#pragma once
// The few services tests need that differ between the platforms.

#include <cstdint>
#include <string>
#include <vector>

namespace test {

void SetEnvironment(const char* name, const std::string& value);
void ClearEnvironment(const char* name);

// Deletes a registry key with all its subkeys (test clean-up only; natively
// each sandbox has a store of its own, removed with its directory).
void DeleteRegistryTree(bool localMachine, const std::string& keyPath);

// A copy of the running test program started with `arguments`, so that a
// test can play the other side of a conversation between processes.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& arguments);
  // Another program (a native path), with standard output into outputFile when given.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& outputFile);
  ~ChildProcess();  // waits for the child
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_; }
  // Waits for the child to end; its exit status, or -1 (also when a signal ended it).
  // On Windows a child still running after 3 minutes is ended (status 0xDEAD).
  int Wait();
  // Natively sends the signal; on Windows ends the process.
  void Signal(int signal);

 private:
  bool started_ = false;
  bool ended_ = false;
  int status_ = -1;
  std::uintptr_t process_ = 0;
};

// Sets a file's last-write time to `seconds` since 1970 (UTC); false on failure.
bool SetWriteTime(const std::string& path, long long seconds);

// Makes `link` a symbolic link to the directory `target`; false where links cannot be made.
bool MakeDirectoryLink(const std::string& link, const std::string& target);
// Makes `link` a symbolic link to the file `target`; false where links cannot be made.
bool MakeFileLink(const std::string& link, const std::string& target);

// Makes a named pipe; false where there are none (Windows).
bool MakeNamedPipe(const std::string& path);
// Opens the pipe for writing and closes it again: a reader waiting for a writer goes on.
void WakeNamedPipe(const std::string& path);

// The path in the system's short (8.3) form; empty where there is none.
std::string ShortPathOf(const std::string& path);

// A program and its first arguments that run what follows them as the user
// "nobody": natively, when the tests run as root (setpriv); empty otherwise.
std::vector<std::string> AsNobody();

// Natively: makes the user "nobody" the owner of root and everything below
// it (links themselves, not what they point to); false where it cannot.
bool GiveToNobody(const std::string& root);

// Natively: gives the directory the group `group` and the set-group-ID bit,
// so that what is made in it takes that group; false where it cannot.
bool GiveGroupToNewFiles(const std::string& directory, std::uint32_t group);
// The group of a file natively; -1 elsewhere or when it cannot be read.
long long GroupOf(const std::string& path);
// The bytes a file takes on disk natively; -1 elsewhere.
long long AllocatedBytes(const std::string& path);

// Natively: holds the shared settings store busy (a writer's exclusive
// lock) while it lives, as a dialog of another process saving would;
// Held() is false where that cannot be done.
class BusySharedStore {
 public:
  BusySharedStore();
  ~BusySharedStore();
  BusySharedStore(const BusySharedStore&) = delete;
  BusySharedStore& operator=(const BusySharedStore&) = delete;
  bool Held() const { return held_; }

 private:
  void* db_ = nullptr;
  bool held_ = false;
};

// The running test program's own file.
std::string SelfPath();

// Something inside `directory` that a mirror run cannot delete while this
// object lives: natively a link (never listed, so never deleted), on Windows
// a file held open without delete sharing.
class UndeletableEntry {
 public:
  explicit UndeletableEntry(const std::string& directory);
  ~UndeletableEntry();
  UndeletableEntry(const UndeletableEntry&) = delete;
  UndeletableEntry& operator=(const UndeletableEntry&) = delete;

 private:
  std::string path_;
  std::uintptr_t handle_ = 0;
};

// True in a Windows build running under Wine.
bool RunningUnderWine();

// Natively removes the channel's shared objects that only ended processes
// held (a killed process cannot close its handles); elsewhere the system does.
void RemoveAbandonedSharedObjects();

// Names of the shared-memory objects that exist now (natively; empty under Windows).
std::vector<std::string> SharedMemoryNames();

}  // namespace test
