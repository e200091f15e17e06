// zelmora nomenclature import: what a spreadsheet saved as CSV loads, and
// that a bad row loads nothing at all.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cli/nomenclature_command.h"
#include "support/database.h"
#include "support/golden.h"
#include "support/run_zelmora.h"

namespace zelmora {
namespace {

using namespace std::string_literals;

using testing::TempDatabase;

// The code table, one row a line, in key order.
std::string CodeTable(const std::string& path) {
  return testing::Rows(testing::OpenDb(path).get(),
                       "SELECT CG72_ANNO, CG72_INDTIPO, CG72_CODICE, CG72_DESCR FROM CG72_NOMENCLATURE "
                       "ORDER BY CG72_ANNO, CG72_INDTIPO, CG72_CODICE");
}

std::string WriteFile(const TempDatabase& db, const std::string& name, const std::string& text) {
  const std::string path = db.path() + "." + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

using ImportRun = testing::Outcome;

ImportRun Import(const std::string& file, const std::string& database, int year, const std::string& kind) {
  std::ostringstream out, err;
  const int status = cli::RunNomenclatureImport({.file = file, .database = database, .year = year, .kind = kind},
                                                out, err);
  return {status, out.str(), err.str()};
}

TEST(NomenclatureImport, LoadsTheYearsListAndLoadingItAgainChangesNothing) {
  TempDatabase db;
  db.Run(
      "INSERT INTO CG72_NOMENCLATURE VALUES (2024, 0, '84821090', 'Cuscinetti 2024'), (2025, 0, '11111111', 'Vecchio'), "
      "(2025, 1, '620100', 'Software');");
  // As Excel saves it with Italian settings: a byte-order mark, a heading,
  // ';' between fields, CRLF, codes in groups, a description in quotes that
  // holds the separator, a quote and a line break, a blank line, and an
  // empty supplementary unit.
  const std::string file = WriteFile(db, "goods.csv",
                                     "\xEF\xBB\xBF"
                                     "Codice;Descrizione;Unità supplementare\r\n"
                                     "8482 10 10;Cuscinetti a sfere;p/st\r\n"
                                     "\r\n"
                                     "73181595;\"Viti; bulloni \"\"altri\"\"\r\ndi acciaio\";\r\n"
                                     "84713000;  Macchine portatili  ;p/st\r\n");
  ImportRun run = Import(file, db.path(), 2025, "goods");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "3 goods codes of 2025 loaded (in place of 1)\n");
  const std::string loaded =
      "2024|0|84821090|Cuscinetti 2024\n"
      "2025|0|73181595|Viti; bulloni \"altri\"\r\ndi acciaio\n"
      "2025|0|84713000|Macchine portatili\n"
      "2025|0|84821010|Cuscinetti a sfere\n"
      "2025|1|620100|Software\n";
  EXPECT_SAME_TEXT(loaded, CodeTable(db.path()));

  run = Import(file, db.path(), 2025, "goods");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "3 goods codes of 2025 loaded (in place of 3)\n");
  EXPECT_SAME_TEXT(loaded, CodeTable(db.path()));

  // Services, comma-separated, without a heading, saved in the Windows
  // code page; a description longer than the column is cut to 200 letters.
  const std::string services = WriteFile(db, "services.csv",
                                         "620100,Servizi di programmazione \xE8 consulenza \x80,\n"
                                         "581200," + std::string(210, 'x') + "\n");
  run = Import(services, db.path(), 2025, "services");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "2 services codes of 2025 loaded (in place of 1)\n");
  EXPECT_SAME_TEXT(
      "2024|0|84821090|Cuscinetti 2024\n"
      "2025|0|73181595|Viti; bulloni \"altri\"\r\ndi acciaio\n"
      "2025|0|84713000|Macchine portatili\n"
      "2025|0|84821010|Cuscinetti a sfere\n"
      "2025|1|581200|" + std::string(200, 'x') + "\n"
      "2025|1|620100|Servizi di programmazione \xC3\xA8 consulenza \xE2\x82\xAC\n",
      CodeTable(db.path()));
}

