// zelmora check: the lines a person must fix, per list with the company's
// own periodicity, and the exit status a script reads.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/check_command.h"
#include "support/data_blocks.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

TEST(CheckCommand, ListsTheLinesToFixAndExitsOneWhenThereAreSome) {
  TempDatabase db(testing::TestFile("nomenclature/check_rows.sql"));
  cli::CheckRequest request{.database = db.path(), .company = 1, .year = 2024, .period = 6, .lists = "both"};
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCheck(request, out, err), 1) << err.str();
  EXPECT_EQ(err.str(), "");
  testing::ExpectGoldenFile("nomenclature/golden/check_june.txt", out.str());

  request.csv = true;
  request.lists = "purchases";
  std::ostringstream csv;
  EXPECT_EQ(cli::RunCheck(request, csv, err), 1) << err.str();
  testing::ExpectGoldenFile("nomenclature/golden/check_june_purchases.csv", csv.str());

  // May's sales: nothing to fix.
  request = {.database = db.path(), .company = 1, .year = 2024, .period = 5, .lists = "sales"};
  std::ostringstream clean;
  EXPECT_EQ(cli::RunCheck(request, clean, err), 0) << err.str();
  EXPECT_EQ(clean.str(),
            "0 lines with a code not valid for its reference year\n"
            "0 stored values that would leave movements out of the declaration or break its records\n");
}

// Stored values the typed columns of the host's server would refuse, or
// codes outside their tables: each movement is made valid, then one value
// is spoiled as a host writing the file directly could spoil it.
TEST(CheckCommand, ListsTheStoredValuesThatLeaveMovementsOutOrBreakRecords) {
  TempDatabase db(testing::TestFile("nomenclature/check_rows.sql"));
  for (const std::string& line : testing::DataLines("nomenclature/spoilt_values.txt")) {
    int registration = 0, documentKind = 0;
    std::istringstream(line) >> registration >> documentKind;
    const size_t from = line.find(' ', line.find(' ') + 1) + 1, bar = line.find(" | ");
    db.Add({.registration = registration, .documentKind = documentKind, .competence = line.substr(from, bar - from),
            .amount = "10", .currencyAmount = "10"});
    if (bar == std::string::npos) continue;
    const std::string spoil = line.substr(bar + 3), prefix = spoil.substr(0, 4);
    const std::string table = prefix == "IN02" ? "IN02_RIGHEDOC" : prefix == "IN01" ? "IN01_DOCTESTA" : "CG41_PRIMANOTA";
    db.Run("UPDATE " + table + " SET " + spoil + " WHERE " + prefix +
           (prefix == "CG41" ? "_NUMREG = " : "_NUMREG_CG41 = ") + std::to_string(registration));
  }
  db.Run("UPDATE CG41_PRIMANOTA SET CG41_NUMDOC = 100 + CG41_NUMREG WHERE CG41_NUMREG > 10");

  cli::CheckRequest request{.database = db.path(), .company = 1, .year = 2024, .period = 6, .lists = "both"};
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCheck(request, out, err), 1) << err.str();
  EXPECT_EQ(err.str(), "");
  // Reg. 20 is in the code check too: its code is looked up among the codes
  // of a kind 2 that the table does not have.
  testing::ExpectGoldenFile("nomenclature/golden/check_stored_values.txt", out.str());

  // As CSV: the purchases' lines, an empty line, then the stored values
  // (the purchases' quarter, and the dates of every movement).
  request.csv = true;
  request.lists = "purchases";
  std::ostringstream csv;
  EXPECT_EQ(cli::RunCheck(request, csv, err), 1);
  EXPECT_EQ(err.str(), "");
  testing::ExpectGoldenFile("nomenclature/golden/check_stored_values.csv", csv.str());

  // A quarterly list is checked on whole quarters only: January is refused
  // before anything is read.
  request.period = 1;
  std::ostringstream january;
  EXPECT_EQ(cli::RunCheck(request, january, err), 2);
  EXPECT_EQ(err.str(),
            "zelmora check: --period must be the last month of a quarter (3, 6, 9 or 12) as company 1 files its "
            "purchases list quarterly, not 1\n");
  EXPECT_EQ(january.str(), "");
}

TEST(CheckCommand, AnUnknownCompanyIsRefusedInOneLine) {
  TempDatabase db(testing::TestFile("nomenclature/check_rows.sql"));
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCheck({.database = db.path(), .company = 5, .year = 2024, .period = 6, .lists = "both"}, out, err),
            2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "zelmora check: company 5 is not in the company table CG18_DITTE\n");
}

}  // namespace
}  // namespace zelmora
