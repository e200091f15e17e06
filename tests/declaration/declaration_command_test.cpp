// zelmora declaration: what a person reads, and what a failing run says.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/declaration_command.h"
#include "support/database.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

void FillSmallCompany(TempDatabase& db) {
  db.Run(
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES (1, 'Declarant', 0);"
      "INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1), (1, 'FR', 'Francia', 1);"
      "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller, Söhne & Co. GmbH', 'DE111', 4), (101, 'Dupont SA', 'FR222', 1);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 11, 101);");
  db.Add({.registration = 1, .amount = "1000.10", .currencyAmount = "1000.10", .mass = "10.5", .units = "2",
          .statisticalValue = "1100"});
  db.Add({.registration = 2, .competence = "'20240612'", .partner = 11, .code = "'73181595'", .amount = "-20.5",
          .currencyAmount = "-20.5", .destination = "1"});
  db.Add({.registration = 3, .operation = 1, .code = "'620100'", .amount = "300", .currencyAmount = "300",
          .in03 = "'A'", .in04 = "'B'"});
}

TEST(DeclarationCommand, PrintsTheLinesForAPersonOrAsCsv) {
  TempDatabase db;
  FillSmallCompany(db);
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
