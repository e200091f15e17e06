// zelmora declaration: what a person reads, and what a failing run says.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/declaration_command.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

TEST(DeclarationCommand, PrintsTheLinesForAPersonOrAsCsv) {
  TempDatabase db(testing::TestFile("declaration/command_rows.sql"));
  cli::DeclarationRequest request{.database = db.path(), .company = 1, .year = 2024, .period = 6, .periodicity = 2};
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunDeclaration(request, out, err), 0) << err.str();
  testing::ExpectGoldenFile("declaration/golden/command_lines.txt", out.str());

  // Monthly: the statistical data too; CSV: every column, texts quoted
  // where they hold a comma.
  request.periodicity = 1;
  request.period = 5;
  request.csv = true;
  std::ostringstream csv;
  EXPECT_EQ(cli::RunDeclaration(request, csv, err), 0) << err.str();
  testing::ExpectGoldenFile("declaration/golden/command_lines.csv", csv.str());
}

TEST(DeclarationCommand, FailuresSayWhyInOneLine) {
  std::ostringstream out, err;
  cli::DeclarationRequest missing{.database = "/nonexistent/host.db", .company = 1, .year = 2024, .period = 5};
  EXPECT_EQ(cli::RunDeclaration(missing, out, err), 2);
  EXPECT_EQ(err.str(), "zelmora declaration: no database file at /nonexistent/host.db\n");
  EXPECT_EQ(out.str(), "");

  // A company the database does not know.
  TempDatabase db;
  std::ostringstream err2;
  cli::DeclarationRequest unknown{.database = db.path(), .company = 5, .year = 2024, .period = 5};
  EXPECT_EQ(cli::RunDeclaration(unknown, out, err2), 2);
  EXPECT_EQ(err2.str(), "zelmora declaration: company 5 is not in the company table CG18_DITTE\n");
}

}  // namespace
}  // namespace zelmora
