#include "cli/movement_data_check.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "cli/options.h"
#include "cli/table_output.h"
#include "platform/connection.h"
#include "platform/decimal.h"
#include "platform/error.h"
#include "platform/sqlite/sqlite_backend.h"
#include "platform/sqlite/tsql_text.h"
#include "telematic/submission_check.h"

namespace zelmora::cli {

namespace {

// The columns read, in the statement's order.
enum Column {
  kRegistration, kDocument, kLine,
  kCompetence, kVatRegistered, kRegistered, kDocumentKind,
  kOperation, kDataKind, kNature, kTransport, kSign,
  kAmount, kCurrencyAmount, kOriginalAmount, kOriginalCurrencyAmount, kStatisticalValue, kMass, kUnits,
  kReferenceMonth, kReferenceYear,
  kColumns
};

constexpr const char* kNames[kColumns] = {
    "IN01_NUMREG_CG41", "CG41_NUMDOC",       "IN02_NUMRIGA",     "IN01_DTCOMPINTRA",    "CG41_DATAREGIVA",
    "CG41_DATAREG",     "IN01_INDTIPODOC",   "IN02_INDOPER",     "IN02_INDTIPODATI",    "IN02_INDNATURA",
    "IN02_INDTRASP",    "IN02_FLGSEGNO",     "IN02_IMPORTO",     "IN02_IMPORTOVAL",     "IN02_IMPORTOORIG",
    "IN02_IMPORTOVALORIG", "IN02_VALSTAT",   "IN02_MASSA",       "IN02_UNSUPPL",        "IN02_MESERIF",
    "IN02_ANNORIF"};

// A code column: the whole numbers it may hold, Null allowed or not.
struct CodeRule {
  Column column;
  std::vector<std::pair<int, int>> ranges;
  bool nullAllowed;
  const char* wants;
};

const std::vector<CodeRule>& CodeRules() {
  static const std::vector<CodeRule> rules = {
      {kDocumentKind, {{1, 4}}, false,
       "1 to 4, the kind of document (else the movement is in neither list)"},
      {kOperation, {{0, 1}}, true, "0 goods, 1 services or Null (else the line is in no section)"},
      {kDataKind, {{0, 2}}, false, "0, 1 or 2, the kind of data (else the line is left out of the declaration)"},
      {kNature, {{0, 10}, {21, 29}}, false,
       "a nature of transaction 0 to 10 or 21 to 29 (else the line is left out or its record broken)"},
      {kTransport, {{0, 9}}, true, "a transport mode 0 to 9 or Null (else the goods record is broken)"},
      {kSign, {{0, 1}}, false, "0 positive or 1 negative (else the amounts are miscounted or left out)"},
  };
  return rules;
}

constexpr Column kAmounts[] = {kAmount, kCurrencyAmount, kOriginalAmount, kOriginalCurrencyAmount,
                               kStatisticalValue, kMass, kUnits};
constexpr Column kWholes[] = {kReferenceMonth, kReferenceYear};

std::string_view TextOf(sqlite3_value* v) {
  const unsigned char* p = sqlite3_value_text(v);
  return std::string_view(p ? reinterpret_cast<const char*>(p) : "", static_cast<size_t>(sqlite3_value_bytes(v)));
}

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

// A stored date as the database layer reads it; nullopt when it is not a
// day. Blank text, which the server would take for 1 January 1900, is no
// day either.
std::optional<tsql::DateParts> DayOf(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_TEXT || sqlite3_value_type(v) == SQLITE_BLOB) {
    const std::string_view text = TextOf(v);
    if (text.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
    if (std::optional<tsql::DateParts> d = tsql::ParseDateText(text)) return d;
    if (std::optional<double> n = tsql::TextToFloat(text)) return tsql::DateFromStored(*n);
    return std::nullopt;
  }
  return tsql::DateFromStored(sqlite3_value_double(v));
}

// A stored amount the database layer reads as a decimal (Null is no amount).
bool ReadsAsDecimal(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
    case SQLITE_INTEGER: return true;
    case SQLITE_FLOAT: return std::isfinite(sqlite3_value_double(v));
    default: {
      const std::string_view text = TextOf(v);
      return tsql::TextToDecimal(text).has_value() || Decimal::Parse(text).has_value();
    }
  }
}

// A stored whole number; nullopt for text that is not one and for a
// fraction (which the statements' comparisons would take as it is).
std::optional<int64_t> WholeOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return sqlite3_value_int64(v);
    case SQLITE_FLOAT: {
      const double d = sqlite3_value_double(v);
      if (!(d > -9.2e18 && d < 9.2e18) || d != std::floor(d)) return std::nullopt;
      return static_cast<int64_t>(d);
    }
    default: return tsql::TextToInteger(TextOf(v));
  }
}

