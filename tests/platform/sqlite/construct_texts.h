// The test database of the T-SQL construct tests, and the hand-written T-SQL
// texts that are also checked against the T-SQL grammar.
#pragma once

namespace zelmora::testing {

// Documents and their lines in the storage contract's types, the country
// table that the country function reads, and two small lookup tables.
// Hand-checked facts used by the tests:
//   company 1, registration 10: lines 12.29 (+), 0.20 (+), 0.10 (-), codes
//     '84713000', '84713000 ' and '9403', countries 4, 4, 11;
//   registration 11: one line 100.00 in country 99 (no such country);
//   registration 12: one line 5.50 without code or country; 13: no lines;
//   company 2, registration 10: one line 7.00.
inline constexpr const char* kTestSchema = R"SQL(
CREATE TABLE DOCS (
  D_DITTA  INT NOT NULL,
  D_NUMREG INT NOT NULL,
  D_TIPO   TINYINT,
  D_DATA   DATETIME,
  D_VALUTA VARCHAR(4) COLLATE TSQL,
  PRIMARY KEY (D_DITTA, D_NUMREG)
);
CREATE TABLE LINES (
  L_DITTA     INT NOT NULL,
  L_NUMREG    INT NOT NULL,
  L_RIGA      SMALLINT,
  L_CODICE    VARCHAR(8) COLLATE TSQL,
  L_IMPORTO   DECIMAL(18,2),
  L_SEGNO     TINYINT,
  L_PAESE     SMALLINT,
  L_NOTA      NVARCHAR(20) COLLATE TSQL,
  L_DATAORIG  DATETIME
);
CREATE INDEX IX_LINES ON LINES (L_DITTA, L_NUMREG);
CREATE TABLE CG07_TABSTATIEST (
  CG07_CODICE SMALLINT NOT NULL PRIMARY KEY,
  CG07_CODISO VARCHAR(2) COLLATE TSQL,
  CG07_DESCR  VARCHAR(40) COLLATE TSQL
);
CREATE TABLE VALUTE (V_CODICE VARCHAR(4) COLLATE TSQL);
CREATE TABLE CODICI_ERRATI (CODICE VARCHAR(8) COLLATE TSQL);
INSERT INTO DOCS VALUES (1, 10, 1, '20240105', 'EUR'), (1, 11, 2, '20240220', 'eur '), (1, 12, 1, NULL, 'USD'),
                        (1, 13, 4, '20240301', 'EUR'), (2, 10, 3, '20240310', 'EUR');
INSERT INTO LINES VALUES (1, 10, 1, '84713000', 12.29, 0, 4, 'Alpha', NULL),
                         (1, 10, 2, '84713000 ', 0.20, 0, 4, 'alpha', NULL),
                         (1, 10, 3, '9403', 0.10, 1, 11, NULL, '20231231'),
                         (1, 11, 1, '84713000', 100.00, 0, 99, 'Beta ', '20231115'),
                         (1, 12, 1, NULL, 5.50, 0, NULL, 'gamma', NULL),
                         (2, 10, 1, '84713000', 7.00, 0, 4, 'Delta', NULL);
INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania'), (11, 'FR', 'Francia');
INSERT INTO VALUTE VALUES ('Eur'), ('usd');
INSERT INTO CODICI_ERRATI VALUES ('9403  ');
)SQL";

// A movement listing in the component's style: table hints, DBO. prefix,
// outer joins, the country function applied per line, ISNULL with a date.
inline constexpr const char* kMovementListing =
    " SELECT \r"
    "     DOCS.D_NUMREG \r"
    "   , L_RIGA \r"
    "   , ISNULL(L_DATAORIG, '17530101') AS DATAORIG \r"
    "   , PRO.CG07_CODISO \r"
    "   , PRO.CG07_DESCR \r"
    " FROM DBO.DOCS WITH(NOLOCK) \r"
    " LEFT OUTER JOIN LINES WITH (NOLOCK) \r"
    "              ON D_DITTA = L_DITTA \r"
    "             AND D_NUMREG = L_NUMREG \r"
    " OUTER APPLY DBO.FNCG07_TABSTATIEST(L_PAESE, D_DITTA) AS PRO \r"
    " WHERE D_DITTA = 1\r"
    " AND D_NUMREG <> '11'\r\n"
    " ORDER BY DOCS.D_NUMREG, L_RIGA";

// A batch that stages rows in a session table, flags some of them and
// returns either the flagged rows or all of them.
inline constexpr const char* kStagingBatch =
    "IF OBJECT_ID(N'tempdb..#STAGE', N'U') IS NOT NULL\r"
    "   DROP TABLE #STAGE \r"
    ";\r"
    "SELECT RTRIM(L_CODICE) AS L_CODICE, SUM(L_IMPORTO * (1 - 2 * L_SEGNO)) AS IMPORTO, 0 AS ERRORE INTO #STAGE \r"
    "FROM LINES WITH(NOLOCK) GROUP BY L_CODICE\r"
    "INSERT INTO #STAGE SELECT N'EXTRA', 1.00, 0\r"
    "UPDATE STP \r"
    "   SET ERRORE = 1 \r"
    "FROM #STAGE AS STP \r"
    "INNER JOIN CODICI_ERRATI AS ERR \r"
    "        ON ERR.CODICE = STP.L_CODICE \r"
    "; \r"
    "IF EXISTS(SELECT 1 FROM #STAGE WHERE ERRORE = 1) \r"
    "    SELECT * FROM #STAGE WHERE ERRORE = 1 \r"
    "ELSE \r"
    "    SELECT * FROM #STAGE ORDER BY L_CODICE \r"
    "; ";

