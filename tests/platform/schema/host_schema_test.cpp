#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/error.h"
#include "support/error_of.h"
#include "platform/sqlite/host_schema.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora::testing {
namespace {

// Countries, registry and parties of company 1 (501, 101, 502).
void AddParties(sqlite3* db) { Exec(db, TestFile("platform/schema/parties.sql")); }

TEST(HostSchemaTest, IntrastatViewGivesOneRowPerLineWithNullsForMissingData) {
  DbPtr db = OpenHostDb();
  AddParties(db.get());
  Exec(db.get(), TestFile("platform/schema/intrastat_lines.sql"));

  testing::ExpectGoldenFile("platform/schema/golden/intrastat_view_rows.txt", Rows(db.get(),
           "SELECT IN01_NUMREG_CG41, IN02_NUMRIGA, CG33_CODICE, CG41_CODICE_CG33, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44,"
           " CG16_CODICE, CG16_PARTIVA, CG16_RAGSOANAG, CG07_CODICECF, CG07_CODISOCF, CG07_DESCRCF, CG07_INDTIPOSTATO,"
           " CG07_CODICEPRO, CG07_CODISOPRO, CG07_DESCRPRO, CG07_CODICEORI, CG07_CODISOORI, CG07_DESCRORI,"
           " CG07_CODICEDES, CG07_CODISODES, CG07_DESCRDES, CG07_CODISOPAG, CG41_DATAREG, CG41_DATAREGIVA,"
           " CG41_SEZIONALE, IN01_DTCOMPINTRA, IN02_IMPORTO"
           " FROM VIN01_INTRA ORDER BY IN01_NUMREG_CG41, IN02_NUMRIGA"));

  // The correction sub-query compares the unqualified reason code with
  // numbers: the codes, kept as text, still match them.
  EXPECT_SAME_TEXT("10|1\n10|2\n13|1\n",
                   Rows(db.get(),
                        "SELECT IN01_NUMREG_CG41, IN02_NUMRIGA FROM VIN01_INTRA WHERE CG33_CODICE IN(52,63,62)"
                        " ORDER BY 1, 2"));
}

TEST(HostSchemaTest, RegistryViewJoinsPartiesToTheirRegistryWithOpenValidity) {
  DbPtr db = OpenHostDb();
  AddParties(db.get());
  EXPECT_SAME_TEXT(
      "0|101|100002|Dupont SA|40303265045|NULL|NULL|NULL\n"
      "1|501|100001|Müller Hydraulik GmbH|811907980|4|NULL|NULL\n"
      "1|502|NULL|NULL|NULL|NULL|NULL|NULL\n",
      Rows(db.get(),
           "SELECT CG44_TIPOCF, CG44_CLIFOR, CG16_CODICE, CG16_RAGSOANAG, CG16_PARTIVA, CG16_CODICE_CG07,"
           " DATAINIZIOVALIDITA, DATAFINEVALIDITA FROM VCG16_ANAGRALLADATA WHERE CG44_DITTA_CG18 = 1"
           " ORDER BY CG44_TIPOCF, CG44_CLIFOR"));
  // The validity test the movement queries apply holds for any entry date.
  EXPECT_EQ(3, Count(db.get(),
                     "SELECT COUNT(*) FROM VCG16_ANAGRALLADATA WHERE '20240115' >= IFNULL(DATAINIZIOVALIDITA, '17530101')"
                     " AND '20240115' <= IFNULL(DATAFINEVALIDITA, '99991231')"));
}

// A correction sub-query as the declaration runs it for every correction
// line: on a new database it must find the party's entries through their
// index rather than walk all of a company's lines, and the outer query must
// read a document's entry (its dates) before its lines. (The plan text is
// the one of the SQLite this program is built with.)
TEST(HostSchemaTest, CorrectionLookUpsGoThroughThePartyIndexBeforeAnyAnalyze) {
  DbPtr db = OpenHostDb();
  std::string plan;
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(SQLITE_OK,
            sqlite3_prepare_v2(db.get(),
                               "EXPLAIN QUERY PLAN SELECT (SELECT SUM(R.IN02_IMPORTO) FROM VIN01_INTRA R"
                               " WHERE R.IN01_DITTA_CG18 = O.IN01_DITTA_CG18 AND R.IN01_INDTIPODOC = O.IN01_INDTIPODOC"
                               " AND R.CG41_TIPOCF_CG44 = O.CG41_TIPOCF_CG44 AND R.CG41_CLIFOR_CG44 = O.CG41_CLIFOR_CG44"
                               " AND R.CG16_CODICE = O.CG16_CODICE)"
                               " FROM VIN01_INTRA O WHERE O.IN01_DITTA_CG18 = 1 AND O.IN01_INDTIPODOC IN (2, 4)",
                               -1, &stmt, nullptr));
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    plan += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3))) + "\n";
  }
  sqlite3_finalize(stmt);
  testing::ExpectGoldenFile("platform/schema/golden/correction_lookup_plan.txt", plan);
}