// A stored value as the check shows it: Null, a number, or 'text'.
std::string Shown(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return "Null";
    case SQLITE_INTEGER: return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT: {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.15g", sqlite3_value_double(v));
      return buffer;
    }
    default: return "'" + telematic::Escaped(TextOf(v)) + "'";
  }
}

// A key value (registration, document, line number) as it is stored.
std::string KeyText(sqlite3_value* v) { return IsNull(v) ? "" : telematic::Escaped(TextOf(v)); }

struct Found {
  Column column;
  std::string wants;
};

// The date the period conditions read: the competence date, else the VAT
// registration date, else the registration date.
Column DateColumn(sqlite3_value** v) {
  if (!IsNull(v[kCompetence])) return kCompetence;
  if (!IsNull(v[kVatRegistered])) return kVatRegistered;
  return kRegistered;
}

// Every fault of one row: its date, then its codes, amounts and numbers.
std::vector<Found> RowFaults(sqlite3_value** v) {
  std::vector<Found> found;
  const Column date = DateColumn(v);
  if (IsNull(v[date])) {
    found.push_back({kCompetence, "a day: the movement has no competence date and its entry no registration date, "
                                  "so it is in no declaration"});
  } else if (!DayOf(v[date])) {
    found.push_back({date, "a day (YYYYMMDD): the movement is in no period, so in no declaration"});
  }
  for (const CodeRule& rule : CodeRules()) {
    sqlite3_value* value = v[rule.column];
    if (IsNull(value)) {
      if (!rule.nullAllowed) found.push_back({rule.column, rule.wants});
      continue;
    }
    const std::optional<int64_t> code = WholeOf(value);
    bool inside = false;
    for (const auto& [low, high] : rule.ranges) inside = inside || (code && *code >= low && *code <= high);
    if (!inside) found.push_back({rule.column, rule.wants});
  }
  for (Column column : kAmounts) {
    if (!ReadsAsDecimal(v[column])) {
      found.push_back({column, "a number or Null (an amount that cannot be read fails the declaration)"});
    }
  }
  for (Column column : kWholes) {
    if (!IsNull(v[column]) && !WholeOf(v[column])) {
      found.push_back({column, "a whole number or Null (a value that cannot be read fails the declaration)"});
    }
  }
  return found;
}

// zelmora_faulty(the row's columns): 1 when the row has a fault.
void Faulty(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc != kColumns) return sqlite3_result_error(ctx, "zelmora_faulty: wrong number of columns", -1);
  sqlite3_result_int(ctx, RowFaults(argv).empty() ? 0 : 1);
}

bool InWindow(const ListWindow& window, const tsql::DateParts& day) {
  if (!window.checked) return false;
  const int month = day.year * 12 + day.month;
  return month >= window.year * 12 + window.firstMonth && month <= window.year * 12 + window.lastMonth;
}

class ReadOnlyDatabase {
 public:
  explicit ReadOnlyDatabase(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) Fail(rc, "cannot open " + path);
    sqlite3_busy_timeout(db_, static_cast<int>(SqliteLockWait().count()));
  }
  ~ReadOnlyDatabase() { sqlite3_close_v2(db_); }
  ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
  ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;
  sqlite3* get() const { return db_; }
  [[noreturn]] void Fail(int rc, const std::string& what) const {
    const std::string why = (rc & 0xff) == SQLITE_BUSY ? "the database is locked by another connection"
                            : db_ != nullptr           ? sqlite3_errmsg(db_)
                                                       : sqlite3_errstr(rc);
    throw Error(kSqliteErrorBase + (rc & 0xff), what + ": " + why);
  }

 private:
  sqlite3* db_ = nullptr;
};

