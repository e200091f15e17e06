// A host database in a temporary SQLite file, filled by the tests with
// hand-made movements: one accounting entry, one Intrastat header and one
// Intrastat line per Movement.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace zelmora::testing {

// Values are SQL literals ("NULL", "'MO'", "12.50").
struct Movement {
  int company = 1;
  int registration = 0;
  int documentKind = 1;                     // IN01_INDTIPODOC
  std::string competence = "'20240510'";    // IN01_DTCOMPINTRA
  std::string registered = "'20240510'";    // CG41_DATAREG
  std::string vatRegistered = "NULL";       // CG41_DATAREGIVA
  std::string section = "'A'";              // CG41_SEZIONALE
  std::string reason = "'01'";              // CG41_CODICE_CG33
  int partnerKind = 0;                      // CG41_TIPOCF_CG44
  int partner = 10;                         // CG41_CLIFOR_CG44
  std::string currency = "'EUR'";
  int operation = 0;                        // IN02_INDOPER
  std::string code = "'84821090'";          // IN02_NOMENCLATURA
  std::string amount = "0";
  std::string currencyAmount = "0";
  std::string originalAmount = "NULL";
  std::string originalCurrencyAmount = "NULL";
  int negative = 0;                         // IN02_FLGSEGNO
  int dataKind = 0;                         // IN02_INDTIPODATI
  std::string nature = "1";
  std::string terms = "1";
  std::string transport = "3";
  std::string provenance = "NULL";
  std::string origin = "NULL";
  std::string destination = "4";
  std::string payment = "NULL";
  std::string provinceOfDestination = "NULL";
  std::string provinceOfOrigin = "'MO'";
  std::string mass = "0";
  std::string units = "0";
  std::string statisticalValue = "0";
  std::string referenceMonth = "NULL";
  std::string referenceYear = "NULL";
  std::string in03 = "NULL";
  std::string in04 = "NULL";
  std::string originalNumber = "NULL";
  std::string originalDate = "NULL";
  std::string originalSection = "NULL";
  std::string regime = "NULL";
};

class HostDatabase {
 public:
  HostDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelmora-declaration-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    path_ = folder_ + "/host.db";
    if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK || RegisterTsqlExtensions(db_) != SQLITE_OK) {
      throw std::runtime_error("cannot open " + path_);
    }
    CreateHostSchema(db_);
  }
  ~HostDatabase() {
    sqlite3_close(db_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  HostDatabase(const HostDatabase&) = delete;
  HostDatabase& operator=(const HostDatabase&) = delete;

  const std::string& path() const { return path_; }
  std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path_; }

  void Run(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message != nullptr ? message : "?";
      sqlite3_free(message);
      throw std::runtime_error(text + " in " + sql);
    }
  }

  void Add(const Movement& m) {
    const std::string company = std::to_string(m.company);
    const std::string reg = std::to_string(m.registration);
    Run("INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_DATAREGIVA, CG41_SEZIONALE, "
        "CG41_CODICE_CG33, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44) VALUES (" +
        company + ", " + reg + ", " + m.registered + ", " + m.vatRegistered + ", " + m.section + ", " + m.reason +
        ", " + std::to_string(m.partnerKind) + ", " + std::to_string(m.partner) + ")");
    Run("INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41, IN01_INDTIPODOC, IN01_CODICE_CG08, "
        "IN01_DTCOMPINTRA) VALUES (" +
        company + ", " + reg + ", " + std::to_string(m.documentKind) + ", " + m.currency + ", " + m.competence + ")");
    Run("INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, IN02_NOMENCLATURA, "
        "IN02_IMPORTO, IN02_IMPORTOVAL, IN02_IMPORTOORIG, IN02_IMPORTOVALORIG, IN02_FLGSEGNO, IN02_INDTIPODATI, "
        "IN02_INDNATURA, IN02_INDCONS, IN02_INDTRASP, IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, "
        "IN02_PAESEPAG_CG07, IN02_PROVDEST, IN02_PROVORIG, IN02_MASSA, IN02_UNSUPPL, IN02_VALSTAT, IN02_MESERIF, "
        "IN02_ANNORIF, IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_NUMDOCORIG, IN02_DATADOCORIG, IN02_SEZORIG, "
        "IN02_REGIME) VALUES (" +
        company + ", " + reg + ", 1, " + std::to_string(m.operation) + ", " + m.code + ", " + m.amount + ", " +
        m.currencyAmount + ", " + m.originalAmount + ", " + m.originalCurrencyAmount + ", " +
        std::to_string(m.negative) + ", " + std::to_string(m.dataKind) + ", " + m.nature + ", " + m.terms + ", " +
        m.transport + ", " + m.provenance + ", " + m.origin + ", " + m.destination + ", " + m.payment + ", " +
        m.provinceOfDestination + ", " + m.provinceOfOrigin + ", " + m.mass + ", " + m.units + ", " +
        m.statisticalValue + ", " + m.referenceMonth + ", " + m.referenceYear + ", " + m.in03 + ", " + m.in04 + ", " +
        m.originalNumber + ", " + m.originalDate + ", " + m.originalSection + ", " + m.regime + ")");
  }

 private:
  std::string folder_;
  std::string path_;
  sqlite3* db_ = nullptr;
};

}  // namespace zelmora::testing
