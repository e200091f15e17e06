// The SQLite backend of a connection: one database file, the T-SQL
// extensions registered on its handle, and batches of T-SQL run statement by
// statement through the translator. #tables live in the handle's temporary
// schema, so they last as long as the connection.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/connection.h"
#include "platform/sqlite/tsql_translator.h"

struct sqlite3;

namespace zelmora {

// The declared columns of tables and views on an open handle, as the
// translator asks for them: remembered within a batch (a view's columns
// cost SQLite a compilation of the view) and forgotten whenever a statement
// may have changed the schema.
class SqliteCatalog : public tsql::Catalog {
 public:
  explicit SqliteCatalog(sqlite3* db) : db_(db) {}
  void Forget() { known_.clear(); }
  std::optional<std::vector<tsql::ColumnInfo>> Columns(const std::string& name, bool temporary) override;

 private:
  sqlite3* db_;
  std::map<std::string, std::optional<std::vector<tsql::ColumnInfo>>> known_;
};

// Opens an existing database file (nothing is created). Throws Error when
// the file cannot be opened or is not a database. The translator makes the
// rewrites `rewrites` leaves on: every one unless a test compares without.
std::unique_ptr<DatabaseBackend> OpenSqliteBackend(const std::string& path, const tsql::RewriteOptions& rewrites = {});

// How long opening a database and each command wait for a lock another
// connection holds (a writer's) before failing with "The database is
// locked ..." (error 30005): 5 seconds unless set, at most 10 minutes, and
// within a command's own timeout. Process-wide, read at each open and command.
void SetSqliteLockWait(std::chrono::milliseconds wait);
std::chrono::milliseconds SqliteLockWait();

// SQLite's own failures, as a connection reports them: 30000 plus SQLite's
// primary result code (16-bit safe), SQLite's message and its extended code.
constexpr int32_t kSqliteErrorBase = 30000;
// The database client's own failures keep the low word of their code
// (0x80040E31, 0x80040E0C).
constexpr int32_t kQueryTimeout = 0x0E31;
constexpr int32_t kNoCommandText = 0x0E0C;

}  // namespace zelmora
