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
  EXPECT_SAME_TEXT(
      "SELECT DOCS.D_NUMREG, LINES.L_RIGA, coalesce(LINES.L_DATAORIG, 17530101) AS DATAORIG, PRO.CG07_CODISO, "
      "PRO.CG07_DESCR FROM DOCS LEFT JOIN LINES ON DOCS.D_DITTA = LINES.L_DITTA AND DOCS.D_NUMREG = LINES.L_NUMREG "
      "LEFT JOIN CG07_TABSTATIEST AS PRO ON PRO.CG07_CODICE = LINES.L_PAESE WHERE DOCS.D_DITTA = 1 AND "
      "DOCS.D_NUMREG <> 11 ORDER BY DOCS.D_NUMREG, 2\n",
      Translated(testing::ConstructSql("movement_listing")));
}

TEST(TsqlTranslation, AggregatesOverAUnionInADerivedTable) {
  EXPECT_SAME_TEXT(
      "SELECT rtrim(X.K, ' ') AS K, tsql_sum(X.V) AS S, count(*) AS N FROM (SELECT LINES.L_CODICE AS K, "
      "LINES.L_IMPORTO AS V FROM LINES WHERE LINES.L_DITTA = 1 UNION ALL SELECT 'TOTALE', 1.5) AS X "
      "GROUP BY X.K COLLATE TSQL ORDER BY X.K COLLATE TSQL\n",
      Translated(testing::ConstructSql("union_totals")));
}

