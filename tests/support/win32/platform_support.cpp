#include "tests/support/platform_support.h"

#include <stdlib.h>
#include <windows.h>

#include "platform/paths.h"
#include "platform/win32/wide_text.h"

namespace test {

void SetEnvironment(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
void ClearEnvironment(const char* name) { _putenv_s(name, ""); }

void DeleteRegistryTree(bool localMachine, const std::string& keyPath) {
  RegDeleteTreeA(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, keyPath.c_str());
  RegDeleteKeyA(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, keyPath.c_str());
}

}  // namespace test

namespace test {

namespace {

// Quotes an argument so that the C runtime's parser gives it back unchanged:
// backslashes count only before a double quote, and the closing quote is one.
std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments)
    : ChildProcess(std::string(), arguments, std::string()) {}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& outputFile) {
  // A native path of the build machine is a path of drive Z: under Wine.
  std::string path = program.empty() ? platform::ModuleFilePath() : "Z:" + program;
  for (char& c : path)
    if (c == '/') c = '\\';
  std::string commandLine = QuoteArgument(path);
  for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!outputFile.empty()) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    output = CreateFileW(platform::WidePath(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                         CREATE_ALWAYS, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION info{};
  std::wstring wideCommandLine = platform::WideText(commandLine);
  started_ = CreateProcessW(platform::WideText(path).c_str(), wideCommandLine.data(), nullptr, nullptr,
                            output != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &startup,
                            &info) != FALSE;
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (!started_) return;
  CloseHandle(info.hThread);
  process_ = reinterpret_cast<std::uintptr_t>(info.hProcess);
}

void ChildProcess::Signal(int) {
  if (started_ && !ended_) TerminateProcess(reinterpret_cast<HANDLE>(process_), 1);
}

ChildProcess::~ChildProcess() {
  Wait();
  if (process_ != 0) CloseHandle(reinterpret_cast<HANDLE>(process_));
}

int ChildProcess::Wait() {
  if (!started_ || ended_) return status_;
  HANDLE process = reinterpret_cast<HANDLE>(process_);
  DWORD code = 0;
  // A program that never ends fails its test rather than hang the run.
  if (WaitForSingleObject(process, 180000) != WAIT_OBJECT_0) {
    TerminateProcess(process, 0xDEAD);
    WaitForSingleObject(process, 10000);
  }
  if (GetExitCodeProcess(process, &code)) status_ = static_cast<int>(code);
  ended_ = true;
  return status_;
}

bool SetWriteTime(const std::string& path, long long seconds) {
  HANDLE file = CreateFileW(platform::WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const unsigned long long value = 116444736000000000ull + static_cast<unsigned long long>(seconds) * 10000000ull;
  FILETIME time{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
  const BOOL set = SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
  return set != FALSE;
}

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  std::string plain = link;
  while (plain.size() > 3 && plain.back() == '\\') plain.pop_back();
  if (!CreateSymbolicLinkW(platform::WideText(plain).c_str(), platform::WideText(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) return false;
  // Some systems (Wine among them) make something that is no link: undo it.
  const DWORD attributes = GetFileAttributesW(platform::WideText(plain).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  RemoveDirectoryW(platform::WideText(plain).c_str());
  return false;
}

bool MakeFileLink(const std::string& link, const std::string& target) {
  if (!CreateSymbolicLinkW(platform::WideText(link).c_str(), platform::WideText(target).c_str(), 0)) return false;
  const DWORD attributes = GetFileAttributesW(platform::WideText(link).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  DeleteFileW(platform::WideText(link).c_str());  // Wine makes something that is no link
  return false;
}

bool MakeNamedPipe(const std::string&) { return false; }
void WakeNamedPipe(const std::string&) {}

std::string ShortPathOf(const std::string& path) {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD length = GetShortPathNameW(platform::WideText(path).c_str(), buffer, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return {};
  return platform::ProgramText({buffer, length});
}

std::vector<std::string> AsNobody() { return {}; }
bool GiveToNobody(const std::string&) { return false; }

bool GiveGroupToNewFiles(const std::string&, std::uint32_t) { return false; }
long long GroupOf(const std::string&) { return -1; }
long long AllocatedBytes(const std::string&) { return -1; }

BusySharedStore::BusySharedStore() = default;
BusySharedStore::~BusySharedStore() = default;

std::string SelfPath() {
  return platform::ModuleFilePath();
}

UndeletableEntry::UndeletableEntry(const std::string& directory) : path_(directory + "held.txt") {
  HANDLE file = CreateFileW(platform::WidePath(path_).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  handle_ = reinterpret_cast<std::uintptr_t>(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

UndeletableEntry::~UndeletableEntry() {
  if (handle_ != 0) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  DeleteFileW(platform::WidePath(path_).c_str());
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void RemoveAbandonedSharedObjects() {}

std::vector<std::string> SharedMemoryNames() { return {}; }

}  // namespace test