// A condition that holds for a row that surely has no fault (stored as
// integers inside every range, an integer date of a day other than 29
// February), so
// that the rows of a large database are let through without calling back
// into the check; every other row is decided by zelmora_faulty.
constexpr const char* kDate = "COALESCE(IN01_DTCOMPINTRA, CG41_DATAREGIVA, CG41_DATAREG)";

std::string SurelyADay() {
  const std::string date = kDate, day = date + " % 100", month = date + " / 100 % 100";
  return "typeof(" + date + ") = 'integer' AND " + date + " BETWEEN 17530101 AND 99991231 AND " + month +
         " BETWEEN 1 AND 12 AND " + day + " >= 1 AND (" + day + " <= 28 OR (" + month + " <> 2 AND " + day +
         " <= 30) OR (" + month + " IN (1, 3, 5, 7, 8, 10, 12) AND " + day + " = 31))";
}

std::string SurelyClean() {
  std::string sql = SurelyADay();
  for (const CodeRule& rule : CodeRules()) {
    const std::string name = kNames[rule.column];
    std::string ranges;
    for (const auto& [low, high] : rule.ranges) {
      ranges += std::string(ranges.empty() ? "" : " OR ") + name + " BETWEEN " + std::to_string(low) + " AND " +
                std::to_string(high);
    }
    const std::string held = "(typeof(" + name + ") = 'integer' AND (" + ranges + "))";
    sql += "\n AND " + (rule.nullAllowed ? "(" + name + " IS NULL OR " + held + ")" : held);
  }
  for (Column column : kAmounts) {
    const std::string name = kNames[column];
    sql += "\n AND (typeof(" + name + ") IN ('integer', 'null') OR (typeof(" + name + ") = 'real' AND abs(" + name +
           ") < 1e308))";
  }
  for (Column column : kWholes) sql += std::string("\n AND typeof(") + kNames[column] + ") IN ('integer', 'null')";
  return sql;
}

std::string Statement() {
  std::string columns;
  for (int c = 0; c < kColumns; ++c) columns += std::string(c == 0 ? "" : ", ") + kNames[c];
  return "SELECT " + columns +
         "\nFROM IN01_DOCTESTA"
         "\nJOIN IN02_RIGHEDOC ON IN02_DITTA_CG18 = IN01_DITTA_CG18 AND IN02_NUMREG_CG41 = IN01_NUMREG_CG41"
         "\nLEFT JOIN CG41_PRIMANOTA ON CG41_DITTA_CG18 = IN01_DITTA_CG18 AND CG41_NUMREG = IN01_NUMREG_CG41"
         "\nWHERE IN01_DITTA_CG18 = ?1"
         // Dates are checked for every movement, the rest in the lists' windows.
         "\n AND (NOT (" + SurelyADay() + ")\n OR " + kDate + " BETWEEN ?2 AND ?3 OR " + kDate + " BETWEEN ?4 AND ?5)"
         "\n AND NOT (" + SurelyClean() + ")\n AND zelmora_faulty(" + columns + ")"
         "\nORDER BY IN01_NUMREG_CG41, IN02_NUMRIGA";
}

}  // namespace

ListWindow WindowOf(int periodicity, int year, int period) {
  switch (periodicity) {
    case 2: return {true, year, period - 2, period};
    case 3: return {true, year, 1, 12};
    default: return {true, year, period, period};
  }
}

