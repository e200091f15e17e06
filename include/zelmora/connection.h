// The database client's connection: ADO-style connection strings
// ("Provider=SQLite;Data Source=PATH", "Provider=SQLOLEDB;Data Source=HOST;
// ..."; keys case-insensitive), Execute of
// command text returning a disconnected snapshot, and the settings the
// component makes before opening. The work is done by a backend chosen by
// the connection string's provider.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "zelmora/object.h"
#include "zelmora/recordset.h"

namespace zelmora {

// Execute options.
constexpr int32_t kCmdText = 1;
constexpr int32_t kExecuteNoRecords = 128;
// Settings values the component uses.
constexpr int32_t kUseClient = 3;
constexpr int32_t kIsolationSerializable = 0x100000;
// A connection string that cannot be used as written (no database named, a
// sign-in this system cannot do): the low word of the database client's
// 0x80040E73, with a description of what is wrong.
constexpr int32_t kBadConnectionString = 0x0E73;

// "Key=Value;Key=Value" parsed with lower-cased keys; values keep their text
// (surrounding blanks removed; values may be quoted with " or ').
std::map<std::string, std::string> ParseConnectionString(std::string_view text);

// One database engine behind a connection.
class DatabaseBackend {
 public:
  virtual ~DatabaseBackend() = default;
  // Runs a command text (one statement or a batch). When returnsRows is
  // true, the result is the snapshot of the batch's last row-returning
  // SELECT (an empty, closed recordset when there is none); otherwise
  // nullptr. Failures throw Error with a 16-bit-safe number and the
  // backend's message.
  virtual RecordsetPtr Execute(std::string_view commandText, bool returnsRows, int32_t timeoutSeconds) = 0;
};

// A database connection of the database client: opened from a connection
// string, it runs command text and returns disconnected recordsets.
class Connection : public Object {
 public:
  // Wraps the backend a connection opens (tests put a failing one around it).
  using BackendWrapper = std::function<std::unique_ptr<DatabaseBackend>(std::unique_ptr<DatabaseBackend>)>;

  Connection();
  explicit Connection(BackendWrapper wrap);
  // Puts `wrap` around the backend the next Open makes, outside any wrapper
  // given before (a caller that watches the commands of a connection that
  // someone else made).
  void AddBackendWrapper(BackendWrapper wrap);
  ~Connection() override;
  std::string_view Kind() const override { return "Connection"; }

  std::string ConnectionString;
  int32_t CommandTimeout = 30;
  int32_t CursorLocation = 2;
  int32_t IsolationLevel = 4096;

  // Opens the backend named by the connection string (the argument, or
  // ConnectionString when the argument is empty): Provider=SQLite, a SQL
  // Server provider (SQLOLEDB, MSOLEDBSQL, SQLNCLI) through ODBC, or a plain
  // ODBC string (Driver=... or DSN=...). A string that names no backend this
  // program has fails with error 3706 and says which it named.
  void Open(std::string_view connectionString = {}, std::string_view user = {},
            std::string_view password = {}, int32_t options = -1);
  bool IsOpen() const;
  void Close();
  // options: kCmdText (rows returned) or kCmdText | kExecuteNoRecords.
  // Error 3704 when the connection is not open.
  RecordsetPtr Execute(std::string_view commandText, int32_t options = kCmdText);

 private:
  std::unique_ptr<DatabaseBackend> backend_;
  BackendWrapper wrap_;
};

using ConnectionPtr = std::shared_ptr<Connection>;

}  // namespace zelmora
