// The SQLite text that representative T-SQL statements become, compared
// whole: qualified columns, the collation where text is compared, the
// conversions of literals, the rewritten APPLY, UPDATE ... FROM, SELECT INTO.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/error.h"
#include "platform/sqlite/sqlite_extensions.h"
#include "platform/sqlite/tsql_parser.h"
#include "platform/sqlite/tsql_translator.h"
#include "support/construct_file.h"
#include "support/golden.h"

namespace zelmora {
namespace {

// The catalog of an in-memory database holding the test tables and a
// session table #STAGE.
class MemoryCatalog : public tsql::Catalog {
 public:
  MemoryCatalog() {
    sqlite3_open(":memory:", &db_);
    RegisterTsqlExtensions(db_);
    sqlite3_exec(db_, testing::ReadConstructFile().setup.c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db_,
                 "CREATE TEMP TABLE \"#STAGE\" (L_CODICE VARCHAR(8) COLLATE TSQL, IMPORTO DECIMAL(38,2), ERRORE INT)",
                 nullptr, nullptr, nullptr);
  }
  ~MemoryCatalog() override { sqlite3_close(db_); }

  std::optional<std::vector<tsql::ColumnInfo>> Columns(const std::string& name, bool temporary) override {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db_, "SELECT name, type FROM pragma_table_info(?1, ?2)", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, temporary ? "temp" : "main", -1, SQLITE_STATIC);
    std::vector<tsql::ColumnInfo> columns;
    while (sqlite3_step(st) == SQLITE_ROW) {
      columns.push_back({reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                         tsql::ParseDeclaredType(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)))});
    }
    sqlite3_finalize(st);
    if (columns.empty()) return std::nullopt;
    return columns;
  }

 private:
  sqlite3* db_ = nullptr;
};

// Every statement of the batch, one SQLite statement a line; an IF as its
// condition query.
std::string Translated(const std::string& batch) {
  MemoryCatalog catalog;
  std::string out;
  for (tsql::StatementPtr& s : tsql::ParseBatch(batch)) {
    if (s->kind == tsql::Statement::Kind::If) {
      out += "IF " + tsql::TranslateCondition(*s->condition, catalog) + "\n";
      continue;
    }
    for (const std::string& step : tsql::Translate(*s, catalog).steps) out += step + "\n";
  }
  return out;
}

TEST(TsqlTranslation, MovementListingWithOuterApply) {
  testing::ExpectGoldenFile("platform/sqlite/golden/movement_listing.sql", Translated(testing::ConstructSql("movement_listing")));
}

TEST(TsqlTranslation, AggregatesOverAUnionInADerivedTable) {
  testing::ExpectGoldenFile("platform/sqlite/golden/union_totals.sql", Translated(testing::ConstructSql("union_totals")));
}

TEST(TsqlTranslation, StagingBatch) {
  testing::ExpectGoldenFile("platform/sqlite/golden/staging_batch.sql", Translated(
          // The batch without its DROP (the test catalog holds the table
          // already) and with both branches of the last IF left out.
          "IF OBJECT_ID(N'tempdb..#STAGE', N'U') IS NOT NULL SELECT 1\n"
          "SELECT RTRIM(L_CODICE) AS L_CODICE, SUM(L_IMPORTO * (1 - 2 * L_SEGNO)) AS IMPORTO, 0 AS ERRORE "
          "INTO #STAGE2 FROM LINES WITH(NOLOCK) GROUP BY L_CODICE\n"
          "INSERT INTO #STAGE SELECT N'EXTRA', 1.00, 0\n"
          "UPDATE STP SET ERRORE = 1 FROM #STAGE AS STP INNER JOIN CODICI_ERRATI AS ERR ON ERR.CODICE = STP.L_CODICE\n"
          "IF EXISTS(SELECT 1 FROM #STAGE WHERE ERRORE = 1) SELECT 1"));
}

TEST(TsqlTranslation, CorrelatedSubqueries) {
  testing::ExpectGoldenFile("platform/sqlite/golden/correlated.sql", Translated(testing::ConstructSql("correlated")));
}

TEST(TsqlTranslation, CorrelatedAggregatesOfAGroupedQueryBecomeOuterJoins) {
  // Each sub-query becomes one aggregate per key, joined on the keys as one
  // value; the outer filter on the company, and the condition of the CASE
  // branch on the code, apply to the inner rows too.
  testing::ExpectGoldenFile("platform/sqlite/golden/grouped_correlated.sql", Translated(testing::ConstructSql("grouped_correlated")));
}

TEST(TsqlTranslation, SubqueriesOverTheSameRowsShareOneAggregate) {
  // One aggregate gives both values; a range over ISNULL(date, fallback) in
  // a WHERE becomes a range over the date or, undated, over the fallback.
  testing::ExpectGoldenFile("platform/sqlite/golden/shared_correlated.sql", Translated(testing::ConstructSql("shared_correlated")));
}

TEST(TsqlTranslation, ConversionsFollowTheServersTypes) {
  testing::ExpectGoldenFile("platform/sqlite/golden/conversions.sql", Translated("SELECT ISNULL(L_DATAORIG, '') AS D, ISNULL(L_NOTA, 0) AS N, ISNULL(L_PAESE, '') AS P,\n"
                 "       ISNULL(L_CODICE, '123456789') AS C,\n"
                 "       ROW_NUMBER() OVER (ORDER BY L_CODICE, L_IMPORTO DESC) + 40 AS FAKEID,\n"
                 "       L_IMPORTO / 4 AS Q, L_IMPORTO / L_RIGA AS R, L_NOTA + '-' + CAST(L_RIGA AS VARCHAR(5)) AS K\n"
                 "FROM LINES WHERE L_DATAORIG >= '2023-12-01' AND L_CODICE IN ('9403', 84713000)\n"
                 "  AND L_CODICE LIKE '84%'"));
}

TEST(TsqlTranslation, DeleteAndInsertValues) {
  testing::ExpectGoldenFile("platform/sqlite/golden/delete_lines.sql", Translated(testing::ConstructSql("delete_lines") +
                 ";INSERT DOCS (D_DITTA, D_NUMREG, D_DATA) VALUES (3, '1', '20240229'), (3, 2, NULL)"));
}

}  // namespace
}  // namespace zelmora