// Totals per code over a union of lines and a constant row, read through a
// derived table.
inline constexpr const char* kUnionTotals =
    "SELECT RTRIM(X.K) AS K, SUM(X.V) AS S, COUNT(*) AS N\r\n"
    "FROM (SELECT L_CODICE AS K, L_IMPORTO AS V FROM LINES WHERE L_DITTA = 1\r\n"
    "      UNION ALL\r\n"
    "      SELECT 'TOTALE', 1.5) AS X\r\n"
    "GROUP BY X.K\r\n"
    "ORDER BY X.K";

// Per document: whether it has lines and its signed total, by correlated
// sub-queries; documents with a line above 50 are left out.
inline constexpr const char* kCorrelated =
    "SELECT D_NUMREG,\r\n"
    "       (SELECT TOP 1 1 FROM LINES WITH(NOLOCK) WHERE L_NUMREG = D_NUMREG AND L_DITTA = D_DITTA) AS DETTAGLIO,\r\n"
    "       (SELECT SUM(L_IMPORTO * (1 - 2 * L_SEGNO)) FROM LINES\r\n"
    "         WHERE L_DITTA = DOCS.D_DITTA AND L_NUMREG = DOCS.D_NUMREG) AS NETTO\r\n"
    "FROM DOCS\r\n"
    "WHERE D_DITTA = 1\r\n"
    "  AND NOT EXISTS (SELECT 1 FROM LINES AS A\r\n"
    "                   WHERE A.L_NUMREG = D_NUMREG AND A.L_DITTA = D_DITTA AND A.L_IMPORTO > 50)\r\n"
    "ORDER BY D_NUMREG";

// Per code of company 1: the total, the signed total and the number of
// negative lines of the code, and for code 9403 its largest amount, the last
// three by correlated sub-queries of a grouped query (one reads the
// correlated rows through a derived table, one is read in a CASE branch).
inline constexpr const char* kGroupedCorrelated =
    "SELECT L_DITTA, RTRIM(L_CODICE) AS C, SUM(L_IMPORTO) AS S,\r\n"
    "       (SELECT SUM(R.V) FROM (SELECT A.L_IMPORTO * (1 - 2 * A.L_SEGNO) AS V FROM LINES A WITH (NOLOCK)\r\n"
    "                              WHERE A.L_DITTA = LINES.L_DITTA AND A.L_CODICE = LINES.L_CODICE) R) AS NETTO,\r\n"
    "       (SELECT COUNT(*) FROM LINES B\r\n"
    "         WHERE B.L_DITTA = LINES.L_DITTA AND ISNULL(B.L_CODICE, '') = ISNULL(LINES.L_CODICE, '')\r\n"
    "           AND B.L_SEGNO = 1) AS NEGATIVE,\r\n"
    "       CASE WHEN L_CODICE = '9403' THEN (SELECT MAX(C.L_IMPORTO) FROM LINES C\r\n"
    "                                          WHERE C.L_DITTA = LINES.L_DITTA AND C.L_CODICE = LINES.L_CODICE)\r\n"
    "            ELSE 0 END AS MASSIMO\r\n"
    "FROM LINES\r\n"
    "WHERE L_DITTA = 1\r\n"
    "GROUP BY L_DITTA, L_CODICE\r\n"
    "ORDER BY L_CODICE";

// Per code of company 1 over the lines dated (or, undated, taken as of
// 15 January) in December or January: the total, and for code 84713000 the
// total and the last line number of its lines dated (undated: as of
// 1 December) up to 1 January, by two sub-queries over the same rows.
inline constexpr const char* kSharedCorrelated =
    "SELECT L_DITTA, L_CODICE, SUM(L_IMPORTO) AS S,\r\n"
    "       CASE WHEN L_CODICE = '84713000' THEN (SELECT SUM(A.L_IMPORTO) FROM LINES A\r\n"
    "         WHERE ISNULL(A.L_DATAORIG, '20231201') <= '20240101' AND A.L_DITTA = LINES.L_DITTA\r\n"
    "           AND A.L_CODICE = LINES.L_CODICE) ELSE 0 END AS PRIMA,\r\n"
    "       CASE WHEN L_CODICE = '84713000' THEN (SELECT MAX(A.L_RIGA) FROM LINES A\r\n"
    "         WHERE ISNULL(A.L_DATAORIG, '20231201') <= '20240101' AND A.L_DITTA = LINES.L_DITTA\r\n"
    "           AND A.L_CODICE = LINES.L_CODICE) ELSE 0 END AS RIGA\r\n"
    "FROM LINES\r\n"
    "WHERE L_DITTA = 1 AND ISNULL(L_DATAORIG, '20240115') BETWEEN '20231201' AND '20240131'\r\n"
    "GROUP BY L_DITTA, L_CODICE\r\n"
    "ORDER BY L_CODICE";

inline constexpr const char* kDeleteLines = "DELETE LINES WHERE L_DITTA = 1 AND L_NUMREG = '10'";

}  // namespace zelmora::testing
