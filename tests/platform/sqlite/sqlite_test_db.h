// A scratch database file for the SQLite backend tests, and a recordset
// written out as text so that a whole result is compared at once.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace zelmora::testing {

// A database file made with SQLite's own SQL (the T-SQL extensions
// registered, as every handle on a host database has them), removed again
// at the end of the test.
class ScratchDatabase {
 public:
  explicit ScratchDatabase(const std::string& setupSql) {
    char name[] = "/tmp/zelmora-sqlite-test-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    path_ = name;
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    RegisterTsqlExtensions(db);
    char* error = nullptr;
    const std::string script = "PRAGMA synchronous = OFF; BEGIN; " + setupSql + "; COMMIT;";
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      ADD_FAILURE() << "setup failed: " << (error ? error : "?");
      sqlite3_free(error);
    }
    sqlite3_close(db);
  }
  ~ScratchDatabase() { std::remove(path_.c_str()); }
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  const std::string& path() const { return path_; }
  std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path_; }

  ConnectionPtr Open() const {
    auto connection = std::make_shared<Connection>();
    connection->Open(ConnectionString());
    return connection;
  }

 private:
  std::string path_;
};

// "NAME:type(size)" or "NAME:14(p,s)" per field, then one line per row with
// each value marked by its kind: l (Long), i (Integer), d (Decimal, written
// at its scale), f (Double), s (String, quoted), t (Date), b (Boolean), n (Null).
inline std::string RecordsetText(const Recordset& rs) {
  std::string out;
  for (size_t i = 0; i < rs.FieldCount(); ++i) {
    const FieldInfo& f = rs.Field(i);
    out += (i ? " | " : "") + f.name + ":" + std::to_string(static_cast<int>(f.type));
    if (f.type == DataType::Decimal) {
      out += "(" + std::to_string(f.precision) + "," + std::to_string(f.numericScale) + ")";
    } else if (f.type == DataType::VarChar || f.type == DataType::Char || f.type == DataType::VarWChar) {
      out += "(" + std::to_string(f.definedSize) + ")";
    }
  }
  out += "\n";
  for (const Row* row : rs.VisibleRows()) {
    for (size_t i = 0; i < row->size(); ++i) {
      const Variant& v = (*row)[i];
      std::string text;
      switch (v.type()) {
        case VarType::Null: text = "n"; break;
        case VarType::Long: text = "l" + std::to_string(v.AsLong()); break;
        case VarType::Integer: text = "i" + std::to_string(v.AsInteger()); break;
        case VarType::Decimal: text = "d" + v.AsDecimal().ToFixed(v.AsDecimal().scale()); break;
        case VarType::Double: text = "f" + v.ToString(); break;
        case VarType::String: text = "s'" + v.AsString() + "'"; break;
        case VarType::Date: text = "t" + v.AsDate().ToIso(); break;
        case VarType::Boolean: text = v.AsBoolean() ? "bTrue" : "bFalse"; break;
        default: text = "?"; break;
      }
      out += (i ? " | " : "") + text;
    }
    out += "\n";
  }
  return out;
}

}  // namespace zelmora::testing
