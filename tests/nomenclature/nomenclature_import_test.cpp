// zelmora nomenclature import: what a spreadsheet saved as CSV loads, and
// that a bad row loads nothing at all.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cli/nomenclature_command.h"
#include "support/data_blocks.h"
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
  testing::ExpectGoldenFile("nomenclature/golden/import_goods.txt", CodeTable(db.path()));

  run = Import(file, db.path(), 2025, "goods");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "3 goods codes of 2025 loaded (in place of 3)\n");
  testing::ExpectGoldenFile("nomenclature/golden/import_goods.txt", CodeTable(db.path()));

  // Services, comma-separated, without a heading, saved in the Windows
  // code page; a description longer than the column is cut to 200 letters.
  const std::string services = WriteFile(db, "services.csv",
                                         "620100,Servizi di programmazione \xE8 consulenza \x80,\n"
                                         "581200," + std::string(210, 'x') + "\n");
  run = Import(services, db.path(), 2025, "services");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "2 services codes of 2025 loaded (in place of 1)\n");
  testing::ExpectGoldenFile("nomenclature/golden/import_goods_and_services.txt", CodeTable(db.path()));
}

TEST(NomenclatureImport, ABadRowIsReportedWithItsLineAndNothingIsLoaded) {
  TempDatabase db;
  db.Run("INSERT INTO CG72_NOMENCLATURE VALUES (2025, 0, '84821090', 'Cuscinetti'), (2025, 1, '620100', 'Software');");
  const std::string before = CodeTable(db.path());
  for (const std::string& line : testing::DataLines("nomenclature/bad_imports.txt")) {
    const size_t kindEnd = line.find(" | "), textEnd = line.rfind(" | ");
    const std::string file =
        WriteFile(db, "bad.csv", testing::Unescaped(line.substr(kindEnd + 3, textEnd - kindEnd - 3)));
    const ImportRun run = Import(file, db.path(), 2025, line.substr(0, kindEnd));
    EXPECT_EQ(run.code, 2) << line;
    EXPECT_EQ(run.out, "") << line;
    EXPECT_EQ(run.err, "zelmora nomenclature import: " + file + " " + line.substr(textEnd + 3) + "\n");
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
