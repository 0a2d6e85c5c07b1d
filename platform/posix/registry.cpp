#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/stat.h>
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

std::string DatabaseDirectory(RegistryRoot root) {
  if (const char* moved = std::getenv("KELMORAY_REGISTRY_DIR"); moved && *moved) return moved;
  if (root == RegistryRoot::kLocalMachine) return "/var/lib/kelmoray";
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) return std::string(config) + "/kelmoray";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/kelmoray";
}

std::string DatabasePath(RegistryRoot root) {
  return DatabaseDirectory(root) + (root == RegistryRoot::kLocalMachine ? "/local_machine.sqlite" : "/current_user.sqlite");
}

bool MakeDirectories(const std::string& dir) {
  for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string level = dir.substr(0, slash);
    if (mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
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
// or its file is replaced.
struct Connection {
  sqlite3* db = nullptr;
  std::string path;
  ino_t inode = 0;
  ~Connection() { Close(); }
  void Close() {
    if (db) sqlite3_close(db);
    db = nullptr;
  }
};

enum class Access { kRead, kWrite };

sqlite3* Open(RegistryRoot root, Access access) {
  if (root == RegistryRoot::kNone) return nullptr;
  thread_local Connection connections[2];
  Connection& c = connections[root == RegistryRoot::kLocalMachine ? 1 : 0];
  const std::string path = DatabasePath(root);
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    c.Close();
    if (access == Access::kRead || !MakeDirectories(DatabaseDirectory(root))) return nullptr;
  } else if (c.db && c.path == path && c.inode == info.st_ino) {
    return c.db;
  }
  c.Close();
  if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    c.Close();
    return nullptr;
  }
  sqlite3_busy_timeout(c.db, 10000);
  if (sqlite3_exec(c.db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_exec(c.db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK || stat(path.c_str(), &info) != 0) {
    c.Close();
    return nullptr;
  }
  c.path = path;
  c.inode = info.st_ino;
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
  sqlite3* db = Open(root, Access::kRead);
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
  sqlite3* db = Open(root, Access::kRead);
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