TEST(NomenclatureImport, ABadRowIsReportedWithItsLineAndNothingIsLoaded) {
  TempDatabase db;
  db.Run("INSERT INTO CG72_NOMENCLATURE VALUES (2025, 0, '84821090', 'Cuscinetti'), (2025, 1, '620100', 'Software');");
  const std::string before = CodeTable(db.path());
  struct Case {
    std::string text;
    std::string kind;
    std::string message;  // after the file's name
  } cases[] = {
      // A spreadsheet that took the code for a number and dropped its leading zero.
      {"Codice;Descrizione\n01012100;Cavalli\n1012910;Cavalli, altri\n", "goods",
       " line 3: code 1012910 has 7 digits, a goods code has 8\n"},
      {"84821010;Cuscinetti\n8482109A;Cuscinetti, altri\n", "goods", " line 2: code \"8482109A\" is not all digits\n"},
      {"84821010;Cuscinetti\n\n84821090;Altri\n8482 10 10;Ancora\n", "goods",
       " line 4: code 84821010 is listed twice\n"},
      {"620100;Software\n84821010;Cuscinetti\n", "services",
       " line 2: code 84821010 has 8 digits, a services code has 6\n"},
      // A line break inside quotes: the row after it is numbered as the
      // file's line.
      {"84821010;\"Cuscinetti\na sfere\"\n;Senza codice\n", "goods", " line 3: code \"\" is not all digits\n"},
      {"Codice;Descrizione\n", "goods", " holds no codes\n"},
      // A quote never closed would take every row after it into one
      // description: the error names the line where it opens.
      {"84821010;Cuscinetti\n84821090;\"Altri\n84821020;Ancora\n84821030;Fine\n", "goods",
       " line 2: opens a quoted field that is never closed\n"},
      {"84821010;Cuscinetti\n84821090;\"Altri\"\"\n", "goods", " line 2: opens a quoted field that is never closed\n"},
      {"84821010;Cuscinetti\n84821090;Al\0tri\n"s, "goods", " line 2: holds a NUL byte\n"},
      // Lines end in CR, LF or CR LF, each counted once.
      {"84821010;A\r84821090;B\n84821020;C\r\n8482109X;D\r", "goods", " line 4: code \"8482109X\" is not all digits\n"},
      // A line break quoted inside the code: shown escaped, on one line.
      {"\"8482\r1010\";Cuscinetti\n", "goods", " line 1: code \"8482\\x0d1010\" is not all digits\n"},
  };
  for (const Case& c : cases) {
    const std::string file = WriteFile(db, "bad.csv", c.text);
    const ImportRun run = Import(file, db.path(), 2025, c.kind);
    EXPECT_EQ(run.code, 2) << c.text;
    EXPECT_EQ(run.out, "") << c.text;
    EXPECT_EQ(run.err, "zelmora nomenclature import: " + file + c.message);
    EXPECT_SAME_TEXT(before, CodeTable(db.path()));
  }

  const std::string good = WriteFile(db, "good.csv", "84821010;Cuscinetti\n");
  const ImportRun wrongKind = Import(good, db.path(), 2025, "both");
  EXPECT_EQ(wrongKind.code, 2);
  EXPECT_EQ(wrongKind.err, "zelmora nomenclature import: --kind must be goods or services, not 'both'\n");
  const ImportRun noFile = Import(db.path() + ".missing", db.path(), 2025, "goods");
  EXPECT_EQ(noFile.err,
            "zelmora nomenclature import: cannot read the CSV file " + db.path() + ".missing: No such file or directory\n");
  // A database without the code table: the message says what went wrong,
  // a failure while working as in every command.
  const std::string other = WriteFile(db, "empty.db", "");
  const ImportRun noTable = Import(good, other, 2025, "goods");
  EXPECT_EQ(noTable.code, 1);
  EXPECT_EQ(noTable.err, "zelmora nomenclature import: cannot write " + other + ": no such table: CG72_NOMENCLATURE\n");
  EXPECT_SAME_TEXT(before, CodeTable(db.path()));
}

// A spreadsheet that ends its lines with a lone CR (as older Mac ones do)
// gives one row a line, a quoted CR kept inside its description, and a last
// line without a line end is read too.
TEST(NomenclatureImport, LinesEndingInCarriageReturnsAreRowsOfTheirOwn) {
  TempDatabase db;
  const std::string file =
      WriteFile(db, "mac.csv", "Codice;Descrizione\r84821010;\"Cuscinetti\ra sfere\"\r\r84821090;Altri");
  const ImportRun run = Import(file, db.path(), 2025, "goods");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "2 goods codes of 2025 loaded\n");
  EXPECT_SAME_TEXT("2025|0|84821010|Cuscinetti\ra sfere\n2025|0|84821090|Altri\n", CodeTable(db.path()));
}

}  // namespace
}  // namespace zelmora
