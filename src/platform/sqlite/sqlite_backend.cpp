#include "platform/sqlite/sqlite_backend.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "platform/error.h"
#include "platform/sqlite/server_error.h"
#include "platform/sqlite/sqlite_extensions.h"
#include "platform/sqlite/tsql_parser.h"
#include "platform/sqlite/tsql_text.h"
#include "platform/sqlite/tsql_translator.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

using tsql::SqlType;
using tsql::TypeKind;

std::atomic<int> lockWaitMs{5000};

std::string Seconds(int ms) {
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text + " s";
}

Error Failure(sqlite3* db, int rc, bool timedOut) {
  if (timedOut && (rc & 0xff) == SQLITE_INTERRUPT) return Error(kQueryTimeout, "Query timeout expired");
  // A lock held by another connection: said as such, with the time waited
  // for it (SQLite's own "database is locked" does not say that it waited).
  if ((rc & 0xff) == SQLITE_BUSY) {
    return Error(kSqliteErrorBase + SQLITE_BUSY, "The database is locked by another connection (waited " +
                                                     Seconds(lockWaitMs.load()) + " for it to be released; SQLite error " +
                                                     std::to_string(db ? sqlite3_extended_errcode(db) : rc) + ")");
  }
  if ((rc & 0xff) == SQLITE_LOCKED) {
    return Error(kSqliteErrorBase + SQLITE_LOCKED,
                 "A table of the database is locked by another statement of the same connection (SQLite error " +
                     std::to_string(db ? sqlite3_extended_errcode(db) : rc) + ")");
  }
  const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  if (std::optional<Error> server = tsql::ServerErrorFromMessage(message)) return *server;
  const int extended = db ? sqlite3_extended_errcode(db) : rc;
  return Error(kSqliteErrorBase + (rc & 0xff), message + " (SQLite error " + std::to_string(extended) + ")");
}

