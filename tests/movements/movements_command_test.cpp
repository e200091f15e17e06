// zelmora movements: the list a person reads (or exports) to check what
// will be declared, run in-process on a hand-made host database.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/movements_command.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using cli::MovementsOptions;
using testing::TempDatabase;

struct Outcome {
  int code;
  std::string out, err;
};

// The command refuses a company its database does not know.
constexpr const char* kCompanies = "INSERT INTO CG18_DITTE VALUES (1, 'Alfa', 1, 1, 0), (2, 'Beta', 1, 1, 0)";

Outcome RunCommand(const MovementsOptions& options) {
  std::ostringstream out, err;
  const int code = cli::RunMovements(options, out, err);
  return {code, out.str(), err.str()};
}

TEST(MovementsCommand, ListsLinesWithSignedTotalsDocumentsAndCsv) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  db.Run(kCompanies);
  MovementsOptions options;
  options.database = db.path();
  options.company = "1";
  Outcome lines = RunCommand(options);
  EXPECT_EQ(lines.code, 0) << lines.err;
  EXPECT_EQ(lines.err, "");
  // The negative services line of 11 is subtracted from the sales total.
  EXPECT_SAME_TEXT(
      "Kind      Reg.  Doc. no.  Doc. date   Reg. date   Party  Name         Line  Kind of line  Code      Sign  Amount EUR  Cur.  Amount cur.  Nat.  Period  Provenance  Destination  Mass kg\n"
      "--------  ----  --------  ----------  ----------  -----  -----------  ----  ------------  --------  ----  ----------  ----  -----------  ----  ------  ----------  -----------  -------\n"
      "purchase    12  A-7       2024-01-05  2024-01-20     77  Dupont SA       0                                            USD\n"
      "purchase    13  A-8       2024-01-20  2024-01-25     77  Dupont SA       2                84713000              0.20  EUR                   1          Francia                    4.000\n"
      "sale        10  FT1       2024-01-08  2024-01-10    123  Müller GmbH     1  goods         84713000           1000.10  EUR                   1                      Germania      12.500\n"
      "purchase    13  A-8       2024-01-20  2024-01-25     77  Dupont SA       1  goods         01012100              0.10  EUR                   1          Francia                    3.000\n"
      "sale        10  FT1       2024-01-08  2024-01-10    123  Müller GmbH     2  services      331200              250.20  EUR                                          Germania\n"
      "sale        11  FT2       2024-01-14  2024-01-15    123  Müller GmbH     1  services      773900    -          99.99  EUR                                          Germania\n"
      "\n"
      "6 rows from 4 documents\n"
      "Total sales                        1150.31 EUR\n"
      "Total purchases                       0.30 EUR\n",
      lines.out);

  options.documents = true;
  options.operation = "9";
  options.section = "A1";
  Outcome documents = RunCommand(options);
  EXPECT_EQ(documents.code, 0) << documents.err;
  EXPECT_SAME_TEXT(
      "Kind      Reg.  Doc. no.  Doc. date   Sect.  Prot.  Reg. date   Competence  Party  Name       Reason       Cur.  Lines\n"
      "--------  ----  --------  ----------  -----  -----  ----------  ----------  -----  ---------  -----------  ----  -----\n"
      "purchase    12  A-7       2024-01-05  A1         5  2024-01-20  2024-01-20     77  Dupont SA  Acquisto UE  USD   none\n"
      "purchase    13  A-8       2024-01-20  A1         6  2024-01-25  2024-01-26     77  Dupont SA  Acquisto UE  EUR   yes\n"
      "\n"
      "2 documents\n",
      documents.out);

  MovementsOptions csv;
  csv.database = db.path();
  csv.company = "1";
  csv.csv = true;
  csv.kind = "3";
  Outcome exported = RunCommand(csv);
  EXPECT_EQ(exported.code, 0) << exported.err;
  EXPECT_SAME_TEXT(
      "CG16_CODICE,CG16_RAGSOANAG,IN01_INDTIPODOC,CG41_NUMDOCORIG,CG41_DATADOC,CG41_DATAREG,CG41_CODICE_CG33,CG41_DESCAUSALE,IN01_CAMBIO,IN01_CODICE_CG08,IN01_DITTA_CG18,IN01_CODICE_CG08,IN01_NUMREG_CG41,IN02_MESERIF,IN02_ANNORIF,IN02_NOMENCLATURA,IN02_IMPORTO,IN02_INDNATURA,IN01_PORTOSPA,IN01_CODINCOTERMS_MG0T,CG16_CODICE_CG07,IN02_NUMRIGA,IN02_IMPORTOVAL,IN02_INDCONS,IN02_PAESEPRO_CG07,IN02_PAESEORI_CG07,IN02_PAESEDES_CG07,IN02_PROVDEST,IN02_PROVORIG,IN02_MASSA,IN02_UNSUPPL,IN02_VALSTAT,IN02_INDTRASP,CG44_CLIFOR,CG07_DESCR,CG07_DESCR,CG07_DESCR,IN02_FLGSEGNO,IN02_INDTIPODATI,IN02_INDOPER,IN02_CODICE_IN03,IN02_CODICE_IN04\r\n"
      "501,Dupont SA,3,A-7,2024-01-05,2024-01-20,60,Acquisto UE,1.100000,USD,1,USD,12,,,,,,,,1,0,,,,,,,,,,,,77,,,,,,,,\r\n"
      "501,Dupont SA,3,A-8,2024-01-20,2024-01-25,60,Acquisto UE,1.000000,EUR,1,EUR,13,,,84713000,0.20,1,,EXW,1,2,,,1,,,,,4.000,,,,77,Francia,,,0,0,,,\r\n"
      "501,Dupont SA,3,A-8,2024-01-20,2024-01-25,60,Acquisto UE,1.000000,EUR,1,EUR,13,,,01012100,0.10,1,,EXW,1,1,,,1,,,,,3.000,,,,77,Francia,,,0,0,0,,\r\n",
      exported.out);
}

