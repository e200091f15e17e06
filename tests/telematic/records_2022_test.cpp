// The submission in the layout in force from January 2022: whole files per
// list and periodicity, the lines the writer refuses, and the format check
// of the 2022 rules on planted faults.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/host_harness.h"
#include "cli/telematic_command.h"
#include "cli/verify_command.h"
#include "support/march_submission.h"
#include "support/submission_request.h"
#include "support/data_blocks.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"
#include "support/golden.h"
#include "telematic/submission_check.h"
#include "telematic/record_layout.h"

namespace zelmora {
namespace {

using Json = nlohmann::json;
using namespace zelmora::testing;

// The March movements of submission_2022_rows.sql, whose comments say what
// each is there for.
class Submission2022 : public ::testing::Test {
 protected:
  void SetUp() override {
    DbPtr db = OpenDb(folder_ / "host.db");
    CreateHostSchema(db.get());
    Exec(db.get(), TestFile("telematic/submission_2022_rows.sql"));
  }

  void Execute(const std::string& sql) const { Exec(OpenDb(folder_ / "host.db").get(), sql); }

  Json Input(int tipoStampa, int tipoIntra) const {
    Json input = MarchSubmissionInput("Provider=SQLite;Data Source=" + folder_ / "host.db", tipoStampa);
    input["TipoIntra"] = tipoIntra;
    return input;
  }

  // Runs the 2022 operation through the host harness, as a host calls it,
  // on the text `earlier` if one is given.
  Json Run(const Json& input, const char* earlier = nullptr) const {
    Json script = {{"CInput", input},
                   {"ActiveInterface", {{"ClsGlobal", {{"Gcls_DittaCorrente", {{"IndLocalizzazione", 0}}}}}}},
                   {"calls", {"PreparaTracciatoPerInvioTelematico2022"}}};
    if (earlier != nullptr) script["COutput"] = {{"StringaTracciatoInvioTelematico", earlier}};
    cli::HarnessResult result = cli::RunHostScript(script.dump());
    EXPECT_EQ(result.exitCode, 0) << result.error;
    return Json::parse(result.output);
  }

  std::string Text(const Json& output) const {
    const Json& text = output["COutput"]["StringaTracciatoInvioTelematico"];
    return text.is_string() ? text.get<std::string>() : std::string();
  }

  cli::SubmissionRequest Request(const std::string& outDir) const {
    cli::SubmissionRequest request = MarchRequest(folder_ / "host.db", outDir);
    request.lists = "sales";
    request.periodicity = "monthly";
    request.date = "2024-04-15";
    return request;
  }