// A prepared statement that finalizes itself.
class Prepared {
 public:
  Prepared(sqlite3* db, const std::string& sql, const bool& timedOut) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) throw Failure(db, rc, timedOut);
  }
  ~Prepared() { sqlite3_finalize(stmt_); }
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  // true while there is a row.
  bool Step(const bool& timedOut) {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw Failure(db_, rc, timedOut);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// A decimal with exactly `scale` decimals (half away from zero when it had more).
Decimal Rescale(const Decimal& value, int scale) {
  scale = std::min(scale, Decimal::kMaxScale);
  const Decimal rounded = value.scale() > scale ? value.RoundHalfAwayFromZero(scale) : value;
  Decimal::Mantissa m = rounded.mantissa();
  for (int s = rounded.scale(); s < scale; ++s) m *= 10;
  return Decimal::FromParts(m, scale);
}

Error Overflow(const SqlType& t) {
  return Error(8115, "Arithmetic overflow error converting expression to data type " + std::string(t.MessageName()) + ".");
}

std::string ColumnText(sqlite3_stmt* st, int i) {
  const unsigned char* p = sqlite3_column_text(st, i);
  return std::string(p ? reinterpret_cast<const char*>(p) : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
}

int64_t ColumnInteger(sqlite3_stmt* st, int i, const SqlType& t) {
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return sqlite3_column_int64(st, i);
    case SQLITE_FLOAT: {
      const double d = sqlite3_column_double(st, i);
      if (!(d > -9.2e18 && d < 9.2e18)) throw Overflow(t);
      return static_cast<int64_t>(d);
    }
    default: {
      std::optional<int64_t> v = tsql::TextToInteger(ColumnText(st, i));
      if (!v) {
        throw Error(245, "Conversion failed when converting the varchar value '" + ColumnText(st, i) +
                             "' to data type " + std::string(t.MessageName()) + ".");
      }
      return *v;
    }
  }
}

// One value of a result column as the recordset holds a field of its type.
Variant ColumnValue(sqlite3_stmt* st, int i, const SqlType& t) {
  const int storage = sqlite3_column_type(st, i);
  if (storage == SQLITE_NULL) return Variant::Null();
  switch (t.kind) {
    case TypeKind::Bit: return Variant::Boolean(ColumnInteger(st, i, t) != 0);
    case TypeKind::TinyInt:
    case TypeKind::SmallInt: {
      const int64_t v = ColumnInteger(st, i, t);
      if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) throw Overflow(t);
      return Variant::Integer(static_cast<int16_t>(v));
    }
    case TypeKind::Null:
    case TypeKind::Int: {
      const int64_t v = ColumnInteger(st, i, t);
      if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) throw Overflow(t);
      return Variant::Long(static_cast<int32_t>(v));
    }
    case TypeKind::BigInt: {
      const int64_t v = ColumnInteger(st, i, t);
      if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
        return Variant::Long(static_cast<int32_t>(v));
      }
      return Variant::Dec(Decimal::FromInt(v));
    }
    case TypeKind::Decimal: {
      Decimal d;
      if (storage == SQLITE_INTEGER) {
        d = Decimal::FromInt(sqlite3_column_int64(st, i));
      } else if (storage == SQLITE_FLOAT) {
        d = Decimal::FromStoredDouble(sqlite3_column_double(st, i));
      } else {
        std::optional<Decimal> parsed = tsql::TextToDecimal(ColumnText(st, i));
        if (!parsed) parsed = Decimal::Parse(ColumnText(st, i));
        if (!parsed) throw Error(8114, "Error converting data type varchar to numeric.");
        d = *parsed;
      }
      return Variant::Dec(Rescale(d, t.scale));
    }
    case TypeKind::Real:
    case TypeKind::Float: {
      if (storage == SQLITE_TEXT) {
        std::optional<double> d = tsql::TextToFloat(ColumnText(st, i));
        if (!d) throw Error(8114, "Error converting data type varchar to float.");
        return Variant::Double(*d);
      }
      return Variant::Double(sqlite3_column_double(st, i));
    }
    case TypeKind::Char:
    case TypeKind::NChar: {
      std::string text = ColumnText(st, i);
      const size_t length = Utf8Length(text);
      if (t.length > 0 && length < static_cast<size_t>(t.length)) text.append(t.length - length, ' ');
      return Variant::String(std::move(text));
    }
    case TypeKind::VarChar:
    case TypeKind::NVarChar: return Variant::String(ColumnText(st, i));
    case TypeKind::DateTime: {
      std::optional<tsql::DateParts> d;
      if (storage == SQLITE_TEXT) {
        const std::string text = ColumnText(st, i);
        d = tsql::ParseDateText(text);
        if (!d) {
          if (std::optional<double> n = tsql::TextToFloat(text)) d = tsql::DateFromStored(*n);
        }
      } else {
        d = tsql::DateFromStored(sqlite3_column_double(st, i));
      }
      if (!d) throw Error(241, "Conversion failed when converting date and/or time from character string.");
      std::optional<Date> date = Date::FromYMDHMS(d->year, d->month, d->day, d->hour, d->minute, d->second);
      if (!date) throw Error(241, "Conversion failed when converting date and/or time from character string.");
      return Variant::FromDate(*date);
    }
    case TypeKind::Unknown: break;
  }
  // No declared type: the value as SQLite holds it.
  switch (storage) {
    case SQLITE_INTEGER: {
      const int64_t v = sqlite3_column_int64(st, i);
      if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
        return Variant::Long(static_cast<int32_t>(v));
      }
      return Variant::Dec(Decimal::FromInt(v));
    }
    case SQLITE_FLOAT: return Variant::Double(sqlite3_column_double(st, i));
    default: return Variant::String(ColumnText(st, i));
  }
}

