#include "support/database.h"

#include <stdexcept>

#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace zelmora::testing {

DbPtr OpenDb(const std::string& path) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open(path.c_str(), &raw);
  DbPtr db(raw);
  if (opened != SQLITE_OK) throw std::runtime_error("cannot open " + path);
  if (RegisterTsqlExtensions(raw) != SQLITE_OK) throw std::runtime_error("cannot register the TSQL extensions");
  return db;
}

DbPtr OpenHostDb() {
  DbPtr db = OpenDb();
  CreateHostSchema(db.get());
  return db;
}

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error != nullptr ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error(message + " in: " + sql);
  }
}

std::string Rows(sqlite3* db, const std::string& sql) {
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

long long Count(sqlite3* db, const std::string& sql) { return std::stoll(Rows(db, sql)); }

Movement DayMovement(int registration, int kind, int operation, const std::string& code, const std::string& amount,
                     const std::string& day, int partnerKind, int partner) {
  Movement m;
  m.registration = registration;
  m.documentKind = kind;
  m.operation = operation;
  m.code = "'" + code + "'";
  m.amount = m.currencyAmount = m.statisticalValue = amount;
  m.mass = "12.5";
  m.competence = m.registered = "'" + day + "'";
  m.partnerKind = partnerKind;
  m.partner = partner;
  if (operation == 1) {
    m.in03 = "'I'", m.in04 = "'B'", m.originalNumber = "'F-77'", m.originalDate = "'20240502'";
    m.payment = "4", m.terms = "NULL", m.transport = "NULL", m.destination = "NULL";
  }
  if (kind == 2 || kind == 4) m.referenceMonth = "3", m.referenceYear = "2024";
  return m;
}

TempDatabase::TempDatabase(const std::string& sql, bool hostSchema) : path_(folder_ / "host.db") {
  db_ = OpenDb(path_);
  Exec(db_.get(), "PRAGMA synchronous = OFF");  // a test's file need not survive a power cut
  if (hostSchema) CreateHostSchema(db_.get());
  if (!sql.empty()) Run(sql);
}

ConnectionPtr TempDatabase::Open() const {
  auto connection = std::make_shared<Connection>();
  connection->Open(ConnectionString());
  return connection;
}

void TempDatabase::Add(const Movement& m) const {
  const std::string key = std::to_string(m.company) + ", " + std::to_string(m.registration);
  Run("INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_DATAREGIVA, CG41_SEZIONALE, "
      "CG41_CODICE_CG33, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44) VALUES (" +
      key + ", " + m.registered + ", " + m.vatRegistered + ", " + m.section + ", " + m.reason + ", " +
      std::to_string(m.partnerKind) + ", " + std::to_string(m.partner) + ")");
  Run("INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41, IN01_INDTIPODOC, IN01_CODICE_CG08, "
      "IN01_DTCOMPINTRA) VALUES (" +
      key + ", " + std::to_string(m.documentKind) + ", " + m.currency + ", " + m.competence + ")");
  Run("INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, IN02_NOMENCLATURA, "
      "IN02_IMPORTO, IN02_IMPORTOVAL, IN02_IMPORTOORIG, IN02_IMPORTOVALORIG, IN02_FLGSEGNO, IN02_INDTIPODATI, "
      "IN02_INDNATURA, IN02_INDCONS, IN02_INDTRASP, IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, "
      "IN02_PAESEPAG_CG07, IN02_PROVDEST, IN02_PROVORIG, IN02_MASSA, IN02_UNSUPPL, IN02_VALSTAT, IN02_MESERIF, "
      "IN02_ANNORIF, IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_NUMDOCORIG, IN02_DATADOCORIG, IN02_SEZORIG, "
      "IN02_REGIME) VALUES (" +
      key + ", 1, " + std::to_string(m.operation) + ", " + m.code + ", " + m.amount + ", " + m.currencyAmount + ", " +
      m.originalAmount + ", " + m.originalCurrencyAmount + ", " + std::to_string(m.negative) + ", " +
      std::to_string(m.dataKind) + ", " + m.nature + ", " + m.terms + ", " + m.transport + ", " + m.provenance +
      ", " + m.origin + ", " + m.destination + ", " + m.payment + ", " + m.provinceOfDestination + ", " +
      m.provinceOfOrigin + ", " + m.mass + ", " + m.units + ", " + m.statisticalValue + ", " + m.referenceMonth +
      ", " + m.referenceYear + ", " + m.in03 + ", " + m.in04 + ", " + m.originalNumber + ", " + m.originalDate +
      ", " + m.originalSection + ", " + m.regime + ")");
}

}  // namespace zelmora::testing
