// Helpers of the schema tests: a host database in memory and query results
// as text, one row per line, columns separated by "|", Null as "NULL".
#pragma once

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace zelmora::testing {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;

// A handle with the TSQL extensions; `path` defaults to a private in-memory
// database.
inline DbPtr OpenDb(const std::string& path = ":memory:") {
  sqlite3* raw = nullptr;
  if (sqlite3_open(path.c_str(), &raw) != SQLITE_OK) {
    sqlite3_close(raw);
    throw std::runtime_error("cannot open " + path);
  }
  DbPtr db(raw);
  if (RegisterTsqlExtensions(raw) != SQLITE_OK) throw std::runtime_error("cannot register the TSQL extensions");
  return db;
}

inline DbPtr OpenHostDb() {
  DbPtr db = OpenDb();
  CreateHostSchema(db.get());
  return db;
}

inline void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error != nullptr ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error(message + " in: " + sql);
  }
}

inline std::string Rows(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql);
  }
  std::string out;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      if (i > 0) out += "|";
      const unsigned char* text = sqlite3_column_text(stmt, i);
      out += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
    }
    out += "\n";
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql);
  return out;
}

// The single value of a one-row, one-column query, as an integer.
inline long long Count(sqlite3* db, const std::string& sql) {
  const std::string text = Rows(db, sql);
  return std::stoll(text);
}

}  // namespace zelmora::testing