TEST(MovementsCommand, PicksTheKindOfLineFromTheLineList) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  db.Run(kCompanies);
  MovementsOptions options;
  options.database = db.path();
  options.company = "1";
  options.operation = "1";
  options.byDocument = true;
  Outcome services = RunCommand(options);
  EXPECT_EQ(services.code, 0) << services.err;
  EXPECT_SAME_TEXT(
      "Kind  Reg.  Doc. no.  Doc. date   Reg. date   Party  Name         Line  Kind of line  Code    Sign  Amount EUR  Cur.  Amount cur.  Nat.  Period  Provenance  Destination  Mass kg\n"
      "----  ----  --------  ----------  ----------  -----  -----------  ----  ------------  ------  ----  ----------  ----  -----------  ----  ------  ----------  -----------  -------\n"
      "sale    10  FT1       2024-01-08  2024-01-10    123  Müller GmbH     2  services      331200            250.20  EUR                                          Germania\n"
      "sale    11  FT2       2024-01-14  2024-01-15    123  Müller GmbH     1  services      773900  -          99.99  EUR                                          Germania\n"
      "\n"
      "2 rows from 2 documents\n"
      "Total sales                         150.21 EUR\n",
      services.out);
}

TEST(MovementsCommand, RefusesWrongOptionsAndSaysWhyOnOneLine) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  db.Run(kCompanies);
  struct Case {
    void (*set)(MovementsOptions&);
    int code;
    std::string err;
  };
  const Case cases[] = {
      {[](MovementsOptions& o) { o.company = "uno"; }, 2,
       "zelmora movements: --company must be a whole number from 1 to 2147483647, not 'uno'\n"},
      {[](MovementsOptions& o) { o.database = "/nonexistent/host.db"; }, 2,
       "zelmora movements: no database file at /nonexistent/host.db\n"},
      {[](MovementsOptions& o) { o.account = "000123"; }, 2, "zelmora movements: --account needs --party-kind\n"},
      {[](MovementsOptions& o) { o.registrationTo = "2024-02-30"; }, 2,
       "zelmora movements: --reg-to is not a date (YYYY-MM-DD, YYYYMMDD or DD/MM/YYYY): \"2024-02-30\"\n"},
      {[](MovementsOptions& o) { o.filter = "AND NOT_A_COLUMN = 1"; }, 2,
       "zelmora movements: --filter is not a condition on the line list: Filter \"NOT_A_COLUMN = 1\": no field "
       "named \"NOT_A_COLUMN\"\n"},
      // A condition the checks take can still fail in the statement (a
      // date column compared with a text that is no date).
      {[](MovementsOptions& o) { o.filter = "AND CG41_DATADOC = 'x'"; }, 1,
       "zelmora movements: the movements could not be read: Conversion failed when converting date and/or time "
       "from character string. (check --filter and --order-by)\n"},
  };
  for (const Case& c : cases) {
    MovementsOptions options;
    options.database = db.path();
    options.company = "1";
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
