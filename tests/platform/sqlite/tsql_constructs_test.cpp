// Each T-SQL construct the component sends, run through a connection on a
// small SQLite database, with the rows SQL Server gives for it.
#include <gtest/gtest.h>

#include "platform/connection.h"
#include "platform/error.h"
#include "support/golden.h"
#include "construct_texts.h"
#include "sqlite_test_db.h"

namespace zelmora {
namespace {

using testing::kTestSchema;
using testing::RecordsetText;

class TsqlConstructs : public ::testing::Test {
 protected:
  TsqlConstructs() : db_(kTestSchema), connection_(db_.Open()) {}

  std::string Rows(const std::string& sql) { return RecordsetText(*connection_->Execute(sql)); }

  // The error a statement fails with, as "number: description".
  std::string Failure(const std::string& sql) {
    try {
      connection_->Execute(sql);
    } catch (const Error& e) {
      return std::to_string(e.number()) + ": " + e.description();
    }
    return "no error";
  }

  testing::ScratchDatabase db_;
  ConnectionPtr connection_;
};

TEST_F(TsqlConstructs, HintsSchemaPrefixAndUnicodeLiterals) {
  EXPECT_SAME_TEXT(
      "L_RIGA:2 | L_NOTA:202(20)\n"
      "i1 | s'Alpha'\n"
      "i2 | s'alpha'\n",
      Rows("SELECT L.L_RIGA, L.L_NOTA FROM DBO.LINES AS L WITH(NOLOCK) WHERE L.L_NOTA = N'ALPHA' ORDER BY L.L_RIGA"));
  EXPECT_SAME_TEXT(
      "N:3\n"
      "l2\n",
      Rows("SELECT COUNT(*) AS N FROM dbo.LINES L WITH (NOLOCK) WHERE L_NOTA = N'alpha  '"));
}

TEST_F(TsqlConstructs, IsNullTakesTheTypeOfItsFirstArgument) {
  EXPECT_SAME_TEXT(
      "L_RIGA:2 | D:135 | N:202(20) | P:2\n"
      "i1 | t1900-01-01 | s'Alpha' | i4\n"
      "i2 | t1900-01-01 | s'alpha' | i4\n"
      "i3 | t2023-12-31 | s'0' | i11\n"
      "i1 | t2023-11-15 | s'Beta ' | i99\n"
      "i1 | t1900-01-01 | s'gamma' | i0\n",
      Rows("SELECT L_RIGA, ISNULL(L_DATAORIG, '') AS D, ISNULL(L_NOTA, 0) AS N, ISNULL(L_PAESE, '') AS P\n"
           "FROM LINES WHERE L_DITTA = 1 ORDER BY L_NUMREG, L_RIGA"));
}

TEST_F(TsqlConstructs, YearLenAndCast) {
  EXPECT_SAME_TEXT(
      "D_NUMREG:3 | Y:3 | LV:3 | C:200(10) | DT:135 | V2:202(2) | E:200(15) | STAR:200(1)\n"
      "l10 | l2024 | l3 | s'R10' | t2024-01-31 | s'EU' | s'' | s'*'\n"
      "l11 | l2024 | l3 | s'R11' | t2024-01-31 | s'eu' | s'' | s'*'\n"
      "l12 | n | l3 | s'R12' | t2024-01-31 | s'US' | s'' | s'*'\n",
      Rows("SELECT D_NUMREG, YEAR(D_DATA) AS Y, LEN(D_VALUTA) AS LV,\n"
           "       CAST('R' + CAST(D_NUMREG AS VARCHAR(10)) AS VARCHAR(10)) AS C,\n"
           "       CAST('20240131' AS DATETIME) AS DT, CAST(D_VALUTA AS NVARCHAR(2)) AS V2,\n"
           "       CAST('' AS VARCHAR(15)) AS E, CAST(D_NUMREG AS VARCHAR(1)) AS STAR\n"
           "FROM DOCS WHERE D_DITTA = 1 AND D_NUMREG < 13 ORDER BY D_NUMREG"));
}

TEST_F(TsqlConstructs, CaseAndAbs) {
  EXPECT_SAME_TEXT(
      "L_RIGA:2 | V:14(18,2) | A:14(18,2) | P:200(2)\n"
      "i1 | d12.29 | d12.29 | s'DE'\n"
      "i2 | d0.20 | d0.20 | s'DE'\n"
      "i3 | d-0.10 | d0.10 | s'FR'\n",
      Rows("SELECT L_RIGA, CASE WHEN L_SEGNO = 1 THEN -L_IMPORTO ELSE L_IMPORTO END AS V,\n"
           "       ABS(CASE WHEN L_SEGNO = 1 THEN -L_IMPORTO ELSE L_IMPORTO END) AS A,\n"
           "       CASE L_PAESE WHEN 4 THEN 'DE' WHEN 11 THEN 'FR' ELSE '' END AS P\n"
           "FROM LINES WHERE L_DITTA = 1 AND L_NUMREG = 10 ORDER BY L_RIGA"));
}

TEST_F(TsqlConstructs, AmountsKeepTheirSixteenDigits) {
  // Sixteen significant digits are more than the fifteen a double promises
  // but fewer than it holds: the amounts, their sum, a product and a
  // rounding read back exactly.
  connection_->Execute("INSERT INTO LINES VALUES (3, 1, 1, 'X', 12345678901234.56, 0, 4, NULL, NULL),"
                       " (3, 1, 2, 'X', 34359738368000.07, 1, 4, NULL, NULL)",
                       kCmdText | kExecuteNoRecords);
  EXPECT_SAME_TEXT(
      "L_IMPORTO:14(18,2) | S:14(38,2) | R:14(18,2) | T:200(20)\n"
      "d12345678901234.56 | d-22014059466765.51 | d12345678901234.56 | s'12345678901234.56'\n"
      "d34359738368000.07 | d-22014059466765.51 | d34359738368000.07 | s'34359738368000.07'\n",
      Rows("SELECT L_IMPORTO, (SELECT SUM(L_IMPORTO * (1 - 2 * L_SEGNO)) FROM LINES WHERE L_DITTA = 3) AS S,\n"
           "       ROUND(L_IMPORTO, 2) AS R, CAST(L_IMPORTO AS VARCHAR(20)) AS T\n"
           "FROM LINES WHERE L_DITTA = 3 ORDER BY L_RIGA"));
}

TEST_F(TsqlConstructs, RowNumberAndTop) {
  // Codes compare without case and trailing blanks, Nulls first; within the
  // code, amounts descending: 5.50 (no code), 100.00, 12.29, 7.00, 0.20, 0.10.
  EXPECT_SAME_TEXT(
      "FAKEID:20 | L_IMPORTO:14(18,2)\n"
      "l41 | d5.50\n"
      "l42 | d100.00\n"
      "l43 | d12.29\n",
      Rows("SELECT TOP 3 ROW_NUMBER() OVER (ORDER BY L_CODICE, L_IMPORTO DESC) + 40 AS FAKEID, L_IMPORTO\n"
           "FROM LINES ORDER BY FAKEID"));
  EXPECT_SAME_TEXT(
      "L_IMPORTO:14(18,2)\n"
      "d100.00\n"
      "d12.29\n",
      Rows("SELECT TOP(2) L_IMPORTO FROM LINES ORDER BY L_IMPORTO DESC"));
}

TEST_F(TsqlConstructs, UnionAllAndDerivedTable) {
  EXPECT_SAME_TEXT(
      "K:200(8) | S:14(38,2) | N:3\n"
      "n | d5.50 | l1\n"
      "s'84713000' | d112.49 | l3\n"
      "s'9403' | d0.10 | l1\n"
      "s'TOTALE' | d1.50 | l1\n",
      Rows(testing::kUnionTotals));
}

TEST_F(TsqlConstructs, CorrelatedSubqueries) {
  EXPECT_SAME_TEXT(
      "D_NUMREG:3 | DETTAGLIO:3 | NETTO:14(38,2)\n"
      "l10 | l1 | d12.39\n"
      "l12 | l1 | d5.50\n"
      "l13 | n | n\n",
      Rows(testing::kCorrelated));
  // A scalar sub-query that meets two rows fails, as on the server.
  EXPECT_EQ("512: Subquery returned more than 1 value. This is not permitted when the subquery follows =, !=, <, <= "
            ", >, >= or when the subquery is used as an expression.",
            Failure("SELECT D_NUMREG, (SELECT L_RIGA FROM LINES WHERE L_NUMREG = D_NUMREG) AS R FROM DOCS"));
}

TEST_F(TsqlConstructs, CorrelatedAggregatesOfAGroupedQuery) {
  // A Null code matches no code (NETTO Null), but ISNULL makes it match
  // itself; a code without negative lines counts 0.
  EXPECT_SAME_TEXT(
      "L_DITTA:3 | C:200(8) | S:14(38,2) | NETTO:14(38,2) | NEGATIVE:3 | MASSIMO:14(18,2)\n"
      "l1 | n | d5.50 | n | l0 | d0.00\n"
      "l1 | s'84713000' | d112.49 | d112.49 | l0 | d0.00\n"
      "l1 | s'9403' | d0.10 | d-0.10 | l1 | d0.10\n",
      Rows(testing::kGroupedCorrelated));
}

TEST_F(TsqlConstructs, SubqueriesOverTheSameRowsAndRangesOverAFallback) {
  // Undated lines count with their fallback date, in the outer filter (line
  // 12/1 is in, 11/1 is out by its own date) and in the sub-queries (10/1
  // and 10/2 are in with 11/1); the codes with no sub-query value read 0.
  EXPECT_SAME_TEXT(
      "L_DITTA:3 | L_CODICE:200(8) | S:14(38,2) | PRIMA:14(38,2) | RIGA:3\n"
      "l1 | n | d5.50 | d0.00 | l0\n"
      "l1 | s'84713000' | d12.49 | d112.49 | l2\n"
      "l1 | s'9403' | d0.10 | d0.00 | l0\n",
      Rows(testing::kSharedCorrelated));
}

TEST_F(TsqlConstructs, OuterApplyOfTheCountryFunction) {
  EXPECT_SAME_TEXT(
      "D_NUMREG:3 | L_RIGA:2 | DATAORIG:135 | CG07_CODISO:200(2) | CG07_DESCR:200(40)\n"
      "l10 | i1 | t1753-01-01 | s'DE' | s'Germania'\n"
      "l10 | i2 | t1753-01-01 | s'DE' | s'Germania'\n"
      "l10 | i3 | t2023-12-31 | s'FR' | s'Francia'\n"
      "l12 | i1 | t1753-01-01 | n | n\n"
      "l13 | n | t1753-01-01 | n | n\n",
      Rows(testing::kMovementListing));
  // A country code that is not in the table gives Nulls too.
  EXPECT_SAME_TEXT(
      "L_PAESE:2 | CG07_CODISO:200(2)\n"
      "i99 | n\n",
      Rows("SELECT L_PAESE, C.CG07_CODISO FROM LINES OUTER APPLY DBO.FNCG07_TABSTATIEST(L_PAESE, L_DITTA) AS C\n"
           "WHERE L_NUMREG = 11"));
}

TEST_F(TsqlConstructs, DeleteWithoutFrom) {
  EXPECT_EQ(nullptr, connection_->Execute(testing::kDeleteLines, kCmdText | kExecuteNoRecords));
  EXPECT_SAME_TEXT(
      "L_DITTA:3 | L_NUMREG:3 | L_RIGA:2\n"
      "l1 | l11 | i1\n"
      "l1 | l12 | i1\n"
      "l2 | l10 | i1\n",
      Rows("SELECT L_DITTA, L_NUMREG, L_RIGA FROM LINES ORDER BY L_DITTA, L_NUMREG"));
}

TEST_F(TsqlConstructs, TemporaryTablesLiveWithTheConnection) {
  const std::string flagged =
      "L_CODICE:200(8) | IMPORTO:14(38,2) | ERRORE:3\n"
      "s'9403' | d-0.10 | l1\n";
  EXPECT_SAME_TEXT(flagged, Rows(testing::kStagingBatch));
  // The batch drops its own table first, so it runs again on the same connection.
  EXPECT_SAME_TEXT(flagged, Rows(testing::kStagingBatch));
  EXPECT_SAME_TEXT(
      "L_CODICE:200(8) | IMPORTO:14(38,2) | ERRORE:3\n"
      "n | d5.50 | l0\n"
      "s'84713000' | d119.49 | l0\n"
      "s'9403' | d-0.10 | l1\n"
      "s'EXTRA' | d1.00 | l0\n",
      Rows("SELECT * FROM #STAGE ORDER BY L_CODICE"));
  // Without flagged rows the ELSE branch gives the whole table.
  connection_->Execute("DELETE CODICI_ERRATI", kCmdText | kExecuteNoRecords);
  EXPECT_SAME_TEXT(
      "L_CODICE:200(8) | IMPORTO:14(38,2) | ERRORE:3\n"
      "n | d5.50 | l0\n"
      "s'84713000' | d119.49 | l0\n"
      "s'9403' | d-0.10 | l0\n"
      "s'EXTRA' | d1.00 | l0\n",
      Rows(testing::kStagingBatch));
  // Another connection has its own session.
  ConnectionPtr other = db_.Open();
  try {
    other->Execute("SELECT * FROM #STAGE");
    ADD_FAILURE() << "the table of another session was visible";
  } catch (const Error& e) {
    EXPECT_EQ("208: Invalid object name '#STAGE'.", std::to_string(e.number()) + ": " + e.description());
  }
  // SELECT INTO an existing table and DROP of a missing one fail as on the server.
  EXPECT_EQ("2714: There is already an object named '#STAGE' in the database.",
            Failure("SELECT 1 AS X INTO #STAGE"));
  EXPECT_EQ("3701: Cannot drop the table '#NONE', because it does not exist or you do not have permission.",
            Failure("DROP TABLE #NONE"));
}

TEST_F(TsqlConstructs, SessionTablesCopiedAndNumberedOn) {
  connection_->Execute(
      "IF OBJECT_ID(N'tempdb..#A', N'U') IS NOT NULL DROP TABLE #A;\n"
      "SELECT 0 AS ERRORE, 40 + ROW_NUMBER() OVER (ORDER BY L_CODICE, L_RIGA) AS FAKEID, L_CODICE INTO #A\n"
      "FROM LINES WHERE L_DITTA = 2;\n"
      "SELECT * INTO #B FROM #A;\n",
      kCmdText | kExecuteNoRecords);
  EXPECT_SAME_TEXT(
      "MAXPROGR:20 | VUOTA:20\n"
      "l41 | l0\n",
      Rows("SELECT ISNULL(MAX(FAKEID), 0) AS MAXPROGR,\n"
           "       (SELECT ISNULL(MAX(FAKEID), 0) FROM #A WHERE ERRORE = 1) AS VUOTA FROM #A"));
  connection_->Execute("INSERT INTO #B SELECT * FROM #A", kCmdText | kExecuteNoRecords);
  EXPECT_SAME_TEXT(
      "ERRORE:3 | FAKEID:20 | L_CODICE:200(8)\n"
      "l0 | l41 | s'84713000'\n"
      "l0 | l41 | s'84713000'\n",
      Rows("SELECT * FROM #B ORDER BY FAKEID"));
}

TEST_F(TsqlConstructs, SetOperationsCompareRowsUnderTheCollation) {
  EXPECT_SAME_TEXT(
      "UNITE:3 | ESCLUSE:3 | COMUNI:3\n"
      "l2 | l1 | l1\n",
      Rows("SELECT (SELECT COUNT(*) FROM (SELECT D_VALUTA AS V FROM DOCS UNION SELECT V_CODICE FROM VALUTE) AS U)\n"
           "         AS UNITE,\n"
           "       (SELECT COUNT(*) FROM (SELECT V_CODICE AS V FROM VALUTE\n"
           "                              EXCEPT SELECT D_VALUTA FROM DOCS WHERE D_NUMREG = 12) AS E) AS ESCLUSE,\n"
           "       (SELECT COUNT(*) FROM (SELECT V_CODICE AS V FROM VALUTE\n"
           "                              INTERSECT SELECT D_VALUTA FROM DOCS WHERE D_VALUTA = 'usd') AS I) AS COMUNI"));
}

TEST_F(TsqlConstructs, BatchResultIsItsLastRowReturningSelect) {
  EXPECT_SAME_TEXT(
      "B:3\n"
      "l2\n",
      Rows("SELECT 1 AS A; SELECT 2 AS B\nUPDATE DOCS SET D_TIPO = 1 WHERE D_NUMREG = 99"));
  // A batch with no SELECT gives a closed recordset.
  RecordsetPtr none = connection_->Execute("UPDATE DOCS SET D_TIPO = 1 WHERE D_NUMREG = 99");
  ASSERT_NE(nullptr, none);
  EXPECT_FALSE(none->IsOpen());
}

TEST_F(TsqlConstructs, TextConcatenationAndNullPropagation) {
  EXPECT_SAME_TEXT(
      "D_NUMREG:3 | K:200(15) | N2:202(21)\n"
      "l10 | s'EUR-10' | s'Alpha!'\n"
      "l11 | s'eur -11' | s'Beta !'\n"
      "l12 | s'USD-12' | s'gamma!'\n"
      "l13 | s'EUR-13' | n\n",
      Rows("SELECT D_NUMREG, D_VALUTA + '-' + CAST(D_NUMREG AS VARCHAR(10)) AS K, L_NOTA + '!' AS N2\n"
           "FROM DOCS LEFT JOIN LINES ON L_DITTA = D_DITTA AND L_NUMREG = D_NUMREG AND L_RIGA = 1\n"
           "WHERE D_DITTA = 1 ORDER BY D_NUMREG"));
}

TEST_F(TsqlConstructs, DivisionAndConversionsFailAsOnTheServer) {
  // Integer division truncates; a decimal stored as a whole number (7.00)
  // still divides as a decimal.
  EXPECT_SAME_TEXT(
      "A:3 | B:3 | C:14(13,12) | D:14(29,13)\n"
      "l3 | l-3 | d3.500000000000 | d1.7500000000000\n",
      Rows("SELECT 7 / 2 AS A, -7 / 2 AS B, 7.0 / 2 AS C, L_IMPORTO / 4 AS D FROM LINES WHERE L_DITTA = 2"));
  EXPECT_EQ("8134: Divide by zero error encountered.",
            Failure("SELECT L_IMPORTO / (L_RIGA - 1) FROM LINES WHERE L_DITTA = 2"));
  EXPECT_SAME_TEXT(
      "N:3\n"
      "l4\n",
      Rows("SELECT COUNT(*) AS N FROM LINES WHERE L_NUMREG = '10'"));
  EXPECT_EQ("245: Conversion failed when converting the varchar value 'abc' to data type int.",
            Failure("SELECT COUNT(*) AS N FROM LINES WHERE L_NUMREG = 'abc'"));
  // A text column meeting a number is converted row by row.
  EXPECT_EQ("245: Conversion failed when converting the varchar value 'Eur' to data type int.",
            Failure("SELECT COUNT(*) FROM VALUTE WHERE V_CODICE = 1"));
}

TEST_F(TsqlConstructs, TextComparesWithoutCaseOrTrailingBlanks) {
  EXPECT_SAME_TEXT(
      "E:3 | L:3 | A:3 | S:3\n"
      "l1 | l2 | l1 | l0\n",
      Rows("SELECT CASE WHEN 'ab' = 'AB ' THEN 1 ELSE 0 END AS E, LEN('ab  ') AS L,\n"
           "       CASE WHEN N'àb' = N'ÀB' THEN 1 ELSE 0 END AS A, CASE WHEN 'a' = N'à' THEN 1 ELSE 0 END AS S"));
  // GROUP BY, DISTINCT, IN and joins put 'EUR', 'eur ' and 'Eur' together.
  EXPECT_SAME_TEXT(
      "N:3 | M:3\n"
      "l4 | l10\n"
      "l1 | l12\n",
      Rows("SELECT COUNT(*) AS N, MIN(D_NUMREG) AS M FROM DOCS GROUP BY D_VALUTA ORDER BY M"));
  EXPECT_SAME_TEXT(
      "DISTINTE:3 | IN_LISTA:3 | UNITE:3\n"
      "l2 | l4 | l5\n",
      Rows("SELECT (SELECT COUNT(DISTINCT D_VALUTA) FROM DOCS) AS DISTINTE,\n"
           "       (SELECT COUNT(*) FROM DOCS WHERE D_VALUTA IN ('eur')) AS IN_LISTA,\n"
           "       (SELECT COUNT(*) FROM DOCS JOIN VALUTE ON V_CODICE = D_VALUTA) AS UNITE"));
  EXPECT_SAME_TEXT(
      "N:3\n"
      "l3\n",
      Rows("SELECT COUNT(*) AS N FROM (SELECT DISTINCT L_CODICE FROM LINES) AS D"));
  // ORDER BY too: 'alpha' before 'Beta ', Nulls first.
  EXPECT_SAME_TEXT(
      "L_NOTA:202(20)\n"
      "n\n"
      "s'alpha'\n"
      "s'Beta '\n"
      "s'Delta'\n"
      "s'gamma'\n",
      Rows("SELECT L_NOTA FROM LINES WHERE NOT (L_DITTA = 1 AND L_NUMREG = 10 AND L_RIGA = 1) ORDER BY L_NOTA"));
}

TEST_F(TsqlConstructs, DatesCompareWithTextLiteralsAndReturnAsDates) {
  EXPECT_SAME_TEXT(
      "D_NUMREG:3 | D_DATA:135 | PRIMA:135\n"
      "l10 | t2024-01-05 | t2023-12-31\n"
      "l11 | t2024-02-20 | t2023-12-31\n",
      Rows("SELECT D_NUMREG, D_DATA, CAST('2023-12-31' AS DATETIME) AS PRIMA FROM DOCS\n"
           "WHERE D_DATA BETWEEN '20240101' AND '20240229' ORDER BY D_DATA"));
  EXPECT_SAME_TEXT(
      "D_NUMREG:3\n"
      "l12\n"
      "l13\n",
      Rows("SELECT D_NUMREG FROM DOCS WHERE D_DITTA = 1 AND ISNULL(D_DATA, '99991231') >= '20240301'\n"
           "ORDER BY D_NUMREG"));
  EXPECT_EQ("241: Conversion failed when converting date and/or time from character string.",
            Failure("SELECT D_NUMREG FROM DOCS WHERE D_DATA > '20241301'"));
}

TEST_F(TsqlConstructs, UpdateWithFromAndInsertSelect) {
  connection_->Execute(
      "SELECT D_NUMREG, D_VALUTA, 0 AS FLAG INTO #D FROM DOCS WHERE D_DITTA = 1\n"
      "INSERT INTO #D (D_NUMREG, FLAG) SELECT 99, 0\n"
      "UPDATE X SET FLAG = 2, D_VALUTA = V.V_CODICE FROM #D AS X INNER JOIN VALUTE AS V ON V.V_CODICE = X.D_VALUTA",
      kCmdText | kExecuteNoRecords);
  EXPECT_SAME_TEXT(
      "D_NUMREG:3 | D_VALUTA:200(4) | FLAG:3\n"
      "l10 | s'Eur' | l2\n"
      "l11 | s'Eur' | l2\n"
      "l12 | s'usd' | l2\n"
      "l13 | s'Eur' | l2\n"
      "l99 | n | l0\n",
      Rows("SELECT * FROM #D ORDER BY D_NUMREG"));
}

TEST_F(TsqlConstructs, UntranslatableConstructsAreNamed) {
  EXPECT_EQ("30100: The SQLite backend cannot translate this T-SQL construct: variable @Ditta",
            Failure("SELECT * FROM DOCS WHERE D_DITTA = @Ditta"));
  EXPECT_EQ("30100: The SQLite backend cannot translate this T-SQL construct: function GETDATE",
            Failure("SELECT GETDATE() AS OGGI"));
  EXPECT_EQ("30100: The SQLite backend cannot translate this T-SQL construct: common table expression (WITH ... AS)",
            Failure("WITH X AS (SELECT 1 AS A) SELECT * FROM X"));
  EXPECT_EQ("30100: The SQLite backend cannot translate this T-SQL construct: table-valued function DBO.FNALTRO",
            Failure("SELECT * FROM DOCS OUTER APPLY DBO.FNALTRO(D_DITTA) AS F"));
  EXPECT_EQ("102: Incorrect syntax near 'DOCS'.", Failure("SELECT D_DITTA FROMM DOCS"));
  EXPECT_EQ("207: Invalid column name 'NESSUNA'.", Failure("SELECT NESSUNA FROM DOCS"));
  EXPECT_EQ("209: Ambiguous column name 'CODICE'.",
            Failure("SELECT CODICE FROM CODICI_ERRATI, CODICI_ERRATI AS B"));
  // SQLite's own failures keep SQLite's message.
  EXPECT_EQ("30019: UNIQUE constraint failed: DOCS.D_DITTA, DOCS.D_NUMREG (SQLite error 1555)",
            Failure("INSERT INTO DOCS (D_DITTA, D_NUMREG) VALUES (1, 10)"));
}

}  // namespace
}  // namespace zelmora
