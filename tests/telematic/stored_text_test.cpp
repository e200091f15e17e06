// Text stored in the host database that is hostile to SQL or to the file:
// quotes, OR, statement separators and comments in the codes that zelmora
// verify --db puts into its own statements, NUL bytes, control characters,
// emoji and broken UTF-8 in the values the submission file carries. Each
// value must match itself only, and the format check must name each byte
// the file must not hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "cli/check_command.h"
#include "cli/declaration_command.h"
#include "cli/movements_command.h"
#include "cli/telematic_command.h"
#include "cli/verify_command.h"
#include "support/database.h"
#include "support/submission_request.h"
#include "support/temp_folder.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

TEST(StoredText, VerifyNamesTheLinesOfHostileValuesAndTheBytesTheFileMustNotHold) {
  TempDatabase db;
  db.Run(
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE, CG18_INDINTRAVEN, CG18_INDINTRAACQ) "
      "VALUES (1, 'Declarant''; --', 0, 1, 1);"
      "INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1);");
  // Each party has a code of its own that a quote, OR, ';' or a comment
  // would widen to the others' registrations if pasted into SQL; the VAT
  // numbers carry the bytes the file must not hold.
  struct Case {
    int party;
    std::string vat;   // SQL expression
    std::string code;  // SQL expression, a valid code of 2024
  } cases[] = {
      {100, "'DE' || char(0) || '111'", "'1'' OR ''1'"},
      {101, "'DE' || char(128512)", "'84''--'"},
      {102, "'DE' || char(1) || char(127) || '2'", "'8/*;*/'"},
      {103, "'DE' || CAST(X'C328' AS TEXT)", "''';--'"},
      {104, "'DE' || char(9) || '4'", "'1'';'"},
      {105, "'DE5'", "'7' || char(0) || '1'"},
  };
  int registration = 0;
  for (const Case& c : cases) {
    const std::string party = std::to_string(c.party);
    db.Run("INSERT INTO CG16_ANAGGEN VALUES (" + party + ", 'Party '' OR 1=1 --', " + c.vat + ", 4);"
           "INSERT INTO CG44_CLIFOR VALUES (1, 0, " + party + ", " + party + ");"
           "INSERT INTO CG72_NOMENCLATURE VALUES (2024, 0, " + c.code + ", 'x');");
    // Two registrations of each party and code, and one of the same party
    // with a plain code that must not be named with them.
    for (const std::string& code : {c.code, c.code, std::string("'84821090'")}) {
      db.Add({.registration = ++registration, .competence = "'20240603'", .partner = c.party, .code = code,
              .amount = "100", .currencyAmount = "100"});
    }
  }
  db.Run("INSERT INTO CG72_NOMENCLATURE VALUES (2024, 0, '84821090', 'Cuscinetti');"
         "UPDATE CG41_PRIMANOTA SET CG41_NUMDOC = 100 + CG41_NUMREG;");

  // The commands that read these values without putting them into SQL
  // keep to their rows: every registration once, nothing failing.
  auto rows = [](const std::string& csv) { return std::count(csv.begin(), csv.end(), '\n'); };
  std::ostringstream movements, lines, checked, said;
  cli::MovementsOptions list;
  list.database = db.path();
  list.company = "1";
  list.csv = true;
  EXPECT_EQ(cli::RunMovements(list, movements, said), 0) << said.str();
  EXPECT_EQ(rows(movements.str()), 1 + 18);
  const cli::DeclarationRequest declaration{.database = db.path(), .company = 1, .year = 2024, .period = 6, .csv = true};
  EXPECT_EQ(cli::RunDeclaration(declaration, lines, said), 0) << said.str();
  EXPECT_EQ(rows(lines.str()), 1 + 12);
  const cli::CheckRequest check{.database = db.path(), .company = 1, .year = 2024, .period = 6, .lists = "both"};
  EXPECT_EQ(cli::RunCheck(check, checked, said), 0) << said.str();
  EXPECT_EQ(checked.str(),
            "0 lines with a code not valid for its reference year\n"
            "0 stored values that would leave movements out of the declaration or break its records\n");

  TempFolder folder;
  cli::SubmissionRequest request = testing::MarchRequest(db.path(), folder.path());
  request.period = "6";
  request.lists = "sales";
  request.date = "2024-07-10";
  request.submission = "1";
  request.layout = "2010";  // the file the 2010 writer makes of such values, for verify to read
  std::ostringstream written, writeErr;
  ASSERT_EQ(cli::RunTelematic(request, written, writeErr), 0) << writeErr.str();

  cli::VerifyRequest verify{.file = folder / "ABCD0710.I01", .layout = "2010", .database = db.path(), .company = 1, .year = 2024,
                            .period = 6};
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunVerify(verify, out, err), 1);
  EXPECT_EQ(err.str(), "");
  // Each line names its own registrations only: the hostile codes match
  // themselves, the plain code of the same party its own registration.
  const std::string tail = verify.file + ": 2010 layout, 14 records, 17 problems\n";
  const std::string report = out.str();
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  testing::ExpectGoldenFile("telematic/golden/hostile_values_verify.txt", report.substr(0, report.size() - tail.size()));
}

}  // namespace
}  // namespace zelmora
