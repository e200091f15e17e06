// How a batch splits into statements (by ";" or where the next statement's
// keyword begins) and how text that is not T-SQL, or T-SQL the SQLite
// backend does not run, is reported.
#include <gtest/gtest.h>

#include <string>

#include "platform/sqlite/tsql_parser.h"
#include "support/arrow_cases.h"
#include "support/data_blocks.h"
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

// Each batch of platform/sqlite/batches.txt splits into its statements or
// fails as written.
TEST(TsqlParser, BatchesSplitOrReportWhatTheyCannotBe) {
  testing::ExpectArrowCases("platform/sqlite/batches.txt", [](const std::string& line) {
    std::string kinds;
    const std::string error = testing::ErrorOf([&] { kinds = Kinds(tsql::ParseBatch(testing::Unescaped(line))); });
    return error != "no error" ? error : kinds.empty() ? "(none)" : kinds;
  });
}

}  // namespace
}  // namespace zelmora
