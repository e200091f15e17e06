#include "platform/sqlite/extension_schema.h"

#include <sqlite3.h>

#include <string>

#include "platform/error.h"

namespace zelmora {

namespace {

// The same tables on a SQL Server host: sql/zelmora_extension.sql.
constexpr std::string_view kDdl = R"SQL(
CREATE TABLE IF NOT EXISTS ZL01_NATURAB (
  ZL01_DITTA_CG18  INT NOT NULL,
  ZL01_NUMREG_CG41 INT NOT NULL,
  ZL01_NUMRIGA     SMALLINT NOT NULL,
  ZL01_NATURAB     VARCHAR(1),
  PRIMARY KEY (ZL01_DITTA_CG18, ZL01_NUMREG_CG41, ZL01_NUMRIGA)
);

CREATE TABLE IF NOT EXISTS ZL02_CALLOFFSTOCK (
  ZL02_DITTA_CG18   INT NOT NULL,
  ZL02_ID           INT NOT NULL,
  ZL02_ANNO         SMALLINT NOT NULL,
  ZL02_MESE         TINYINT NOT NULL,
  ZL02_STATO        VARCHAR(2),
  ZL02_PARTIVA      VARCHAR(12),
  ZL02_OPERAZIONE   TINYINT,
  ZL02_STATONUOVO   VARCHAR(2),
  ZL02_PARTIVANUOVO VARCHAR(12),
  PRIMARY KEY (ZL02_DITTA_CG18, ZL02_ID)
);
CREATE INDEX IF NOT EXISTS IX_ZL02_PERIODO ON ZL02_CALLOFFSTOCK (ZL02_DITTA_CG18, ZL02_ANNO, ZL02_MESE);
)SQL";

int Tables(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  int count = 0;
  if (sqlite3_prepare_v2(db,
                         "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                         "('ZL01_NATURAB', 'ZL02_CALLOFFSTOCK')",
                         -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    count = sqlite3_column_int(statement, 0);
  }
  sqlite3_finalize(statement);
  return count;
}

}  // namespace

std::string_view ExtensionSchemaDdl() { return kDdl; }

bool UpgradeExtensionSchema(sqlite3* db) {
  if (db == nullptr) throw Error::InvalidProcedureCall();
  const int before = Tables(db);
  std::string script = "SAVEPOINT extension_schema;\n";
  script += kDdl;
  script += "\nRELEASE extension_schema;";
  const int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = std::string("adding zelmora's tables: ") + sqlite3_errmsg(db);
    sqlite3_exec(db, "ROLLBACK TO extension_schema; RELEASE extension_schema;", nullptr, nullptr, nullptr);
    throw Error(rc & 0xff, std::move(message));
  }
  return Tables(db) > before;
}

}  // namespace zelmora
