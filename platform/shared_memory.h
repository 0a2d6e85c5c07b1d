#pragma once
// Named shared memory and named mutexes: kernel objects that every process
// of the machine reaches by name. A named object lives while any process
// holds a handle on it; a process's handles go when it ends.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A process's handle on a named shared block; 0 is none. The value means
// something only inside the process that holds it.
using SharedHandle = std::uintptr_t;

enum class CreateSharedResult { kCreated, kAlreadyExists, kFailed };

// Creates a named block of `size` bytes (more than 0), zero-filled, read/write,
// not inheritable, and gives its handle through `handle`. When the name exists
// already, nothing is opened: kAlreadyExists and no handle.
CreateSharedResult CreateSharedBlock(const std::string& name, size_t size, SharedHandle* handle);

// Opens the existing block of that name read/write; 0 when there is none.
SharedHandle OpenSharedBlock(const std::string& name);

// Drops a handle; the block goes with the last one. 0 is ignored.
void CloseSharedBlock(SharedHandle handle);

// A view of a whole block, unmapped at destruction. Size() bytes are
// readable and writable: the block's size, rounded up to whole pages where
// the system maps whole pages (the rest reads as zero).
class SharedView {
 public:
  SharedView() = default;
  explicit SharedView(SharedHandle handle);
  ~SharedView();
  SharedView(SharedView&& other) noexcept;
  SharedView& operator=(SharedView&& other) noexcept;

  explicit operator bool() const { return data_ != nullptr; }
  unsigned char* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  void Unmap();
  unsigned char* data_ = nullptr;
  size_t size_ = 0;
  void* mapping_ = nullptr;  // what the system mapped, when it differs from data_
};

// A named mutex shared by all threads of all processes, opened or created on
// construction and closed at destruction. A holder that ends without
// unlocking does not block the others.
class NamedMutex {
 public:
  explicit NamedMutex(const std::string& name);
  ~NamedMutex();
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // False when the mutex could neither be opened nor created.
  explicit operator bool() const { return handle_ != 0; }
  // Waits without time limit; false when the mutex is not usable.
  bool Lock();
  void Unlock();

 private:
  std::uintptr_t handle_ = 0;
  void* lock_ = nullptr;  // natively: the mutex inside the shared block
};

}  // namespace platform