TEST(HostSchemaTest, KeysRefuseDuplicatesButLeaveTheOtherColumnsNullable) {
  DbPtr db = OpenHostDb();
  Exec(db.get(), "INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41) VALUES (1, 10)");
  EXPECT_THROW(Exec(db.get(), "INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41) VALUES (1, 10)"),
               std::runtime_error);
  EXPECT_THROW(Exec(db.get(), "INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41) VALUES (NULL, 11)"),
               std::runtime_error);
  Exec(db.get(), "INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA) VALUES (1, 10, 1)");
  EXPECT_THROW(
      Exec(db.get(), "INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA) VALUES (1, 10, 1)"),
      std::runtime_error);
  // Line numbers may be missing (the queries read ISNULL(IN02_NUMRIGA, 0)).
  Exec(db.get(),
      "INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA) VALUES (1, 10, NULL), (1, 10, NULL)");
  EXPECT_SAME_TEXT("1|NULL|NULL|NULL|NULL|NULL\n1|NULL|NULL|NULL|NULL|NULL\n1|NULL|NULL|NULL|NULL|NULL\n",
                   Rows(db.get(),
                        "SELECT IN01_DITTA_CG18, IN01_INDTIPODOC, IN01_DTCOMPINTRA, IN02_INDOPER, IN02_IMPORTO,"
                        " CG41_DATAREG FROM VIN01_INTRA"));
}

TEST(HostSchemaTest, CreatingTheSchemaTwiceFailsAndAFailureLeavesNothingBehind) {
  DbPtr db = OpenHostDb();
  EXPECT_EQ(testing::ErrorOf([&] { CreateHostSchema(db.get()); }),
            "1: creating the host schema: table CG18_DITTE already exists");
  // The host's ten tables and two views, and zelmora's own two tables.
  EXPECT_EQ(14, Count(db.get(), "SELECT COUNT(*) FROM sqlite_master WHERE type IN ('table', 'view')"
                                " AND name NOT LIKE 'sqlite%'"));

  // A table in the way half-way through: nothing before it stays.
  DbPtr other = OpenDb();
  Exec(other.get(), "CREATE TABLE CG41_PRIMANOTA (X INT)");
  EXPECT_THROW(CreateHostSchema(other.get()), Error);
  EXPECT_SAME_TEXT("CG41_PRIMANOTA\n", Rows(other.get(), "SELECT name FROM sqlite_master"));

}

// The file names no collation or function of zelmora's own, so any SQLite
// client (here the plain library, nothing registered) can create, fill,
// order, compare and join its text columns, with SQLite's own rules.
TEST(HostSchemaTest, PlainSqliteLibraryReadsAndWritesTheTables) {
  sqlite3* bare = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(":memory:", &bare));
  CreateHostSchema(bare);
  AddParties(bare);
  Exec(bare, "UPDATE CG07_TABSTATIEST SET CG07_DESCR = 'Germany' WHERE CG07_CODISO = 'DE'");
  EXPECT_SAME_TEXT("CN|Cina\nDE|Germany\nIT|Italia\n",
                   Rows(bare, "SELECT CG07_CODISO, CG07_DESCR FROM CG07_TABSTATIEST ORDER BY CG07_CODISO"));
  EXPECT_SAME_TEXT("501|Müller Hydraulik GmbH|DE\n",
                   Rows(bare, "SELECT P.CG44_CLIFOR, R.CG16_RAGSOANAG, C.CG07_CODISO FROM CG44_CLIFOR P"
                              " JOIN CG16_ANAGGEN R ON R.CG16_CODICE = P.CG44_CODICE_CG16"
                              " JOIN CG07_TABSTATIEST C ON C.CG07_CODICE = R.CG16_CODICE_CG07"
                              " WHERE R.CG16_RAGSOANAG > 'Dupont SA' AND C.CG07_CODISO IN ('DE', 'FR')"));
  EXPECT_SAME_TEXT("ok\n", Rows(bare, "PRAGMA integrity_check"));
  sqlite3_close(bare);
}

}  // namespace
}  // namespace zelmora::testing