  TempFolder folder_;
};

// The files of the March movements, under golden/.
const char kSalesMonthly[] = "telematic/golden/sales_2022_monthly.I01";
const char kPurchasesMonthly[] = "telematic/golden/purchases_2022_monthly.I01";

TEST_F(Submission2022, WholeFilesPerListAndPeriodicity) {
  // Monthly sales: column B and the country of origin on goods, the
  // triangular sale as A with Greece as EL, the correction's sign in its
  // own field and the section-2 total's letter, the 5-digit service code
  // padded, the services correction, section 5 and its count.
  Json output = Run(Input(0, 1));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  ExpectGoldenFile(kSalesMonthly, Text(output));

  // Quarterly sales: no statistical fields, the quarter of the correction.
  output = Run(Input(0, 2));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  ExpectGoldenFile("telematic/golden/sales_2022_quarterly.I01", Text(output));

  // Monthly purchases: the frontispiece stays at 130, goods at 119 with
  // column B last; the French VAT code loses its prefix.
  output = Run(Input(1, 1));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  ExpectGoldenFile(kPurchasesMonthly, Text(output));

  // Quarterly purchases are not filed from 2022: nothing, and no failure.
  output = Run(Input(1, 2));
  EXPECT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_EQ(Text(output), "");
}

TEST_F(Submission2022, ColumnBIsThatOfTheMovementsOfItsOwnLine) {
  // The two sales of one good now differ in their payment country, so they
  // are two lines, and each takes its own movement's column B (1, then 2).
  Execute("UPDATE IN02_RIGHEDOC SET IN02_PAESEPAG_CG07 = 5 WHERE IN02_NUMREG_CG41 = 2;"
          "UPDATE ZL01_NATURAB SET ZL01_NATURAB = '2' WHERE ZL01_NUMREG_CG41 = 2");
  const Json output = Run(Input(0, 1));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  ExpectGoldenFile("telematic/golden/sales_2022_column_b.I01", Text(output));
}

// The summary with the folder it names written OUT.
std::string Summary(const std::ostringstream& out, const TempFolder& folder) {
  std::string text = out.str();
  if (const size_t at = text.find(folder.path()); at != std::string::npos) text.replace(at, folder.path().size(), "OUT");
  return text;
}

TEST_F(Submission2022, TheCommandPicksTheLayoutAndSummarisesEverySection) {
  TempFolder out;
  cli::SubmissionRequest request = Request(out.path());
  request.lists = "both";
  request.periodicity = "";
  std::ostringstream o, e;
  ASSERT_EQ(cli::RunTelematic(request, o, e), 0) << e.str();
  ExpectGoldenFile("telematic/golden/summary_2022_both.txt", Summary(o, out));
  // The header's site number is 001 unless --office says otherwise.
  EXPECT_EQ(FileBytes(out / "ABCD0415.I01").substr(0, 77),
            "ABCD            ABCD0415.I01            000000    01234567890     001 00012\r\n");

  // zelmora verify takes the file's layout from its period, or as told.
  const std::string written = out / "ABCD0415.I01";
  std::ostringstream v, w, none;
  EXPECT_EQ(cli::RunVerify({.file = written}, v, none), 0);
  EXPECT_EQ(v.str(), written + ": 2022 layout, 12 records, 0 problems\n");
  EXPECT_EQ(cli::RunVerify({.file = written, .csv = true, .layout = "2010"}, w, none), 1);
  ExpectGoldenFile("telematic/golden/verify_2022_as_2010.csv", w.str());
  EXPECT_EQ(none.str(), "");

  // Quarterly purchases before 2022 are still filed, in the 2010 layout;
  // from 2022 they are left out and the summary says why.
  Execute("UPDATE CG18_DITTE SET CG18_INDINTRAACQ = 2");
  TempFolder quarterly;
  request.outDir = quarterly.path();
  request.office = "12";
  std::ostringstream q, qe;
  ASSERT_EQ(cli::RunTelematic(request, q, qe), 0) << qe.str();
  ExpectGoldenFile("telematic/golden/summary_2022_quarterly_purchases.txt", Summary(q, quarterly));
  EXPECT_EQ(FileBytes(quarterly / "ABCD0415.I01").substr(0, 77),
            "ABCD            ABCD0415.I01            000000    01234567890     012 00009\r\n");

  TempFolder old;
  request.outDir = old.path();
  request.layout = "2010";
  std::ostringstream p, pe;
  ASSERT_EQ(cli::RunTelematic(request, p, pe), 0) << pe.str();
  ExpectGoldenFile("telematic/golden/summary_2010_quarterly_purchases.txt", Summary(p, old));
  request.layout = "2021";
  std::ostringstream r, re;
  EXPECT_EQ(cli::RunTelematic(request, r, re), 2);
  EXPECT_EQ(re.str(), "zelmora telematic: --layout must be 2010 or 2022, not '2021'\n");
}

TEST_F(Submission2022, ALineItCannotWriteStopsTheRunAndIsNamed) {
  const std::string database = folder_ / "host.db", pristine = folder_ / "pristine.db";
  std::filesystem::copy_file(database, pristine);
  for (const DataBlock& c : ReadBlocks("telematic/refusals_2022.txt")) {
    SCOPED_TRACE(c.lines[0]);
    std::filesystem::copy_file(pristine, database, std::filesystem::copy_options::overwrite_existing);
    Execute(c.lines[0]);
    TempFolder out;
    std::ostringstream o, e;
    EXPECT_EQ(cli::RunTelematic(Request(out.path()), o, e), 1);
    std::string expected;
    for (size_t i = 1; i < c.lines.size(); ++i) expected += "zelmora telematic: " + c.lines[i] + "\n";
    const size_t count = c.lines.size() - 1;
    expected += "zelmora telematic: " + std::to_string(count) +
                (count == 1 ? " line cannot" : " lines cannot") + " be written in the 2022 layout; no file written\n";
    EXPECT_SAME_TEXT(expected, e.str());
    EXPECT_TRUE(out.Entries().empty());
  }

  // Through the host: Stato and Errore say it, the caller's text and
  // submission number stay as they were (no header either).
  std::filesystem::copy_file(pristine, database, std::filesystem::copy_options::overwrite_existing);
  Execute("UPDATE IN02_RIGHEDOC SET IN02_INDNATURA = 6 WHERE IN02_NUMREG_CG41 = 4");
  const Json output = Run(Input(2, 0), "EARLIER\r\n");
  EXPECT_EQ(output["steps"][0]["Stato"], 5);
  EXPECT_EQ(output["steps"][0]["Errore"],
            "1 line cannot be written in the 2022 layout; the first, sales goods line 2 (73181500, GR 094259216): "
            "its nature of transaction 6 is withdrawn from 2022 in PreparaTracciatoPerInvioTelematico2022");
  EXPECT_EQ(Text(output), "EARLIER\r\n");
  EXPECT_EQ(output["CInput"]["NumFloppy"], 7);
  EXPECT_EQ(output["CInput"]["TipoStampa"], 2);
}

// The file with `with` written over record `record` (1-based) from
// character `at`.
std::string Planted(std::string file, size_t record, size_t at, std::string_view with) {
  size_t from = 0;
  for (size_t i = 1; i < record; ++i) from = file.find("\r\n", from) + 2;
  return file.replace(from + at - 1, with.size(), with);
}

TEST(Format2022, TheRulesOfTheLayoutOnPlantedFaults) {
  const std::string sales = TestFile(kSalesMonthly);
  const std::string purchases = TestFile(kPurchasesMonthly);
  EXPECT_TRUE(telematic::CheckSubmission(sales, telematic::Format2022()).empty());
  EXPECT_TRUE(telematic::CheckSubmission(purchases, telematic::Format2022()).empty());
  std::string shortFrontispiece = sales;
  shortFrontispiece.erase(shortFrontispiece.find("\r\n", 78) - 5, 5);  // a sales frontispiece of 130
  std::string record2010 = sales;  // a monthly sales goods record of 2010, 103 characters
  record2010.erase(record2010.find("DEMO1IT") + 4, 3);
  std::string nonAscii = sales;  // two characters of an invoice number as 'N' and a masculine ordinal
  nonAscii.replace(nonAscii.find("15             050324"), 2, "N\xC2\xBA");
  std::string longPurchases = purchases;  // a purchases frontispiece of 135
  longPurchases.insert(longPurchases.find("\r\n", 78), "00000");
  // The problems of each file, in this order, are golden/planted_2022.csv.
  const std::string files[] = {
      // A sign and a blank in digit fields; lengths per list, record type and periodicity.
      Planted(sales, 3, 50, "-"), Planted(sales, 4, 65, " "), shortFrontispiece, record2010, longPurchases,
      // The frontispiece's counts (section 5's too) and totals, the section-2
      // total's letter; section 4 names a section-3 line above zero;
      // printable ASCII only.
      Planted(sales, 2, 131, "00003"), Planted(sales, 2, 94, "5"), Planted(sales, 7, 43, "00000"), nonAscii,
      // Purchases are monthly only and have no section 5.
      Planted(purchases, 2, 32, "T"), purchases + "EUROX01234567890000007500001DE123456789   1              \r\n",
  };
  std::string problems;
  for (const std::string& file : files) {
    std::ostringstream csv;
    cli::WriteProblems(telematic::CheckSubmission(file, telematic::Format2022()), true, csv);
    problems += csv.str();
  }
  ExpectGoldenFile("telematic/golden/planted_2022.csv", problems);
}

}  // namespace
}  // namespace zelmora
