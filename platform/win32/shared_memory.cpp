#include "platform/shared_memory.h"

#include <windows.h>

#include <utility>

namespace platform {

namespace {

HANDLE AsHandle(std::uintptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::uintptr_t AsValue(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

CreateSharedResult CreateSharedBlock(const std::string& name, size_t size, SharedHandle* handle) {
  *handle = 0;
  const unsigned long long wide = size;
  HANDLE block = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                    static_cast<DWORD>(wide >> 32), static_cast<DWORD>(wide),
                                    name.c_str());
  const DWORD error = GetLastError();
  if (block == nullptr) return CreateSharedResult::kFailed;
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(block);
    return CreateSharedResult::kAlreadyExists;
  }
  *handle = AsValue(block);
  return CreateSharedResult::kCreated;
}

SharedHandle OpenSharedBlock(const std::string& name) {
  return AsValue(OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str()));
}

void CloseSharedBlock(SharedHandle handle) {
  if (handle != 0) CloseHandle(AsHandle(handle));
}

SharedView::SharedView(SharedHandle handle) {
  if (handle == 0) return;
  void* view = MapViewOfFile(AsHandle(handle), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
  if (view == nullptr) return;
  // The view covers whole pages; the block's own size is not recorded.
  MEMORY_BASIC_INFORMATION region{};
  if (VirtualQuery(view, &region, sizeof region) == 0) {
    UnmapViewOfFile(view);
    return;
  }
  data_ = static_cast<unsigned char*>(view);
  size_ = region.RegionSize;
}

SharedView::~SharedView() { Unmap(); }

SharedView::SharedView(SharedView&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

SharedView& SharedView::operator=(SharedView&& other) noexcept {
  if (this != &other) {
    Unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void SharedView::Unmap() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
  data_ = nullptr;
  size_ = 0;
}

NamedMutex::NamedMutex(const std::string& name)
    : handle_(AsValue(CreateMutexA(nullptr, FALSE, name.c_str()))) {}

NamedMutex::~NamedMutex() {
  if (handle_ != 0) CloseHandle(AsHandle(handle_));
}

bool NamedMutex::Lock() {
  if (handle_ == 0) return false;
  // An abandoned mutex is owned by the waiter all the same.
  const DWORD result = WaitForSingleObject(AsHandle(handle_), INFINITE);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void NamedMutex::Unlock() {
  if (handle_ != 0) ReleaseMutex(AsHandle(handle_));
}

}  // namespace platform
