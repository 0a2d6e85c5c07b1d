#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/code_page.h"

// The registry's place is taken by one SQLite database per root. A key is a
// row named by its whole path; names are looked up in their lower-cased form
// and keep the spelling they were created with.

namespace platform {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys(folded TEXT PRIMARY KEY, path TEXT NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS vals(key TEXT NOT NULL, folded TEXT NOT NULL, name TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, folded)) WITHOUT ROWID;";

// Where a root's store lives; empty when it cannot be found: without a home
// directory there is no per-user place, and no shared one stands in.
std::string DatabaseDirectory(RegistryRoot root) {
  if (const char* moved = std::getenv("KELMORAY_REGISTRY_DIR"); moved && *moved) return moved;
  if (root == RegistryRoot::kLocalMachine) return "/var/lib/kelmoray";
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config && *config == '/')
    return std::string(config) + "/kelmoray";
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home != '/') return {};
  return std::string(home) + "/.config/kelmoray";
}

std::string DatabasePath(RegistryRoot root) {
  const std::string directory = DatabaseDirectory(root);
  if (directory.empty()) return {};
  return directory + (root == RegistryRoot::kLocalMachine ? "/local_machine.sqlite" : "/current_user.sqlite");
}

// A per-user store's directories are the user's alone; the shared one is
// readable by every user and written by its owner (root).
bool MakeDirectories(const std::string& dir, RegistryRoot root) {
  const mode_t mode = root == RegistryRoot::kLocalMachine ? 0755 : 0700;
  for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string level = dir.substr(0, slash);
    if (mkdir(level.c_str(), mode) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// Whether a store's file or directory is one to trust: the user's own or
// root's, and writable by nobody else.
bool Trusted(const struct stat& info) {
  return (info.st_uid == geteuid() || info.st_uid == 0) && !(info.st_mode & (S_IWGRP | S_IWOTH));
}

// What stands at a store's path: nothing, something to trust (a directory
// or a file as asked, or a link to one, both trusted), something not to, or
// what cannot be looked at.
StoreState PlaceState(const std::string& place, bool directory) {
  struct stat info;
  if (lstat(place.c_str(), &info) != 0) {
    const int error = errno;
    return error == ENOENT ? StoreState::kUsable : StoreState::kUnreadable;
  }
  if (S_ISLNK(info.st_mode)) {
    if (info.st_uid != geteuid() && info.st_uid != 0) return StoreState::kUntrusted;
    if (stat(place.c_str(), &info) != 0) return StoreState::kUnreadable;
  }
  const bool kind = directory ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
  return kind && Trusted(info) ? StoreState::kUsable : StoreState::kUntrusted;
}

// The state of a root's store as far as its directory and file tell it;
// `*culprit` names the one at fault.
StoreState StoreStateOf(RegistryRoot root, const std::string& path, std::string* culprit = nullptr) {
  if (path.empty()) return StoreState::kNoHome;
  const std::string directory = DatabaseDirectory(root);
  if (culprit != nullptr) *culprit = directory;
  const StoreState directoryState = PlaceState(directory, true);
  if (directoryState != StoreState::kUsable) return directoryState;
  if (culprit != nullptr) *culprit = path;
  return PlaceState(path, false);
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindBlob(int index, std::string_view data) {
    sqlite3_bind_blob(stmt_, index, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindInt(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  std::string_view Blob(int column) {
    const void* data = sqlite3_column_blob(stmt_, column);
    return {static_cast<const char*>(data), static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// One open database per root and thread, opened again when the store moves
// or its file is replaced, or a write needs what a read did not open.
struct Connection {
  sqlite3* db = nullptr;
  std::string path;
  ino_t inode = 0;
  bool writable = false;
  ~Connection() { Close(); }
  void Close() {
    if (db) sqlite3_close(db);
    db = nullptr;
  }
};

// Reading; changing a store that exists; writing, which creates the store.
enum class Access { kRead, kChange, kWrite };

// The shared store keeps its journal beside the database only while it
// writes: a user who may only read it can still read it. The per-user store
// writes ahead, which lets a run read while a dialog writes.
const char* JournalPragma(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"
                                             : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;";
}

// The root's database, open for reading or for writing; null when the store
// cannot be used, or for a read, when there is none yet.
sqlite3* Open(RegistryRoot root, Access access) {
  if (root == RegistryRoot::kNone) return nullptr;
  thread_local Connection connections[2];
  Connection& c = connections[root == RegistryRoot::kLocalMachine ? 1 : 0];
  const std::string path = DatabasePath(root);
  const StoreState state = StoreStateOf(root, path);
  struct stat info;
  if (state != StoreState::kUsable) {
    c.Close();
    return nullptr;
  }
  const bool exists = stat(path.c_str(), &info) == 0;
  // The owner of a shared store written ahead (as older versions kept it)
  // reads it as a writer, which keeps its journal beside it from then on.
  if (access == Access::kRead && exists && root == RegistryRoot::kLocalMachine && info.st_uid == geteuid())
    access = Access::kChange;
  if (!exists) {
    c.Close();
    if (access != Access::kWrite || !MakeDirectories(DatabaseDirectory(root), root)) return nullptr;
  } else if (c.db && c.path == path && c.inode == info.st_ino && (c.writable || access == Access::kRead)) {
    return c.db;
  }
  c.Close();
  const bool writing = access != Access::kRead;
  const int flags = writing ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(path.c_str(), &c.db, flags, nullptr) != SQLITE_OK) {
    c.Close();
    return nullptr;
  }
  sqlite3_busy_timeout(c.db, 10000);
  if (writing &&
      (sqlite3_exec(c.db, JournalPragma(root), nullptr, nullptr, nullptr) != SQLITE_OK ||
       sqlite3_exec(c.db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK)) {
    c.Close();
    return nullptr;
  }
  if (stat(path.c_str(), &info) != 0) {
    c.Close();
    return nullptr;
  }
  c.path = path;
  c.inode = info.st_ino;
  c.writable = writing;
  return c.db;
}

std::string Fold(std::string_view name) { return cp::ToLower(name, cp::CodePage::kUtf8); }

// The paths of a key and of every key above it, root first. Empty
// components ("a\\b", a leading or trailing "\") make the path invalid.
bool KeyAndParents(const std::string& path, std::vector<std::string>& levels) {
  levels.clear();
  if (path.empty()) return true;
  for (size_t start = 0;;) {
    const size_t slash = path.find('\\', start);
    if (slash == start || start == path.size()) return false;
    levels.push_back(path.substr(0, slash));
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

bool KeyExists(sqlite3* db, const std::string& folded) {
  return folded.empty() || Statement(db, "SELECT 1 FROM keys WHERE folded = ?").Bind(1, folded).Step() == SQLITE_ROW;
}

class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db), open_(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {}
  ~Transaction() {
    if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  bool Open() const { return open_; }
  bool Commit() {
    open_ = false;
    return sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  sqlite3* db_;
  bool open_;
};

}  // namespace

StoreState CheckRegistryStore(RegistryRoot root, const std::string&, std::string* where) {
  const std::string path = DatabasePath(root);
  const StoreState state = StoreStateOf(root, path, where);
  if (state != StoreState::kUsable) return state;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return StoreState::kUsable;  // none yet: an empty store
  sqlite3* db = Open(root, Access::kRead);
  if (db == nullptr) return StoreState::kUnreadable;
  // A corrupt file opens; reading its tables tells.
  return Statement(db, "SELECT count(*) FROM keys, vals WHERE 0").Step() == SQLITE_ROW ? StoreState::kUsable
                                                                                       : StoreState::kUnreadable;
}

bool RegistryRead(RegistryRoot root, const std::string& keyPath, const std::string& valueName, size_t maxBytes,
                  std::string& data) {
  sqlite3* db = Open(root, Access::kRead);
  if (!db) return false;
  Statement query(db, "SELECT data FROM vals WHERE key = ? AND folded = ?");
  if (query.Bind(1, Fold(keyPath)).Bind(2, Fold(valueName)).Step() != SQLITE_ROW) return false;
  const std::string_view stored = query.Blob(0);
  if (stored.size() > maxBytes) return false;
  data.assign(stored);
  return true;
}

bool RegistryWrite(RegistryRoot root, const std::string& keyPath, const std::string& valueName, RegistryType type,
                   std::string_view data) {
  std::vector<std::string> levels;
  if (!KeyAndParents(keyPath, levels)) return false;
  sqlite3* db = Open(root, Access::kWrite);
  if (!db) return false;
  Transaction transaction(db);
  if (!transaction.Open()) return false;
  for (const std::string& level : levels) {
    if (Statement(db, "INSERT OR IGNORE INTO keys(folded, path) VALUES(?, ?)").Bind(1, Fold(level)).Bind(2, level).Step() !=
        SQLITE_DONE)
      return false;
  }
  Statement store(db, "INSERT OR REPLACE INTO vals(key, folded, name, type, data) VALUES(?, ?, ?, ?, ?)");
  store.Bind(1, Fold(keyPath)).Bind(2, Fold(valueName)).Bind(3, valueName);
  if (store.BindInt(4, static_cast<int64_t>(type)).BindBlob(5, data).Step() != SQLITE_DONE) return false;
  return transaction.Commit();
}

bool RegistryDeleteKey(RegistryRoot root, const std::string& keyPath) {
  const std::string folded = Fold(keyPath);
  if (folded.empty()) return false;
  sqlite3* db = Open(root, Access::kChange);
  if (!db) return false;
  Transaction transaction(db);
  if (!transaction.Open() || !KeyExists(db, folded)) return false;
  // Subkeys sort between "key\" and "key]", the byte after "\".
  Statement children(db, "SELECT 1 FROM keys WHERE folded > ? AND folded < ? LIMIT 1");
  if (children.Bind(1, folded + "\\").Bind(2, folded + "]").Step() != SQLITE_DONE) return false;
  if (Statement(db, "DELETE FROM vals WHERE key = ?").Bind(1, folded).Step() != SQLITE_DONE ||
      Statement(db, "DELETE FROM keys WHERE folded = ?").Bind(1, folded).Step() != SQLITE_DONE)
    return false;
  return transaction.Commit();
}

bool RegistryDeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
  sqlite3* db = Open(root, Access::kChange);
  if (!db) return false;
  Transaction transaction(db);
  const std::string folded = Fold(keyPath);
  if (!transaction.Open() || !KeyExists(db, folded)) return false;
  if (Statement(db, "DELETE FROM vals WHERE key = ? AND folded = ?").Bind(1, folded).Bind(2, Fold(valueName)).Step() !=
          SQLITE_DONE ||
      sqlite3_changes(db) == 0)
    return false;
  return transaction.Commit();
}

}  // namespace platform
