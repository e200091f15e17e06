// zelmora check: the lines a person must fix, per list with the company's
// own periodicity, and the exit status a script reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "cli/check_command.h"
#include "declaration/host_database.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::HostDatabase;

// Monthly sales, quarterly purchases; one 2023 code replaced in 2024.
void FillCompany(HostDatabase& db) {
  db.Run(
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE, CG18_INDINTRAVEN, CG18_INDINTRAACQ) "
      "VALUES (1, 'Declarant', 0, 1, 2);"
      "INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1), (38, 'AT', 'Austria', 1);"
      "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111', 4), (102, 'Gruber KG', 'ATU333', 38);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 1, 20, 102);"
      "INSERT INTO CG72_NOMENCLATURE VALUES (2023, 0, '73181595', 'Viti'), (2024, 0, '84821090', 'Cuscinetti'), "
      "(2024, 0, '73181599', 'Viti');"
      "INSERT INTO CG7S_NOMENCLATUREVARIATE VALUES ('73181595', '73181599');");
  db.Add({.registration = 1, .competence = "'20240603'", .amount = "100", .currencyAmount = "100"});
  db.Add({.registration = 2, .competence = "'20240612'", .code = "'73181595'", .amount = "200",
          .currencyAmount = "200"});
  // April: outside the monthly sales period, inside the purchases quarter.
  db.Add({.registration = 3, .competence = "'20240415'", .code = "'73181595'", .amount = "5", .currencyAmount = "5"});
  db.Add({.registration = 4, .documentKind = 3, .competence = "'20240415'", .partnerKind = 1, .partner = 20,
          .code = "'99999999'", .amount = "700", .currencyAmount = "700", .provenance = "38", .origin = "38",
          .destination = "NULL", .provinceOfDestination = "'MO'", .provinceOfOrigin = "NULL"});
  db.Run("UPDATE CG41_PRIMANOTA SET CG41_NUMDOC = 100 + CG41_NUMREG");
}

TEST(CheckCommand, ListsTheLinesToFixAndExitsOneWhenThereAreSome) {
  HostDatabase db;
  FillCompany(db);
  cli::CheckRequest request{.database = db.path(), .company = 1, .year = 2024, .period = 6, .lists = "both"};
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCheck(request, out, err), 1) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_SAME_TEXT(
      "List       Reg.  Doc.  Date        Op  Code      Year  Replaced by\n"
      "---------  ----  ----  ----------  --  --------  ----  -----------\n"
      "sales         2   102  2024-06-12   0  73181595  2024  73181599\n"
      "purchases     4   104  2024-04-15   0  99999999  2024\n"
      "2 lines with a code not valid for its reference year\n",
      out.str());

  request.csv = true;
  request.lists = "purchases";
  std::ostringstream csv;
  EXPECT_EQ(cli::RunCheck(request, csv, err), 1) << err.str();
  EXPECT_SAME_TEXT(
      "LIST,IN01_NUMREG_CG41,CG41_NUMDOC,IN01_DTCOMPINTRA,IN02_INDOPER,IN02_NOMENCLATURA,NOMENCLATURA_ANNORIF,"
      "CG7S_CODICENUOVO\r\n"
      "purchases,4,104,2024-04-15,0,99999999,2024,\r\n",
      csv.str());

  // May's sales: nothing to fix.
  request = {.database = db.path(), .company = 1, .year = 2024, .period = 5, .lists = "sales"};
  std::ostringstream clean;
  EXPECT_EQ(cli::RunCheck(request, clean, err), 0) << err.str();
  EXPECT_EQ(clean.str(), "0 lines with a code not valid for its reference year\n");
}

TEST(CheckCommand, BadInputSaysWhyInOneLine) {
  HostDatabase db;
  FillCompany(db);
  struct Case {
    cli::CheckRequest request;
    std::string message;
  } cases[] = {
      {{.database = db.path(), .company = 1, .year = 2024, .period = 13, .lists = "both"},
       "zelmora check: --period must be a whole number from 1 to 12, not '13'\n"},
      {{.database = db.path(), .company = 1, .year = 2024, .period = 6, .lists = "all"},
       "zelmora check: --lists must be sales, purchases or both, not 'all'\n"},
      {{.database = "/nonexistent/host.db", .company = 1, .year = 2024, .period = 6, .lists = "both"},
       "zelmora check: no database file at /nonexistent/host.db\n"},
      {{.database = db.path(), .company = 5, .year = 2024, .period = 6, .lists = "both"}, ""},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunCheck(c.request, out, err), 2);
    EXPECT_EQ(out.str(), "");
    const std::string said = err.str();
    if (!c.message.empty()) {
      EXPECT_EQ(said, c.message);
    }
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
}

}  // namespace
}  // namespace zelmora