// The field of a column without a declared type, from the values it holds.
FieldInfo FieldFromValues(const std::string& name, const std::vector<Row>& rows, size_t column) {
  bool text = false, real = false, wide = false;
  size_t longest = 0;
  for (const Row& row : rows) {
    const Variant& v = row[column];
    switch (v.type()) {
      case VarType::String:
        text = true;
        longest = std::max(longest, Utf8Length(v.AsString()));
        break;
      case VarType::Double: real = true; break;
      case VarType::Decimal: wide = true; break;
      default: break;
    }
  }
  if (text) {
    FieldInfo f = tsql::FieldFor(name, SqlType::Text(TypeKind::VarChar, static_cast<int>(std::max<size_t>(longest, 1))));
    if (real || wide) f.type = DataType::Variant;
    return f;
  }
  if (real) return tsql::FieldFor(name, SqlType::Of(TypeKind::Float));
  if (wide) return tsql::FieldFor(name, SqlType::Of(TypeKind::BigInt));
  return tsql::FieldFor(name, SqlType::Of(TypeKind::Int));
}

class SqliteBackend : public DatabaseBackend {
 public:
  SqliteBackend(sqlite3* db, const tsql::RewriteOptions& rewrites) : db_(db), catalog_(db), rewrites_(rewrites) {}
  ~SqliteBackend() override { sqlite3_close_v2(db_); }

  RecordsetPtr Execute(std::string_view commandText, bool returnsRows, int32_t timeoutSeconds) override {
    std::vector<tsql::StatementPtr> batch = tsql::ParseBatch(commandText);
    if (batch.empty()) throw Error(kNoCommandText, "Command text was not set for the command object.");
    timedOut_ = false;
    if (timeoutSeconds > 0) {
      deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
      sqlite3_progress_handler(db_, 20000, &SqliteBackend::Progress, this);
    } else {
      sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    }
    // A lock held by another connection is waited for a moment, within the
    // command's own timeout.
    const int64_t commandMs = static_cast<int64_t>(timeoutSeconds) * 1000;
    sqlite3_busy_timeout(db_, timeoutSeconds > 0 ? static_cast<int>(std::min<int64_t>(commandMs, lockWaitMs.load()))
                                                 : lockWaitMs.load());
    result_.reset();
    wantRows_ = returnsRows;
    catalog_.Forget();
    for (tsql::StatementPtr& statement : batch) Run(statement);
    if (!returnsRows) return nullptr;
    if (result_) return std::move(result_);
    return std::make_shared<Recordset>();  // no statement returned rows: a closed recordset
  }

 private:
  static int Progress(void* self) {
    auto* backend = static_cast<SqliteBackend*>(self);
    if (std::chrono::steady_clock::now() < backend->deadline_) return 0;
    backend->timedOut_ = true;
    return 1;
  }

  // Runs one statement and releases it: a statement runs once, and the
  // parsed tree of the declaration's query (some 0.4 MB) need not be held
  // while its rows are read.
  void Run(tsql::StatementPtr& owner) {
    tsql::Statement& s = *owner;
    switch (s.kind) {
      case tsql::Statement::Kind::If: {
        bool holds = false;
        {
          // Finished before the branch runs: a branch may drop a table the condition read.
          Prepared p(db_, tsql::TranslateCondition(*s.condition, catalog_, rewrites_), timedOut_);
          holds = p.Step(timedOut_) && sqlite3_column_int(p.get(), 0) != 0;
        }
        if (holds) {
          Run(s.thenBranch);
        } else if (s.elseBranch) {
          Run(s.elseBranch);
        }
        return;
      }
      case tsql::Statement::Kind::Block:
        for (tsql::StatementPtr& inner : s.body) Run(inner);
        return;
      default: break;
    }
    const tsql::Translation t = tsql::Translate(s, catalog_, rewrites_);
    owner.reset();
    // Anything but a query may create or drop a table.
    if (!t.returnsRows) catalog_.Forget();
    for (size_t i = 0; i < t.steps.size(); ++i) {
      Prepared p(db_, t.steps[i], timedOut_);
      if (i + 1 == t.steps.size() && t.returnsRows) {
        Collect(p, t.columns);
      } else {
        while (p.Step(timedOut_)) {
        }
      }
    }
  }

