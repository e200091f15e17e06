#include "platform/odbc/odbc_backend.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/odbc/odbc_types.h"
#include "platform/odbc/utf16.h"
#include "platform/sqlite/sqlite_backend.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

using tsql::SqlType;
using tsql::TypeKind;

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide characters are UTF-16");

std::u16string Wide(std::string_view text) { return Utf8ToUtf16(text); }
SQLWCHAR* WidePtr(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

// The first diagnostic record of a handle as an Error: the server's own
// error number where it has one that fits (208, 245, 8134...), SQLite's
// numbering (30000 + its code) for a driver over SQLite, the client's
// generic failure otherwise with the SQLSTATE in the text.
Error Diagnostic(SQLSMALLINT handleType, SQLHANDLE handle, bool overSqlite, const char* during) {
  SQLWCHAR state[6] = {};
  SQLINTEGER native = 0;
  std::u16string message(1024, u'\0');
  SQLSMALLINT length = 0;
  const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, 1, state, &native, WidePtr(message),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
  if (!SQL_SUCCEEDED(rc)) return Error(kOdbcFailure, std::string("The ODBC driver failed ") + during + " and said nothing.");
  message.resize(std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
  const std::string text = Utf16ToUtf8(message);
  std::string sqlState;
  for (SQLWCHAR c : state) {
    if (c) sqlState += static_cast<char>(c);
  }
  if (sqlState == "HYT00" || sqlState == "HYT01") return Error(kQueryTimeout, "Query timeout expired");
  if (overSqlite && native > 0) return Error(kSqliteErrorBase + (native & 0xff), text);
  if (native > 0 && native <= std::numeric_limits<int16_t>::max()) return Error(native, text);
  std::string description = text + " (SQLSTATE " + sqlState;
  if (native != 0) description += ", native error " + std::to_string(native);
  return Error(kOdbcFailure, description + ")");
}

// An ODBC handle that frees itself.
class Handle {
 public:
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
      handle_ = SQL_NULL_HANDLE;
      throw Error(kOdbcFailure, "The ODBC driver manager could not allocate a handle.");
    }
  }
  ~Handle() {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// True when the text holds something besides blanks and comments.
bool HasCommand(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      const size_t end = text.find('\n', i);
      i = end == std::string_view::npos ? text.size() : end + 1;
    } else if (text.compare(i, 2, "/*") == 0) {
      const size_t end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 2;
    } else {
      return true;
    }
  }
  return false;
}

// A decimal with exactly `scale` decimals.
Decimal Rescale(const Decimal& value, int scale) {
  scale = std::min(scale, Decimal::kMaxScale);
  const Decimal rounded = value.scale() > scale ? value.RoundHalfAwayFromZero(scale) : value;
  Decimal::Mantissa m = rounded.mantissa();
  for (int s = rounded.scale(); s < scale; ++s) m *= 10;
  return Decimal::FromParts(m, scale);
}

struct Column {
  std::string name;
  SQLSMALLINT sqlType = 0;
  SqlType type;
  FieldInfo field;
};

class OdbcBackend : public DatabaseBackend {
 public:
  OdbcBackend() : environment_(SQL_HANDLE_ENV, static_cast<SQLHANDLE>(nullptr)), connection_(Allocate()) {}

  ~OdbcBackend() override {
    if (connected_) SQLDisconnect(connection_->get());
  }

