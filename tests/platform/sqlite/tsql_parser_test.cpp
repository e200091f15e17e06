// How a batch splits into statements (by ";" or where the next statement's
// keyword begins) and how text that is not T-SQL, or T-SQL the SQLite
// backend does not run, is reported.
#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "platform/sqlite/tsql_parser.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

std::string Kinds(const std::vector<tsql::StatementPtr>& statements);

std::string Kind(const tsql::Statement& s) {
  switch (s.kind) {
    case tsql::Statement::Kind::Select: return s.query->core && !s.query->core->into.empty() ? "SELECT-INTO" : "SELECT";
    case tsql::Statement::Kind::Insert: return "INSERT";
    case tsql::Statement::Kind::Update: return "UPDATE";
    case tsql::Statement::Kind::Delete: return "DELETE";
    case tsql::Statement::Kind::DropTable: return "DROP";
    case tsql::Statement::Kind::CreateTable: return "CREATE";
    case tsql::Statement::Kind::Block: return "BEGIN(" + Kinds(s.body) + ")";
    case tsql::Statement::Kind::If:
      return "IF(" + Kind(*s.thenBranch) + (s.elseBranch ? " ELSE " + Kind(*s.elseBranch) : "") + ")";
  }
  return "?";
}

std::string Kinds(const std::vector<tsql::StatementPtr>& statements) {
  std::string out;
  for (const tsql::StatementPtr& s : statements) out += (out.empty() ? "" : " ") + Kind(*s);
  return out;
}

std::string Failure(const std::string& batch) {
  return testing::ErrorOf([&] { tsql::ParseBatch(batch); });
}

TEST(TsqlParser, BatchesSplitAtSemicolonsAndStatementKeywords) {
  EXPECT_EQ("IF(DROP) SELECT-INTO INSERT UPDATE IF(SELECT ELSE SELECT)",
            Kinds(tsql::ParseBatch("IF OBJECT_ID(N'tempdb..#T', N'U') IS NOT NULL\r   DROP TABLE #T \r;\r"
                                   "SELECT A, B INTO #T FROM X WHERE A = 1\r"
                                   "INSERT INTO #T SELECT A, B FROM Y\n"
                                   "UPDATE T SET A = 1 FROM #T AS T INNER JOIN Z ON Z.A = T.A;;\n"
                                   "IF EXISTS(SELECT 1 FROM #T WHERE A = 1) SELECT * FROM #T WHERE A = 1 "
                                   "ELSE SELECT * FROM #T ORDER BY A; ")));
  EXPECT_EQ("SELECT SELECT DELETE BEGIN(CREATE DELETE)",
            Kinds(tsql::ParseBatch("SELECT 1 AS A SELECT (SELECT 2) AS B -- comment\n"
                                   "DELETE X WHERE A = 1 /* a /* nested */ comment */ BEGIN CREATE TABLE #Z (A INT) "
                                   "DELETE #Z END")));
  EXPECT_EQ("", Kinds(tsql::ParseBatch(" ; -- nothing\r\n")));
}

TEST(TsqlParser, ReportsTextThatIsNotTsql) {
  EXPECT_EQ("102: Incorrect syntax near 'WHERE'.", Failure("SELECT * FROM DOCS WHERE"));
  EXPECT_EQ("102: Incorrect syntax near 'FROM'.", Failure("SELECT A, FROM DOCS"));
  EXPECT_EQ("102: Incorrect syntax near ')'.", Failure("SELECT (A + ) FROM DOCS"));
  EXPECT_EQ("105: Unclosed quotation mark after the character string 'abc '.", Failure("SELECT 'abc "));
  EXPECT_EQ("102: Incorrect syntax near 'ELSE'.", Failure("SELECT 1 ELSE SELECT 2"));
}

TEST(TsqlParser, NamesWhatTheSqliteBackendDoesNotRun) {
  const std::string prefix = "30100: The SQLite backend cannot translate this T-SQL construct: ";
  EXPECT_EQ(prefix + "DECLARE statement", Failure("DECLARE @X INT"));
  EXPECT_EQ(prefix + "EXEC statement", Failure("EXEC SP_WHO"));
  EXPECT_EQ(prefix + "BEGIN TRANSACTION", Failure("BEGIN TRAN DELETE X COMMIT"));
  EXPECT_EQ(prefix + "table hint FORCEORDER", Failure("SELECT * FROM X WITH (FORCEORDER)"));
  EXPECT_EQ(prefix + "user-defined function DBO.FNIMPORTO", Failure("SELECT DBO.FNIMPORTO(A) FROM X"));
  EXPECT_EQ(prefix + "bitwise operator &", Failure("SELECT A & 1 FROM X"));
  EXPECT_EQ(prefix + "DELETE ... FROM with a join", Failure("DELETE X FROM X INNER JOIN Y ON Y.A = X.A"));
  EXPECT_EQ(prefix + "window frame (ROWS / RANGE)",
            Failure("SELECT ROW_NUMBER() OVER (ORDER BY A ROWS UNBOUNDED PRECEDING) FROM X"));
}

}  // namespace
}  // namespace zelmora