  void Collect(Prepared& p, const std::vector<tsql::ColumnInfo>& columns) {
    auto arena = std::make_unique<RowArena>();
    std::vector<Row> rows;
    while (p.Step(timedOut_)) {
      if (!wantRows_) continue;
      Row row{RowAllocator<Variant>(arena.get())};
      row.reserve(columns.size());
      for (size_t i = 0; i < columns.size(); ++i) row.push_back(ColumnValue(p.get(), static_cast<int>(i), columns[i].type));
      rows.push_back(std::move(row));
    }
    if (!wantRows_) return;
    std::vector<FieldInfo> fields;
    for (size_t i = 0; i < columns.size(); ++i) {
      fields.push_back(columns[i].type.IsUnknown() ? FieldFromValues(columns[i].name, rows, i)
                                                   : tsql::FieldFor(columns[i].name, columns[i].type));
    }
    result_ = Recordset::FromRows(std::move(fields), std::move(rows), std::move(arena));
  }

  sqlite3* db_;
  SqliteCatalog catalog_;
  const tsql::RewriteOptions rewrites_;
  RecordsetPtr result_;
  bool wantRows_ = true;
  bool timedOut_ = false;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace

std::optional<std::vector<tsql::ColumnInfo>> SqliteCatalog::Columns(const std::string& name, bool temporary) {
  std::string key = (temporary ? "t:" : "m:") + name;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  auto found = known_.find(key);
  if (found != known_.end()) return found->second;
  const bool never = false;
  Prepared p(db_, "SELECT name, type FROM pragma_table_info(?1, ?2)", never);
  sqlite3_bind_text(p.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(p.get(), 2, temporary ? "temp" : "main", -1, SQLITE_STATIC);
  std::vector<tsql::ColumnInfo> columns;
  while (p.Step(never)) {
    tsql::ColumnInfo c;
    c.name = reinterpret_cast<const char*>(sqlite3_column_text(p.get(), 0));
    const unsigned char* type = sqlite3_column_text(p.get(), 1);
    c.type = tsql::ParseDeclaredType(type ? reinterpret_cast<const char*>(type) : "");
    columns.push_back(std::move(c));
  }
  std::optional<std::vector<tsql::ColumnInfo>> result;
  if (!columns.empty()) result = std::move(columns);
  known_[key] = result;
  return result;
}

void SetSqliteLockWait(std::chrono::milliseconds wait) {
  lockWaitMs.store(static_cast<int>(std::clamp<int64_t>(wait.count(), 0, 600000)));
}

std::chrono::milliseconds SqliteLockWait() { return std::chrono::milliseconds(lockWaitMs.load()); }

std::unique_ptr<DatabaseBackend> OpenSqliteBackend(const std::string& path, const tsql::RewriteOptions& rewrites) {
  sqlite3* db = nullptr;
  // One thread at a time uses a connection: no locking inside SQLite.
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  auto fail = [&](int code) {
    Error e = Failure(db, code, false);
    sqlite3_close_v2(db);
    return Error(e.number(), e.description() + ": " + path);
  };
  if (rc != SQLITE_OK) throw fail(rc);
  rc = RegisterTsqlExtensions(db);
  if (rc != SQLITE_OK) throw fail(rc);
  // Reading the schema below needs a shared lock: a writer's lock is
  // waited for a moment before the open fails.
  sqlite3_busy_timeout(db, lockWaitMs.load());
  // Reading the schema proves that the file is a database. The statements
  // read their period's rows through indexes and seldom come back to a
  // page: the declaration of a month of a million movements makes the same
  // 30,397 page reads with a cache of 256 KiB as with one of 1 MiB, so a
  // larger cache would only hold memory. (Each sorter of a statement keeps
  // up to about 1 MB in memory before it writes runs out, whatever the
  // cache.)
  rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master; PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw fail(rc);
  return std::make_unique<SqliteBackend>(db, rewrites);
}

}  // namespace zelmora
