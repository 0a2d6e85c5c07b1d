#include "posting/local_delivery.h"

#include <atomic>
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

struct LocalPosts {
  std::mutex lock;
  std::unordered_map<platform::LongParam, std::shared_ptr<LocalPost>> posts;
  platform::LongParam next = 1;
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

unsigned LocalPostMessage() {
  static const unsigned message = platform::RegisterMessageName("KelmorayLocalPost");
  return message;
}

bool PostLocal(platform::WindowHandle window, const char* key, const char* text) {
  LocalPosts& posts = Posts();
  platform::LongParam id;
  {
    std::lock_guard guard(posts.lock);
    id = posts.next++;
    if (posts.next <= 0) posts.next = 1;
    posts.posts.emplace(id, std::make_shared<LocalPost>(LocalPost{window, key, text}));
  }
  if (platform::PostToWindow(window, LocalPostMessage(), 0, id)) return true;
  ForgetLocalPost(id);
  return false;
}

std::shared_ptr<LocalPost> FindLocalPost(platform::LongParam id) {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  const auto found = posts.posts.find(id);
  return found == posts.posts.end() ? nullptr : found->second;
}

void ForgetLocalPost(platform::LongParam id) {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  posts.posts.erase(id);
}

void ForgetLocalPosts(platform::WindowHandle window) {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  std::erase_if(posts.posts, [&](const auto& entry) { return entry.second->window == window; });
}

size_t LocalPostsPending() {
  LocalPosts& posts = Posts();
  std::lock_guard guard(posts.lock);
  return posts.posts.size();
}

}  // namespace posting
