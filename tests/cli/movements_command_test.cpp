// zelmora movements: the list a person reads (or exports) to check what
// will be declared, run in-process on a hand-made host database.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/movements_command.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"
#include "support/run_zelmora.h"

namespace zelmora {
namespace {

using cli::MovementsOptions;
using testing::Outcome;
using testing::TempDatabase;

Outcome RunCommand(const MovementsOptions& options) {
  std::ostringstream out, err;
  const int code = cli::RunMovements(options, out, err);
  return {code, out.str(), err.str()};
}

class MovementsCommand : public ::testing::Test {
 protected:
  // Company 1's movements.
  MovementsOptions Options() const {
    MovementsOptions options;
    options.database = db_.path();
    options.company = "1";
    return options;
  }

  // The command refuses a company its database does not know.
  TempDatabase db_{testing::TestFile("movements/movement_rows.sql") +
                   "INSERT INTO CG18_DITTE VALUES (1, 'Alfa', 1, 1, 0), (2, 'Beta', 1, 1, 0);"};
};

TEST_F(MovementsCommand, ListsLinesWithSignedTotalsDocumentsAndCsv) {
  MovementsOptions options = Options();
  Outcome lines = RunCommand(options);
  EXPECT_EQ(lines.code, 0) << lines.err;
  EXPECT_EQ(lines.err, "");
  // The negative services line of 11 is subtracted from the sales total.
  testing::ExpectGoldenFile("movements/golden/command_lines.txt", lines.out);

  options.documents = true;
  options.operation = "9";
  options.section = "A1";
  Outcome documents = RunCommand(options);
  EXPECT_EQ(documents.code, 0) << documents.err;
  testing::ExpectGoldenFile("movements/golden/command_documents.txt", documents.out);

  MovementsOptions csv = Options();
  csv.csv = true;
  csv.kind = "3";
  Outcome exported = RunCommand(csv);
  EXPECT_EQ(exported.code, 0) << exported.err;
  testing::ExpectGoldenFile("movements/golden/command_lines.csv", exported.out);
}

TEST_F(MovementsCommand, PicksTheKindOfLineFromTheLineList) {
  MovementsOptions options = Options();
  options.operation = "1";
  options.byDocument = true;
  Outcome services = RunCommand(options);
  EXPECT_EQ(services.code, 0) << services.err;
  testing::ExpectGoldenFile("movements/golden/command_services.txt", services.out);
}

TEST_F(MovementsCommand, RefusesWrongOptionsAndSaysWhyOnOneLine) {
  const MovementsOptions base = Options();
  struct Case {
    void (*set)(MovementsOptions&);
    int code;
    std::string err;
  };
  const Case cases[] = {
      {[](MovementsOptions& o) { o.account = "000123"; }, 2, "zelmora movements: --account needs --party-kind\n"},
      {[](MovementsOptions& o) { o.registrationTo = "2024-02-30"; }, 2,
       "zelmora movements: --reg-to is not a date (YYYY-MM-DD, YYYYMMDD or DD/MM/YYYY): \"2024-02-30\"\n"},
      // A condition the checks take can still fail in the statement (a
      // date column compared with a text that is no date).
      {[](MovementsOptions& o) { o.filter = "AND CG41_DATADOC = 'x'"; }, 1,
       "zelmora movements: the movements could not be read: Conversion failed when converting date and/or time "
       "from character string. (check --filter and --order-by)\n"},
  };
  for (const Case& c : cases) {
    MovementsOptions options = base;
    c.set(options);
    Outcome outcome = RunCommand(options);
    SCOPED_TRACE(c.err);
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.err);
  }
}

}  // namespace
}  // namespace zelmora
