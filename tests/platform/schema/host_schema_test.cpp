#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/error.h"
#include "platform/sqlite/host_schema.h"
#include "support/database.h"
#include "support/golden.h"

namespace zelmora::testing {
namespace {

// Countries, registry and parties of company 1:
//   supplier 501 -> registry 100001 in Germany (4);
//   customer 101 -> registry 100002 registered without a country;
//   supplier 502 -> no registry entry.
void AddParties(sqlite3* db) {
  Exec(db,
      "INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1), (720, 'CN', 'Cina', 2), (5, 'IT', 'Italia', 0);"
      "INSERT INTO CG16_ANAGGEN VALUES (100001, 'Müller Hydraulik GmbH', '811907980', 4),"
      "                                (100002, 'Dupont SA', '40303265045', NULL);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 1, 501, 100001), (1, 0, 101, 100002), (1, 1, 502, NULL);");
}

TEST(HostSchemaTest, IntrastatViewGivesOneRowPerLineWithNullsForMissingData) {
  DbPtr db = OpenHostDb();
  AddParties(db.get());
  Exec(db.get(),
      // 10: purchase correction from supplier 501, two lines.
      // 11: sale to customer 101 (registry without country), no competence date.
      // 12: entry without party. 13: supplier 502 without registry.
      // 14: Intrastat document whose accounting entry is missing.
      // 15: header without lines.
      "INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_DATAREGIVA, CG41_SEZIONALE,"
      "  CG41_CODICE_CG33, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44) VALUES"
      " (1, 10, '20240115', '20240116', 'A1', '63', 1, 501),"
      " (1, 11, '20240120', NULL, 'V1', '50', 0, 101),"
      " (1, 12, '20240125', '20240125', 'V2', '50', NULL, NULL),"
      " (1, 13, '20240126', '20240126', 'A2', '62', 1, 502),"
      " (1, 15, '20240131', '20240131', 'V1', '50', 0, 101);"
      "INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41, IN01_INDTIPODOC, IN01_CODICE_CG08,"
      "  IN01_DTCOMPINTRA) VALUES"
      " (1, 10, 4, 'EUR', '20240112'), (1, 11, 1, 'EUR', NULL), (1, 12, 1, 'EUR', '20240125'),"
      " (1, 13, 3, 'PLN', '20240124'), (1, 14, 1, 'EUR', '20240127'), (1, 15, 1, 'EUR', '20240131');"
      "INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, IN02_NOMENCLATURA,"
      "  IN02_IMPORTO, IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, IN02_PAESEPAG_CG07) VALUES"
      " (1, 10, 1, 1, '620100', 100.10, 4, 720, NULL, 999),"
      " (1, 10, 2, 0, '84821010', 12.49, NULL, NULL, 5, 4),"
      " (1, 11, 1, 0, '73181595', 0.20, NULL, NULL, 4, NULL),"
      " (1, 12, 1, 0, '73182200', 7, NULL, NULL, 4, NULL),"
      " (1, 13, 1, 0, '39269097', 1500.5, 4, 4, NULL, NULL),"
      " (1, 14, 1, 1, '712000', 300, NULL, NULL, NULL, 4);");

  EXPECT_SAME_TEXT(
      "10|1|63|63|1|501|100001|811907980|Müller Hydraulik GmbH|4|DE|Germania|1|4|DE|Germania|720|CN|Cina|NULL|NULL|NULL|NULL|20240115|20240116|A1|20240112|100.1\n"
      "10|2|63|63|1|501|100001|811907980|Müller Hydraulik GmbH|4|DE|Germania|1|NULL|NULL|NULL|NULL|NULL|NULL|5|IT|Italia|DE|20240115|20240116|A1|20240112|12.49\n"
      "11|1|50|50|0|101|100002|40303265045|Dupont SA|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|4|DE|Germania|NULL|20240120|NULL|V1|NULL|0.2\n"
      "12|1|50|50|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|4|DE|Germania|NULL|20240125|20240125|V2|20240125|7\n"
      "13|1|62|62|1|502|NULL|NULL|NULL|NULL|NULL|NULL|NULL|4|DE|Germania|4|DE|Germania|NULL|NULL|NULL|NULL|20240126|20240126|A2|20240124|1500.5\n"
      "14|1|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|DE|NULL|NULL|NULL|20240127|300\n",
      Rows(db.get(),
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

TEST(HostSchemaTest, IntrastatViewHasEveryColumnTheQueriesNameWithItsDeclaredType) {
  DbPtr db = OpenHostDb();
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db.get(), "SELECT * FROM VIN01_INTRA", -1, &stmt, nullptr));
  std::string columns;
  for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
    const char* type = sqlite3_column_decltype(stmt, i);
    columns += std::string(sqlite3_column_name(stmt, i)) + " " + (type != nullptr ? type : "(none)") + "\n";
  }
  sqlite3_finalize(stmt);
  EXPECT_SAME_TEXT(
      "IN01_DITTA_CG18 INT\nIN01_NUMREG_CG41 INT\nIN01_INDTIPODOC TINYINT\nIN01_CODICE_CG08 VARCHAR(4)\n"
      "IN01_DTCOMPINTRA DATETIME\nIN02_DITTA_CG18 INT\nIN02_NUMREG_CG41 INT\nIN02_NUMRIGA SMALLINT\n"
      "IN02_INDOPER TINYINT\nIN02_NOMENCLATURA VARCHAR(8)\nIN02_IMPORTO DECIMAL(18,2)\n"
      "IN02_IMPORTOVAL DECIMAL(18,2)\nIN02_IMPORTOORIG DECIMAL(18,2)\nIN02_IMPORTOVALORIG DECIMAL(18,2)\n"
      "IN02_IMPORTOVALVALORIG DECIMAL(18,2)\nIN02_FLGSEGNO TINYINT\nIN02_INDTIPODATI TINYINT\n"
      "IN02_INDNATURA TINYINT\nIN02_INDCONS TINYINT\nIN02_INDTRASP TINYINT\nIN02_PAESEPRO_CG07 SMALLINT\n"
      "IN02_PAESEORI_CG07 SMALLINT\nIN02_PAESEDES_CG07 SMALLINT\nIN02_PAESEPAG_CG07 SMALLINT\n"
      "IN02_PROVDEST VARCHAR(2)\nIN02_PROVORIG VARCHAR(2)\nIN02_MASSA DECIMAL(18,3)\nIN02_UNSUPPL DECIMAL(18,3)\n"
      "IN02_VALSTAT DECIMAL(18,2)\nIN02_MESERIF TINYINT\nIN02_ANNORIF SMALLINT\nIN02_CODICE_IN03 VARCHAR(1)\n"
      "IN02_CODICE_IN04 VARCHAR(1)\nIN02_NUMDOCORIG VARCHAR(15)\nIN02_DATADOCORIG DATETIME\n"
      "IN02_SEZORIG VARCHAR(3)\nIN02_SEZDOG INT\nIN02_PROTDICH INT\nIN02_PROGRSEZ3 INT\nIN02_REGIME TINYINT\n"
      "CG41_TIPOCF_CG44 TINYINT\nCG41_CLIFOR_CG44 INT\nCG41_CODICE_CG33 VARCHAR(4)\nCG33_CODICE VARCHAR(4)\n"
      "CG41_DATAREG DATETIME\nCG41_DATAREGIVA DATETIME\nCG41_SEZIONALE VARCHAR(3)\nCG16_CODICE INT\n"
      "CG16_PARTIVA VARCHAR(20)\nCG16_RAGSOANAG NVARCHAR(80)\nCG07_CODICECF SMALLINT\nCG07_CODISOCF VARCHAR(2)\n"
      "CG07_DESCRCF VARCHAR(40)\nCG07_INDTIPOSTATO TINYINT\nCG07_CODICEPRO SMALLINT\nCG07_DESCRPRO VARCHAR(40)\n"
      "CG07_CODISOPRO VARCHAR(2)\nCG07_CODICEORI SMALLINT\nCG07_DESCRORI VARCHAR(40)\nCG07_CODISOORI VARCHAR(2)\n"
      "CG07_CODICEDES SMALLINT\nCG07_DESCRDES VARCHAR(40)\nCG07_CODISODES VARCHAR(2)\nCG07_CODISOPAG VARCHAR(2)\n",
      columns);
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
  EXPECT_SAME_TEXT(
      "SEARCH IN01_DOCTESTA USING INDEX IX_IN01_TIPODOC (IN01_DITTA_CG18=? AND IN01_INDTIPODOC=?)\n"
      "SEARCH CG41_PRIMANOTA USING INDEX sqlite_autoindex_CG41_PRIMANOTA_1 (CG41_DITTA_CG18=? AND CG41_NUMREG=?) LEFT-JOIN\n"
      "SEARCH IN02_RIGHEDOC USING INDEX sqlite_autoindex_IN02_RIGHEDOC_1 (IN02_DITTA_CG18=? AND IN02_NUMREG_CG41=?)\n"
      "SEARCH CG44_CLIFOR USING INDEX sqlite_autoindex_CG44_CLIFOR_1 (CG44_DITTA_CG18=? AND CG44_TIPOCF=? AND CG44_CLIFOR=?) LEFT-JOIN\n"
      "SEARCH CG16_ANAGGEN USING INDEX sqlite_autoindex_CG16_ANAGGEN_1 (CG16_CODICE=?) LEFT-JOIN\n"
      "CORRELATED SCALAR SUBQUERY 1\n"
      "SEARCH CG16_ANAGGEN USING INDEX sqlite_autoindex_CG16_ANAGGEN_1 (CG16_CODICE=?)\n"
      "SEARCH CG41_PRIMANOTA USING INDEX IX_CG41_CLIFOR (CG41_DITTA_CG18=? AND CG41_TIPOCF_CG44=? AND CG41_CLIFOR_CG44=?)\n"
      "SEARCH IN01_DOCTESTA USING INDEX sqlite_autoindex_IN01_DOCTESTA_1 (IN01_DITTA_CG18=? AND IN01_NUMREG_CG41=?)\n"
      "SEARCH IN02_RIGHEDOC USING INDEX sqlite_autoindex_IN02_RIGHEDOC_1 (IN02_DITTA_CG18=? AND IN02_NUMREG_CG41=?)\n"
      "SEARCH CG44_CLIFOR USING INDEX sqlite_autoindex_CG44_CLIFOR_1 (CG44_DITTA_CG18=? AND CG44_TIPOCF=? AND CG44_CLIFOR=?) LEFT-JOIN\n"
      "SEARCH STATO_CF USING COVERING INDEX sqlite_autoindex_CG07_TABSTATIEST_1 (CG07_CODICE=?) LEFT-JOIN\n"
      "SEARCH STATO_PRO USING COVERING INDEX sqlite_autoindex_CG07_TABSTATIEST_1 (CG07_CODICE=?) LEFT-JOIN\n"
      "SEARCH STATO_ORI USING COVERING INDEX sqlite_autoindex_CG07_TABSTATIEST_1 (CG07_CODICE=?) LEFT-JOIN\n"
      "SEARCH STATO_DES USING COVERING INDEX sqlite_autoindex_CG07_TABSTATIEST_1 (CG07_CODICE=?) LEFT-JOIN\n"
      "SEARCH STATO_PAG USING COVERING INDEX sqlite_autoindex_CG07_TABSTATIEST_1 (CG07_CODICE=?) LEFT-JOIN\n",
      plan);
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
  try {
    CreateHostSchema(db.get());
    FAIL() << "a second schema was created";
  } catch (const Error& e) {
    EXPECT_EQ(1, e.number());
    EXPECT_EQ("creating the host schema: table CG18_DITTE already exists", e.description());
  }
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
