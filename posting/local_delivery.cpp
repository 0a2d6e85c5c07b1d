#include "posting/local_delivery.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace posting {

namespace {

std::atomic<bool> localDelivery{true};

struct LocalKeys {
  std::mutex lock;
  std::unordered_map<std::string, std::shared_ptr<LocalKey>> keys;
};

LocalKeys& Keys() {
  static LocalKeys* keys = new LocalKeys;  // outlives every receiver, even at exit
  return *keys;
}

// A window is awake while it has an entry here, from its wake-up message
// to the turn that finds its queue empty.
struct LocalPosts {
  std::mutex lock;
  std::unordered_map<platform::WindowHandle, std::deque<LocalPost>> waiting;
};

LocalPosts& Posts() {
  static LocalPosts* posts = new LocalPosts;
  return *posts;
}

}  // namespace

void SetLocalDelivery(bool enabled) { localDelivery = enabled; }
bool LocalDeliveryEnabled() { return localDelivery; }

LocalKey::LocalKey(const std::string& blockName)
    : handle(platform::OpenSharedBlock(blockName)), view(handle) {}

LocalKey::~LocalKey() {
  view = platform::SharedView();
  platform::CloseSharedBlock(handle);
}

void AddLocalKey(const std::string& blockName) {
  LocalKeys& keys = Keys();
  std::lock_guard guard(keys.lock);
  auto& entry = keys.keys[blockName];
  if (entry != nullptr) ++entry->receivers;
  else entry = std::make_shared<LocalKey>(blockName);
}

void RemoveLocalKey(const std::string& blockName) {
  LocalKeys& keys = Keys();
  std::shared_ptr<LocalKey> last;  // closed outside the lock
  std::lock_guard guard(keys.lock);
  const auto found = keys.keys.find(blockName);
  if (found == keys.keys.end() || --found->second->receivers > 0) return;
  last = std::move(found->second);
  keys.keys.erase(found);
}

std::shared_ptr<LocalKey> FindLocalKey(const std::string& blockName) {
  LocalKeys& keys = Keys();
  std::lock_guard guard(keys.lock);
  const auto found = keys.keys.find(blockName);
  return found == keys.keys.end() ? nullptr : found->second;
}

unsigned LocalWakeMessage() {
  static const unsigned message = platform::RegisterMessageName("KelmorayLocalWake");
  return message;
}

unsigned LocalTextMessage() {
  static const unsigned message = platform::RegisterMessageName("KelmorayLocalText");
  return message;
}

bool PostLocal(platform::WindowHandle window, const char* key, const char* text) {
  LocalPosts& posts = Posts();
  bool asleep;
  {
    std::lock_guard guard(posts.lock);
    auto [queue, added] = posts.waiting.try_emplace(window);
    queue->second.push_back(LocalPost{key, text});
    asleep = added;
  }
  if (!asleep || platform::PostToWindow(window, LocalWakeMessage(), 0, 0)) return true;
  ForgetLocalPosts(window);
  return false;
}

bool TakeLocalPost(platform::WindowHandle window, LocalPost* post) {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  const auto queue = posts.waiting.find(window);
  if (queue == posts.waiting.end() || queue->second.empty()) return false;
  *post = std::move(queue->second.front());
  queue->second.pop_front();
  return true;
}

bool SleepIfNoneWaiting(platform::WindowHandle window) {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  const auto queue = posts.waiting.find(window);
  if (queue != posts.waiting.end() && !queue->second.empty()) return false;
  if (queue != posts.waiting.end()) posts.waiting.erase(queue);
  return true;
}

void ForgetLocalPosts(platform::WindowHandle window) {
  LocalPosts& posts = Posts();
  std::deque<LocalPost> dropped;  // freed outside the lock
  std::lock_guard guard(posts.lock);
  const auto queue = posts.waiting.find(window);
  if (queue == posts.waiting.end()) return;
  dropped.swap(queue->second);
  posts.waiting.erase(queue);
}

size_t LocalPostsPending() {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  size_t pending = 0;
  for (const auto& [window, queue] : posts.waiting) pending += queue.size();
  return pending;
}

}  // namespace posting