TEST(TsqlTranslation, StagingBatch) {
  EXPECT_SAME_TEXT(
      "IF SELECT CASE WHEN (SELECT -rowid FROM temp.sqlite_master WHERE type IN ('table') AND name = '#STAGE' "
      "COLLATE NOCASE) IS NOT NULL THEN 1 ELSE 0 END\n"
      "CREATE TEMP TABLE \"#STAGE2\" (L_CODICE VARCHAR(8) COLLATE TSQL, IMPORTO DECIMAL(38,2), ERRORE INT)\n"
      "INSERT INTO temp.\"#STAGE2\" SELECT rtrim(LINES.L_CODICE, ' ') AS L_CODICE, "
      "tsql_sum(LINES.L_IMPORTO * (1 - 2 * LINES.L_SEGNO)) AS IMPORTO, 0 AS ERRORE FROM LINES "
      "GROUP BY LINES.L_CODICE COLLATE TSQL\n"
      "INSERT INTO temp.\"#STAGE\" SELECT 'EXTRA', 1.00, 0\n"
      "UPDATE temp.\"#STAGE\" AS STP SET ERRORE = 1 FROM CODICI_ERRATI AS ERR "
      "WHERE ERR.CODICE COLLATE TSQL = STP.L_CODICE\n"
      "IF SELECT CASE WHEN EXISTS (SELECT 1 FROM temp.\"#STAGE\" WHERE \"#STAGE\".ERRORE = 1) THEN 1 ELSE 0 END\n",
      Translated(
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
  EXPECT_SAME_TEXT(
      "SELECT DOCS.D_NUMREG, (SELECT 1 FROM LINES WHERE LINES.L_NUMREG = DOCS.D_NUMREG AND LINES.L_DITTA = "
      "DOCS.D_DITTA LIMIT 1) AS DETTAGLIO, (SELECT tsql_sum(LINES_2.L_IMPORTO * (1 - 2 * LINES_2.L_SEGNO)) FROM "
      "LINES AS LINES_2 WHERE LINES_2.L_DITTA = DOCS.D_DITTA AND LINES_2.L_NUMREG = DOCS.D_NUMREG) AS NETTO FROM "
      "DOCS WHERE DOCS.D_DITTA = 1 AND NOT EXISTS (SELECT 1 FROM LINES AS A WHERE A.L_NUMREG = DOCS.D_NUMREG AND "
      "A.L_DITTA = DOCS.D_DITTA AND A.L_IMPORTO > 50) ORDER BY 1\n",
      Translated(testing::ConstructSql("correlated")));
}

TEST(TsqlTranslation, CorrelatedAggregatesOfAGroupedQueryBecomeOuterJoins) {
  // Each sub-query becomes one aggregate per key, joined on the keys as one
  // value; the outer filter on the company, and the condition of the CASE
  // branch on the code, apply to the inner rows too.
  EXPECT_SAME_TEXT(
      "SELECT LINES.L_DITTA, rtrim(LINES.L_CODICE, ' ') AS C, tsql_sum(LINES.L_IMPORTO) AS S, _sq1._v AS NETTO, "
      "coalesce(_sq2._v, 0) AS NEGATIVE, CASE WHEN LINES.L_CODICE COLLATE TSQL = '9403' THEN _sq3._v ELSE 0 END "
      "AS MASSIMO FROM LINES "
      "LEFT JOIN (SELECT tsql_key(R._k1, R._k2) AS _key, tsql_sum(R.V) AS _v FROM (SELECT A.L_IMPORTO * "
      "(1 - 2 * A.L_SEGNO) AS V, A.L_DITTA AS _k1, A.L_CODICE AS _k2 FROM LINES AS A WHERE A.L_DITTA = 1) AS R "
      "GROUP BY _key) AS _sq1 ON _sq1._key = tsql_key(LINES.L_DITTA, LINES.L_CODICE) "
      "LEFT JOIN (SELECT tsql_key(B.L_DITTA, coalesce(B.L_CODICE, '')) AS _key, count(*) AS _v FROM LINES AS B "
      "WHERE B.L_SEGNO = 1 AND B.L_DITTA = 1 GROUP BY _key) AS _sq2 "
      "ON _sq2._key = tsql_key(LINES.L_DITTA, coalesce(LINES.L_CODICE, '')) "
      "LEFT JOIN (SELECT tsql_key(C.L_DITTA, C.L_CODICE) AS _key, max(C.L_IMPORTO) AS _v FROM LINES AS C "
      "WHERE C.L_DITTA = 1 AND C.L_CODICE COLLATE TSQL = '9403' GROUP BY _key) AS _sq3 "
      "ON _sq3._key = CASE WHEN LINES.L_CODICE COLLATE TSQL = '9403' THEN tsql_key(LINES.L_DITTA, LINES.L_CODICE) END "
      "WHERE LINES.L_DITTA = 1 GROUP BY LINES.L_DITTA, LINES.L_CODICE COLLATE TSQL ORDER BY LINES.L_CODICE COLLATE TSQL\n",
      Translated(testing::ConstructSql("grouped_correlated")));
}

TEST(TsqlTranslation, SubqueriesOverTheSameRowsShareOneAggregate) {
  // One aggregate gives both values; a range over ISNULL(date, fallback) in
  // a WHERE becomes a range over the date or, undated, over the fallback.
  EXPECT_SAME_TEXT(
      "SELECT LINES.L_DITTA, LINES.L_CODICE, tsql_sum(LINES.L_IMPORTO) AS S, CASE WHEN LINES.L_CODICE COLLATE TSQL = "
      "'84713000' THEN _sq1._v ELSE 0 END AS PRIMA, CASE WHEN LINES.L_CODICE COLLATE TSQL = '84713000' THEN "
      "_sq1._v2 ELSE 0 END AS RIGA FROM LINES "
      "LEFT JOIN (SELECT tsql_key(A.L_DITTA, A.L_CODICE) AS _key, tsql_sum(A.L_IMPORTO) AS _v, max(A.L_RIGA) AS _v2 "
      "FROM LINES AS A WHERE (A.L_DATAORIG <= 20240101 OR (A.L_DATAORIG IS NULL AND 20231201 <= 20240101)) AND "
      "A.L_DITTA = 1 AND A.L_CODICE COLLATE TSQL = '84713000' GROUP BY _key) AS _sq1 "
      "ON _sq1._key = CASE WHEN LINES.L_CODICE COLLATE TSQL = '84713000' THEN tsql_key(LINES.L_DITTA, LINES.L_CODICE) "
      "END WHERE LINES.L_DITTA = 1 AND (LINES.L_DATAORIG BETWEEN 20231201 AND 20240131 OR (LINES.L_DATAORIG IS NULL "
      "AND 20240115 BETWEEN 20231201 AND 20240131)) GROUP BY LINES.L_DITTA, LINES.L_CODICE COLLATE TSQL ORDER BY 2 "
      "COLLATE TSQL\n",
      Translated(testing::ConstructSql("shared_correlated")));
}

TEST(TsqlTranslation, ConversionsFollowTheServersTypes) {
  EXPECT_SAME_TEXT(
      "SELECT coalesce(LINES.L_DATAORIG, 19000101) AS D, coalesce(LINES.L_NOTA, '0') AS N, "
      "coalesce(LINES.L_PAESE, 0) AS P, coalesce(LINES.L_CODICE, '12345678') AS C, "
      "row_number() OVER (ORDER BY LINES.L_CODICE COLLATE TSQL, LINES.L_IMPORTO DESC) + 40 AS FAKEID, "
      "CAST(LINES.L_IMPORTO AS REAL) / 4 AS Q, CAST(LINES.L_IMPORTO AS REAL) / tsql_nonzero(LINES.L_RIGA) AS R, "
      "LINES.L_NOTA || '-' || tsql_text(LINES.L_RIGA, NULL, 5, '*') AS K FROM LINES "
      "WHERE LINES.L_DATAORIG >= 20231201 AND tsql_int(LINES.L_CODICE) IN (9403, 84713000) "
      "AND tsql_like(LINES.L_CODICE, '84%')\n",
      Translated("SELECT ISNULL(L_DATAORIG, '') AS D, ISNULL(L_NOTA, 0) AS N, ISNULL(L_PAESE, '') AS P,\n"
                 "       ISNULL(L_CODICE, '123456789') AS C,\n"
                 "       ROW_NUMBER() OVER (ORDER BY L_CODICE, L_IMPORTO DESC) + 40 AS FAKEID,\n"
                 "       L_IMPORTO / 4 AS Q, L_IMPORTO / L_RIGA AS R, L_NOTA + '-' + CAST(L_RIGA AS VARCHAR(5)) AS K\n"
                 "FROM LINES WHERE L_DATAORIG >= '2023-12-01' AND L_CODICE IN ('9403', 84713000)\n"
                 "  AND L_CODICE LIKE '84%'"));
}

TEST(TsqlTranslation, DeleteAndInsertValues) {
  EXPECT_SAME_TEXT(
      "DELETE FROM LINES WHERE LINES.L_DITTA = 1 AND LINES.L_NUMREG = 10\n"
      "INSERT INTO DOCS (D_DITTA, D_NUMREG, D_DATA) VALUES (3, 1, 20240229), (3, 2, NULL)\n",
      Translated(testing::ConstructSql("delete_lines") +
                 ";INSERT DOCS (D_DITTA, D_NUMREG, D_DATA) VALUES (3, '1', '20240229'), (3, 2, NULL)"));
}

}  // namespace
}  // namespace zelmora