std::vector<DataFault> CheckMovementData(const std::string& path, int company, const ListWindow& sales,
                                         const ListWindow& purchases) {
  ReadOnlyDatabase db(path);
  int rc = sqlite3_create_function_v2(db.get(), "zelmora_faulty", kColumns, SQLITE_UTF8, nullptr, Faulty, nullptr,
                                      nullptr, nullptr);
  if (rc != SQLITE_OK) db.Fail(rc, "cannot check the movements");
  sqlite3_stmt* raw = nullptr;
  const std::string sql = Statement();
  rc = sqlite3_prepare_v2(db.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
  if (rc != SQLITE_OK) db.Fail(rc, "cannot read the movements");
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
  sqlite3_bind_int(raw, 1, company);
  // A window's days as stored (YYYYMMDD); an empty range for a list not checked.
  int parameter = 2;
  for (const ListWindow* window : {&sales, &purchases}) {
    const int first = window->year * 12 + window->firstMonth - 1, last = window->year * 12 + window->lastMonth - 1;
    const int64_t from = (first / 12) * 10000LL + (first % 12 + 1) * 100 + 1;
    const int64_t to = (last / 12) * 10000LL + (last % 12 + 1) * 100 + 31;
    sqlite3_bind_int64(raw, parameter++, window->checked ? from : 1);
    sqlite3_bind_int64(raw, parameter++, window->checked ? to : 0);
  }

  std::vector<DataFault> faults;
  std::set<std::pair<std::string, int>> documentFaults;  // (registration, column) already reported
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    sqlite3_value* v[kColumns];
    for (int c = 0; c < kColumns; ++c) v[c] = sqlite3_column_value(raw, c);
    std::vector<Found> found = RowFaults(v);
    // A movement whose date is a day is reported with the period of its list.
    const std::optional<tsql::DateParts> day = IsNull(v[DateColumn(v)]) ? std::nullopt : DayOf(v[DateColumn(v)]);
    if (day) {
      const std::optional<int64_t> kind = WholeOf(v[kDocumentKind]);
      const bool sale = kind && (*kind == 1 || *kind == 2);
      const bool purchase = kind && (*kind == 3 || *kind == 4);
      const bool inPeriod = sale       ? InWindow(sales, *day)
                            : purchase ? InWindow(purchases, *day)
                                       : InWindow(sales, *day) || InWindow(purchases, *day);
      if (!inPeriod) continue;
    }
    const std::string registration = KeyText(v[kRegistration]);
    for (const Found& f : found) {
      const bool ofDocument = f.column == kCompetence || f.column == kVatRegistered || f.column == kRegistered ||
                              f.column == kDocumentKind;
      if (ofDocument && !documentFaults.insert({registration, f.column}).second) continue;
      faults.push_back({registration, KeyText(v[kDocument]), ofDocument ? "" : KeyText(v[kLine]), kNames[f.column],
                        Shown(v[f.column]), f.wants});
    }
  }
  if (rc != SQLITE_DONE) db.Fail(rc, "cannot read the movements");
  return faults;
}

void WriteDataFaults(const std::vector<DataFault>& faults, bool csv, std::ostream& out) {
  Recordset table;
  const char* fields[] = {"IN01_NUMREG_CG41", "CG41_NUMDOC", "IN02_NUMRIGA", "COLUMN", "HOLDS", "WANTS"};
  for (const char* field : fields) table.AppendField(field, DataType::VarChar, 200);
  table.Open();
  for (const DataFault& f : faults) {
    table.AddNew();
    const std::string* values[] = {&f.registration, &f.document, &f.line, &f.column, &f.holds, &f.wants};
    for (size_t i = 0; i < std::size(values); ++i) table.SetValue(i, Variant::String(*values[i]));
  }
  if (csv) {
    WriteCsv(table, out);
    return;
  }
  const char* headings[] = {"Reg.", "Doc.", "Line", "Column", "Holds", "Wants"};
  std::vector<TableColumn> columns;
  for (size_t i = 0; i < std::size(headings); ++i) {
    columns.push_back({headings[i], [i](const Row& row) { return row[i].Text(); }, i < 3});
  }
  if (!faults.empty()) WriteTable(table, columns, out);
  out << faults.size() << (faults.size() == 1 ? " stored value" : " stored values")
      << " that would leave movements out of the declaration or break its records\n";
}

std::string SqliteFileOf(const std::string& databaseOption) {
  if (!IsConnectionString(databaseOption)) return databaseOption;
  const std::map<std::string, std::string> settings = ParseConnectionString(databaseOption);
  auto provider = settings.find("provider");
  auto source = settings.find("data source");
  if (provider == settings.end() || source == settings.end()) return "";
  std::string name = provider->second;
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return name == "sqlite" ? source->second : "";
}

}  // namespace zelmora::cli