  void Connect(const OdbcTarget& target) {
    if (target.loginTimeoutSeconds > 0) {
      SQLSetConnectAttrW(connection_->get(), SQL_ATTR_LOGIN_TIMEOUT,
                         reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(target.loginTimeoutSeconds)), 0);
    }
    std::u16string text = Wide(target.connectionString);
    const SQLRETURN rc = SQLDriverConnectW(connection_->get(), nullptr, WidePtr(text), SQL_NTS, nullptr, 0, nullptr,
                                           SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) throw Diagnostic(SQL_HANDLE_DBC, connection_->get(), false, "to connect");
    connected_ = true;
    SQLWCHAR name[64] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfoW(connection_->get(), SQL_DBMS_NAME, name, sizeof(name), &length))) {
      const std::u16string dbms(reinterpret_cast<const char16_t*>(name));
      overSqlite_ = EqualsIgnoreCase(Utf16ToUtf8(dbms), "SQLite");
    }
  }

  RecordsetPtr Execute(std::string_view commandText, bool returnsRows, int32_t timeoutSeconds) override {
    if (!HasCommand(commandText)) throw Error(kNoCommandText, "Command text was not set for the command object.");
    Handle statement(SQL_HANDLE_STMT, connection_->get());
    if (timeoutSeconds > 0) {
      // A driver that cannot time out a statement runs it without one.
      SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
    }
    std::u16string text = Wide(commandText);
    SQLRETURN rc = SQLExecDirectW(statement.get(), WidePtr(text), static_cast<SQLINTEGER>(text.size()));
    Check(rc, statement, "to run the command");
    RecordsetPtr last;
    // A batch gives one result per statement: row counts, and the sets of
    // rows of its queries. Every one is read, so that a failure in a later
    // statement is reported.
    while (rc != SQL_NO_DATA) {
      SQLSMALLINT columns = 0;
      Check(SQLNumResultCols(statement.get(), &columns), statement, "to describe the result");
      if (columns > 0) {
        RecordsetPtr rows = Collect(statement, columns, returnsRows);
        if (returnsRows) last = std::move(rows);
      }
      rc = SQLMoreResults(statement.get());
      Check(rc, statement, "to run the command");
    }
    if (!returnsRows) return nullptr;
    if (last) return last;
    return std::make_shared<Recordset>();  // no statement returned rows: a closed recordset
  }

 private:
  std::unique_ptr<Handle> Allocate() {
    SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return std::make_unique<Handle>(SQL_HANDLE_DBC, environment_.get());
  }

  void Check(SQLRETURN rc, const Handle& statement, const char* during) const {
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA) return;
    throw Diagnostic(statement.type(), statement.get(), overSqlite_, during);
  }

  RecordsetPtr Collect(const Handle& statement, SQLSMALLINT count, bool keep) {
    std::vector<Column> columns(static_cast<size_t>(count));
    for (SQLSMALLINT i = 0; i < count; ++i) {
      std::u16string name(256, u'\0');
      SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      Check(SQLDescribeColW(statement.get(), static_cast<SQLUSMALLINT>(i + 1), WidePtr(name),
                            static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType, &size, &digits, &nullable),
            statement, "to describe the result");
      name.resize(std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(nameLength, 0)), name.size() - 1));
      Column& c = columns[static_cast<size_t>(i)];
      c.name = Utf16ToUtf8(name);
      c.sqlType = sqlType;
      c.type = OdbcColumnType(sqlType, size, digits);
      c.field = OdbcField(c.name, sqlType, size, digits);
    }
    auto arena = std::make_unique<RowArena>();
    std::vector<Row> rows;
    for (;;) {
      const SQLRETURN rc = SQLFetch(statement.get());
      if (rc == SQL_NO_DATA) break;
      Check(rc, statement, "to read a row");
      if (!keep) continue;
      Row row{RowAllocator<Variant>(arena.get())};
      row.reserve(columns.size());
      for (size_t i = 0; i < columns.size(); ++i) row.push_back(Read(statement, static_cast<SQLUSMALLINT>(i + 1), columns[i]));
      rows.push_back(std::move(row));
    }
    if (!keep) return nullptr;
    std::vector<FieldInfo> fields;
    fields.reserve(columns.size());
    for (Column& c : columns) fields.push_back(std::move(c.field));
    return Recordset::FromRows(std::move(fields), std::move(rows), std::move(arena));
  }

  // One value of the current row as the recordset holds a field of its type.
  Variant Read(const Handle& statement, SQLUSMALLINT number, const Column& c) {
    SQLLEN indicator = 0;
    switch (c.type.kind) {
      case TypeKind::Bit:
      case TypeKind::TinyInt:
      case TypeKind::SmallInt:
      case TypeKind::Int:
      case TypeKind::BigInt: {
        SQLBIGINT v = 0;
        Check(SQLGetData(statement.get(), number, SQL_C_SBIGINT, &v, sizeof(v), &indicator), statement,
              "to read a value");
        if (indicator == SQL_NULL_DATA) return Variant::Null();
        if (c.type.kind == TypeKind::Bit) return Variant::Boolean(v != 0);
        if (c.type.kind == TypeKind::TinyInt || c.type.kind == TypeKind::SmallInt) {
          return Variant::Integer(static_cast<int16_t>(v));
        }
        if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
          return Variant::Long(static_cast<int32_t>(v));
        }
        return Variant::Dec(Decimal::FromInt(v));
      }
      case TypeKind::Decimal: {
        // As text: a decimal of 38 digits is exact only so.
        char text[64] = {};
        Check(SQLGetData(statement.get(), number, SQL_C_CHAR, text, sizeof(text), &indicator), statement,
              "to read a value");
        if (indicator == SQL_NULL_DATA) return Variant::Null();
        std::string digits(TrimBlanks(text));
        if (!digits.empty() && digits[0] == '.') digits.insert(0, "0");
        if (digits.size() > 1 && digits[0] == '-' && digits[1] == '.') digits.insert(1, "0");
        std::optional<Decimal> d = Decimal::Parse(digits);
        if (!d) throw Error(8114, "Error converting data type varchar to numeric.");
        return Variant::Dec(Rescale(*d, c.type.scale));
      }
      case TypeKind::Real:
      case TypeKind::Float: {
        double v = 0;
        Check(SQLGetData(statement.get(), number, SQL_C_DOUBLE, &v, sizeof(v), &indicator), statement,
              "to read a value");
        if (indicator == SQL_NULL_DATA) return Variant::Null();
        return Variant::Double(v);
      }
      case TypeKind::DateTime: {
        SQL_TIMESTAMP_STRUCT t = {};
        Check(SQLGetData(statement.get(), number, SQL_C_TYPE_TIMESTAMP, &t, sizeof(t), &indicator), statement,
              "to read a value");
        if (indicator == SQL_NULL_DATA) return Variant::Null();
        std::optional<Date> date = Date::FromYMDHMS(t.year, t.month, t.day, t.hour, t.minute, t.second);
        if (!date) throw Error(242, "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
        return Variant::FromDate(*date);
      }
      default: {
        std::optional<std::string> text = ReadText(statement, number);
        if (!text) return Variant::Null();
        return Variant::String(std::move(*text));
      }
    }
  }

  // Text of any length, in pieces.
  std::optional<std::string> ReadText(const Handle& statement, SQLUSMALLINT number) {
    std::u16string whole;
    std::u16string piece(4096, u'\0');
    const SQLLEN pieceBytes = static_cast<SQLLEN>(piece.size() * sizeof(char16_t));
    for (;;) {
      SQLLEN indicator = 0;
      const SQLRETURN rc = SQLGetData(statement.get(), number, SQL_C_WCHAR, piece.data(), pieceBytes, &indicator);
      if (rc == SQL_NO_DATA) break;
      Check(rc, statement, "to read a value");
      if (indicator == SQL_NULL_DATA) return std::nullopt;
      // A piece that did not hold the rest is full, less its terminator.
      const bool partial = rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator >= pieceBytes);
      const size_t units = partial ? piece.size() - 1 : static_cast<size_t>(indicator) / sizeof(char16_t);
      whole.append(piece.data(), units);
      if (!partial) break;
    }
    return Utf16ToUtf8(whole);
  }

  Handle environment_;
  std::unique_ptr<Handle> connection_;
  bool connected_ = false;
  bool overSqlite_ = false;
};

}  // namespace

std::unique_ptr<DatabaseBackend> OpenOdbcBackend(const OdbcTarget& target) {
  auto backend = std::make_unique<OdbcBackend>();
  backend->Connect(target);
  return backend;
}

}  // namespace zelmora
