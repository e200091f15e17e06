// Databases for the tests: plain SQLite handles with the T-SQL extensions,
// and a temporary database file with the host schema that the code under
// test opens through its connection string. Query results read back as
// text, one row per line, columns parted by "|", Null as "NULL".
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

#include "platform/connection.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"
#include "support/temp_folder.h"

namespace zelmora::testing {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;

// A handle with the T-SQL extensions; `path` defaults to a private
// in-memory database. Failures throw std::runtime_error.
DbPtr OpenDb(const std::string& path = ":memory:");
// An in-memory database with the host schema.
DbPtr OpenHostDb();
void Exec(sqlite3* db, const std::string& sql);
std::string Rows(sqlite3* db, const std::string& sql);
// The single value of a one-row, one-column query, as an integer.
long long Count(sqlite3* db, const std::string& sql);

// One accounting entry, one Intrastat header and one Intrastat line.
// Values are SQL literals ("NULL", "'MO'", "12.50").
struct Movement {
  int company = 1;
  int registration = 0;
  int documentKind = 1;                   // IN01_INDTIPODOC
  std::string competence = "'20240510'";  // IN01_DTCOMPINTRA
  std::string registered = "'20240510'";  // CG41_DATAREG
  std::string vatRegistered = "NULL";     // CG41_DATAREGIVA
  std::string section = "'A'";            // CG41_SEZIONALE
  std::string reason = "'01'";            // CG41_CODICE_CG33
  int partnerKind = 0;                    // CG41_TIPOCF_CG44
  int partner = 10;                       // CG41_CLIFOR_CG44
  std::string currency = "'EUR'";
  int operation = 0;                // IN02_INDOPER
  std::string code = "'84821090'";  // IN02_NOMENCLATURA
  std::string amount = "0", currencyAmount = "0", originalAmount = "NULL", originalCurrencyAmount = "NULL";
  int negative = 0;  // IN02_FLGSEGNO
  int dataKind = 0;  // IN02_INDTIPODATI
  std::string nature = "1", terms = "1", transport = "3";
  std::string provenance = "NULL", origin = "NULL", destination = "4", payment = "NULL";
  std::string provinceOfDestination = "NULL", provinceOfOrigin = "'MO'";
  std::string mass = "0", units = "0", statisticalValue = "0";
  std::string referenceMonth = "NULL", referenceYear = "NULL";
  std::string in03 = "NULL", in04 = "NULL";
  std::string originalNumber = "NULL", originalDate = "NULL", originalSection = "NULL";
  std::string regime = "NULL";
};

// A movement of company 1 on `day` (YYYYMMDD) of document `kind` (1 to 4)
// and `operation` (0 goods, 1 services): mass 12.5, statistical value the
// amount; a service carries invoice data, a correction refers to March 2024.
Movement DayMovement(int registration, int kind, int operation, const std::string& code, const std::string& amount,
                     const std::string& day, int partnerKind = 0, int partner = 10);

// A database file, host.db in a fresh temporary folder, removed at the end
// of the test: the host schema (unless `hostSchema` is false), then `sql`
// (SQLite's own SQL).
class TempDatabase {
 public:
  explicit TempDatabase(const std::string& sql = "", bool hostSchema = true);
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  const std::string& path() const { return path_; }
  const TempFolder& folder() const { return folder_; }
  std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path_; }
  // A connection of the program's own on the file.
  ConnectionPtr Open() const;

  void Run(const std::string& sql) const { Exec(db_.get(), sql); }
  std::string Rows(const std::string& sql) const { return testing::Rows(db_.get(), sql); }
  long long Scalar(const std::string& sql) const { return Count(db_.get(), sql); }
  void Add(const Movement& m) const;

 private:
  TempFolder folder_;
  std::string path_;
  DbPtr db_;
};

}  // namespace zelmora::testing
