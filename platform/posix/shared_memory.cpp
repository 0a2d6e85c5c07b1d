#include "platform/shared_memory.h"

#include <fcntl.h>
#include <signal.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/posix/unnamed_file.h"

// Each named object is a file in the shared-memory file system with a
// header in front of its content. The header counts the handles that each
// process holds, so that the last close removes the name, as a named kernel
// object disappears with its last handle elsewhere; the counts of a process
// that ended without closing (killed) are dropped by the next process that
// opens the object, as the system drops a dead process's handles. The
// header is changed under flock on the file. A new object is built without
// a name and linked into place, so nobody ever sees one half made, a creator
// killed meanwhile leaves nothing, and the link tells whether the name existed.

namespace platform {

namespace {

constexpr std::uint32_t kMagic = 0x434d534b;  // "KSMC"
constexpr const char* kShmDirectory = "/dev/shm";
constexpr int kHolders = 62;

struct Holder {
  std::int32_t process;  // 0: a free entry
  std::uint32_t handles;
};

struct Header {
  std::uint32_t magic;
  std::uint32_t handles;  // of all processes; those beyond kHolders are counted here only
  Holder holders[kHolders];
};

constexpr size_t kHeaderSize = 512;  // the header, rounded up; keeps the content aligned for a mutex
static_assert(sizeof(Header) <= kHeaderSize);

struct OpenObject {
  int fd;
  std::string name;  // as given to shm_open
};

// The process's open handles. Never destroyed: threads may still close
// handles while the process ends; what is left open then is closed by
// CloseAllAtExit, as the system would close a Windows process's handles.
struct HandleTable {
  std::mutex lock;
  std::unordered_map<SharedHandle, OpenObject> objects;
  SharedHandle nextHandle = 1;
  bool exiting = false;
};

void CloseObject(const OpenObject& object);

void CloseAllAtExit();

HandleTable& Table() {
  static HandleTable* table = [] {
    std::atexit(CloseAllAtExit);
    return new HandleTable;
  }();
  return *table;
}

void CloseAllAtExit() {
  HandleTable& table = Table();
  std::unordered_map<SharedHandle, OpenObject> objects;
  {
    std::lock_guard guard(table.lock);
    table.exiting = true;
    objects.swap(table.objects);
  }
  for (const auto& entry : objects) CloseObject(entry.second);
}

// "/" is the only character a shared-memory name cannot hold; "%" escapes it.
std::string ShmName(const std::string& name) {
  std::string result = "/";
  for (char c : name) {
    if (c == '/') result += "%2F";
    else if (c == '%') result += "%25";
    else result += c;
  }
  return result;
}

std::string ShmPath(const std::string& shmName) { return kShmDirectory + shmName; }

bool ReadHeader(int fd, Header* header) {
  return pread(fd, header, sizeof *header, 0) == static_cast<ssize_t>(sizeof *header) &&
         header->magic == kMagic;
}

bool WriteHeader(int fd, const Header& header) {
  return pwrite(fd, &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
}

// Drops the handles of processes that have ended.
void DropEndedProcesses(Header* header) {
  for (Holder& holder : header->holders) {
    if (holder.process == 0 || kill(holder.process, 0) == 0 || errno != ESRCH) continue;
    header->handles -= std::min(holder.handles, header->handles);
    holder = {};
  }
}

// Counts one more handle of this process.
void AddHandle(Header* header) {
  ++header->handles;
  Holder* free = nullptr;
  for (Holder& holder : header->holders) {
    if (holder.process == getpid()) {
      ++holder.handles;
      return;
    }
    if (holder.process == 0 && free == nullptr) free = &holder;
  }
  if (free != nullptr) *free = {getpid(), 1};
}

void RemoveHandle(Header* header) {
  if (header->handles > 0) --header->handles;
  for (Holder& holder : header->holders) {
    if (holder.process != getpid()) continue;
    if (--holder.handles == 0) holder = {};
    return;
  }
}

// Removes the name if it still names the object open on fd.
void UnlinkIfSame(int fd, const std::string& shmName) {
  struct stat mine{}, named{};
  if (fstat(fd, &mine) == 0 && stat(ShmPath(shmName).c_str(), &named) == 0 &&
      mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
    shm_unlink(shmName.c_str());
}

SharedHandle AddToTable(int fd, std::string shmName) {
  HandleTable& table = Table();
  std::lock_guard guard(table.lock);
  const SharedHandle handle = table.nextHandle++;
  table.objects.emplace(handle, OpenObject{fd, std::move(shmName)});
  return handle;
}

int FdOf(SharedHandle handle) {
  HandleTable& table = Table();
  std::lock_guard guard(table.lock);
  const auto found = table.objects.find(handle);
  return found == table.objects.end() ? -1 : found->second.fd;
}

void CloseObject(const OpenObject& object) {
  flock(object.fd, LOCK_EX);
  Header header{};
  if (ReadHeader(object.fd, &header) && header.handles > 0) {
    RemoveHandle(&header);
    WriteHeader(object.fd, header);
    if (header.handles == 0) UnlinkIfSame(object.fd, object.name);
  }
  flock(object.fd, LOCK_UN);
  close(object.fd);
}

// Whether an object is ours alone: made by this user, and writable by
// nobody else. /dev/shm is one namespace for every user; an object of
// another user could hold a mutex that is never released, or anything else.
bool OwnObject(int fd) {
  struct stat status;
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
         (status.st_mode & 077) == 0;
}

// Opens the object of that name and counts this process's handle; -1 when
// there is none, when it is not ours alone (it is left as it is), or when
// only processes that have all ended held it (it goes then).
int OpenCounted(const std::string& shmName) {
  const int fd = shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0);
  if (fd < 0) return -1;
  if (!OwnObject(fd)) {
    close(fd);
    return -1;
  }
  flock(fd, LOCK_EX);
  Header header{};
  bool alive = ReadHeader(fd, &header);
  if (alive) {
    DropEndedProcesses(&header);
    // A count of 0: the object's last handle is being closed, or its holders ended.
    alive = header.handles > 0;
    if (alive) AddHandle(&header);
    else UnlinkIfSame(fd, shmName);
    alive = WriteHeader(fd, header) && alive;
  }
  flock(fd, LOCK_UN);
  if (alive) return fd;
  close(fd);
  return -1;
}

// An open object without a name, or, where /dev/shm cannot make such
// files, one with the temporary name `*temporary`.
int OpenUnbuilt(std::string* temporary) {
  const int directory = open(kShmDirectory, O_DIRECTORY | O_CLOEXEC);
  const int fd = directory < 0 ? -1 : OpenUnnamed(directory, O_RDWR, 0600);
  const int error = errno;
  if (directory >= 0) close(directory);
  if (fd >= 0 || !UnnamedUnsupported(error)) return fd;
  static std::atomic<unsigned> serial{0};
  *temporary = "/kelmoray.new." + std::to_string(getpid()) + "." + std::to_string(++serial);
  return shm_open(temporary->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

// Gives the object built in `fd` the name `shmName`; 0 or the errno.
int LinkBuilt(int fd, const std::string& temporary, const std::string& shmName) {
  if (temporary.empty()) return LinkUnnamed(fd, AT_FDCWD, ShmPath(shmName));
  return link(ShmPath(temporary).c_str(), ShmPath(shmName).c_str()) == 0 ? 0 : errno;
}

// Builds an object of `size` content bytes without a name, lets
// `initialise` fill its content, and links it under `name`: nobody sees it
// half made, and a creator killed meanwhile leaves nothing behind.
CreateSharedResult CreateObject(const std::string& name, size_t size, SharedHandle* handle,
                                void (*initialise)(void* content)) {
  *handle = 0;
  const std::string shmName = ShmName(name);
  std::string temporary;
  const int fd = OpenUnbuilt(&temporary);
  if (fd < 0) return CreateSharedResult::kFailed;
  Header header{kMagic, 0, {}};
  AddHandle(&header);
  bool made = ftruncate(fd, static_cast<off_t>(kHeaderSize + size)) == 0 && WriteHeader(fd, header);
  if (made && initialise != nullptr) {
    void* base = mmap(nullptr, kHeaderSize + size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    made = base != MAP_FAILED;
    if (made) {
      initialise(static_cast<char*>(base) + kHeaderSize);
      munmap(base, kHeaderSize + size);
    }
  }
  int linkError = EIO;
  if (made) {
    linkError = LinkBuilt(fd, temporary, shmName);
    // A name left by processes that have all ended is free again.
    if (linkError == EEXIST) {
      const int held = OpenCounted(shmName);  // opens only what a live process holds
      if (held >= 0) CloseObject({held, shmName});
      else linkError = LinkBuilt(fd, temporary, shmName);
    }
    made = linkError == 0;
  }
  if (!temporary.empty()) shm_unlink(temporary.c_str());
  if (!made) {
    close(fd);
    return linkError == EEXIST ? CreateSharedResult::kAlreadyExists : CreateSharedResult::kFailed;
  }
  *handle = AddToTable(fd, shmName);
  return CreateSharedResult::kCreated;
}

}  // namespace

CreateSharedResult CreateSharedBlock(const std::string& name, size_t size, SharedHandle* handle) {
  if (size == 0) {
    *handle = 0;
    return CreateSharedResult::kFailed;
  }
  return CreateObject(name, size, handle, nullptr);
}

SharedHandle OpenSharedBlock(const std::string& name) {
  const std::string shmName = ShmName(name);
  const int fd = OpenCounted(shmName);
  return fd < 0 ? 0 : AddToTable(fd, shmName);
}

void CloseSharedBlock(SharedHandle handle) {
  if (handle == 0) return;
  HandleTable& table = Table();
  OpenObject object;
  {
    std::lock_guard guard(table.lock);
    const auto found = table.objects.find(handle);
    if (found == table.objects.end()) return;
    object = std::move(found->second);
    table.objects.erase(found);
  }
  CloseObject(object);
}

SharedView::SharedView(SharedHandle handle) {
  const int fd = FdOf(handle);
  struct stat status{};
  if (fd < 0 || fstat(fd, &status) != 0 || static_cast<size_t>(status.st_size) <= kHeaderSize)
    return;
  const size_t total = static_cast<size_t>(status.st_size);
  void* base = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (base == MAP_FAILED) return;
  mapping_ = base;
  data_ = static_cast<unsigned char*>(base) + kHeaderSize;
  size_ = total - kHeaderSize;
}

SharedView::~SharedView() { Unmap(); }

SharedView::SharedView(SharedView&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)) {}

SharedView& SharedView::operator=(SharedView&& other) noexcept {
  if (this != &other) {
    Unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapping_ = std::exchange(other.mapping_, nullptr);
  }
  return *this;
}

void SharedView::Unmap() {
  if (mapping_ != nullptr) munmap(mapping_, size_ + kHeaderSize);
  mapping_ = nullptr;
  data_ = nullptr;
  size_ = 0;
}

namespace {

void InitialiseMutex(void* content) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  pthread_mutex_init(static_cast<pthread_mutex_t*>(content), &attributes);
  pthread_mutexattr_destroy(&attributes);
}

}  // namespace

NamedMutex::NamedMutex(const std::string& name) {
  // Open, or create; another process may create or drop it in between.
  for (int attempt = 0; attempt < 100 && handle_ == 0; ++attempt) {
    handle_ = OpenSharedBlock(name);
    if (handle_ != 0) break;
    const CreateSharedResult created =
        CreateObject(name, sizeof(pthread_mutex_t), &handle_, InitialiseMutex);
    if (created == CreateSharedResult::kFailed) break;
  }
  if (handle_ == 0) return;
  const int fd = FdOf(handle_);
  void* base = mmap(nullptr, kHeaderSize + sizeof(pthread_mutex_t), PROT_READ | PROT_WRITE,
                    MAP_SHARED, fd, 0);
  if (base == MAP_FAILED) {
    CloseSharedBlock(std::exchange(handle_, 0));
    return;
  }
  lock_ = static_cast<char*>(base) + kHeaderSize;
}

NamedMutex::~NamedMutex() {
  if (lock_ != nullptr) munmap(static_cast<char*>(lock_) - kHeaderSize,
                               kHeaderSize + sizeof(pthread_mutex_t));
  CloseSharedBlock(handle_);
}

bool NamedMutex::Lock() {
  if (lock_ == nullptr) return false;
  auto* mutex = static_cast<pthread_mutex_t*>(lock_);
  const int result = pthread_mutex_lock(mutex);
  // The last holder died holding it: the mutex is ours and usable again.
  if (result == EOWNERDEAD) return pthread_mutex_consistent(mutex) == 0;
  return result == 0;
}

void NamedMutex::Unlock() {
  if (lock_ != nullptr) pthread_mutex_unlock(static_cast<pthread_mutex_t*>(lock_));
}

}  // namespace platform
