#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/active_interface.h"
#include "cli/host_harness.h"
#include "cli/telematic_command.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "support/march_submission.h"
#include "support/may_sales.h"
#include "support/submission_request.h"
#include "support/temp_folder.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"
#include "support/recordset_text.h"
#include "telematic/declaration_lines.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {
namespace {

using Json = nlohmann::json;
using namespace zelmora::testing;

class SubmissionDatabase : public ::testing::Test {
 protected:
  // The declarant's input for March 2024, as a host sets it.
  Json Input(int tipoStampa) const { return testing::MarchSubmissionInput(db_.ConnectionString(), tipoStampa); }

  // Runs the script through the host harness with the Italian localisation.
  Json Run(Json script) const {
    script["ActiveInterface"] = {{"ClsGlobal", {{"Gcls_DittaCorrente", {{"IndLocalizzazione", 0}}}}}};
    cli::HarnessResult result = cli::RunHostScript(script.dump());
    EXPECT_EQ(result.exitCode, 0) << result.error;
    return Json::parse(result.output);
  }
  Json Submit(const Json& input) const {
    return Run({{"CInput", input}, {"calls", {"PreparaTracciatoPerInvioTelematico"}}});
  }

  void Execute(const std::string& sql) const { db_.Run(sql); }
  std::string ReadFile(const std::string& name) const { return testing::FileBytes(folder_ / name); }

  testing::TempDatabase db_{testing::TestFile("telematic/submission_rows.sql")};
  const TempFolder& folder_ = db_.folder();
};

TEST_F(SubmissionDatabase, BothListsMakeOneSubmissionWithTheNextNumberForPurchases) {
  Json output = Submit(Input(2));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_EQ(output["COutput"]["NomeFileInvioTelematico"], "ABCD0415.I01");
  ExpectGoldenFile("telematic/golden/both_lists.I01", output["COutput"]["StringaTracciatoInvioTelematico"].get<std::string>());
  // The all-zero sale is left out; the lists' own inputs come back.
  EXPECT_EQ(output["object"]["NumRecStpModIntra"], 6);
  EXPECT_EQ(output["CInput"]["NumFloppy"], 8);
  EXPECT_EQ(output["CInput"]["TipoStampa"], 2);
  EXPECT_EQ(output["CInput"]["TipoIntra"], Json({{"empty", true}}));
}

TEST_F(SubmissionDatabase, EmptyPeriodsAndASingleList) {
  // Nothing in May: only the file name, no header on an empty text...
  Json may = Input(0);
  may["PeriodoStampa"] = 5;
  may["TipoIntra"] = 1;
  Json output = Submit(may);
  EXPECT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_EQ(output["COutput"]["NomeFileInvioTelematico"], "ABCD0415.I01");
  EXPECT_EQ(output["COutput"]["StringaTracciatoInvioTelematico"], Json({{"empty", true}}));
  EXPECT_EQ(output["object"]["NumRecStpModIntra"], 0);

  // ...but a text left from an earlier call gets a header.
  output = Run({{"CInput", may},
                {"COutput", {{"StringaTracciatoInvioTelematico", "EARLIER\r\n"}}},
                {"calls", {"PreparaTracciatoPerInvioTelematico"}}});
  EXPECT_SAME_TEXT("ABCD            ABCD0415.I01            028100    01234567890     001 00001\r\nEARLIER\r\n",
                   output["COutput"]["StringaTracciatoInvioTelematico"].get<std::string>());

  // Both lists where only purchases have lines: the purchases keep the
  // caller's submission number.
  Execute("DELETE FROM IN02_RIGHEDOC WHERE IN02_NUMREG_CG41 IN (1, 2, 3, 4, 8, 9)");
  Json purchases = Submit(Input(2));
  ExpectGoldenFile("telematic/golden/purchases_only.I01", purchases["COutput"]["StringaTracciatoInvioTelematico"].get<std::string>());
  EXPECT_EQ(purchases["CInput"]["NumFloppy"], 7);
  EXPECT_EQ(purchases["CInput"]["TipoStampa"], 2);
}

TEST_F(SubmissionDatabase, DiskettesWriteTheirFiles) {
  // Before 2010: goods only, straight from the statement.
  Json legacy = Input(0);
  legacy["TipoIntra"] = 1;
  legacy["AnnoRiferimentoIntra"] = 0;
  Json output = Run({{"CInput", legacy},
                     {"object", {{"FolderFileIntraWeb", folder_.path()}, {"PathFileIntraWeb", "SCAMBI.CEE"},
                                 {"NumFileFloppy", 3}}},
                     {"calls", {{{"call", "PreparaTracciatoPerDischetto"}, {"args", {"ignored"}}}}}});
  EXPECT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_EQ(output["object"]["NumRecStpModIntra"], 1);
  EXPECT_EQ(output["object"]["NumFileFloppy"], 0);
  ExpectGoldenFile("telematic/golden/scambi_before_2010.CEE", ReadFile("SCAMBI.CEE"));

  // The 2010 layout, one declaration, no header.
  Json purchases = Input(1);
  purchases["TipoIntra"] = 2;
  output = Run({{"CInput", purchases},
                {"object", {{"FolderFileIntraWeb", folder_.path()}, {"PathFileIntraWeb", "INTRA2.TXT"}}},
                {"calls", {{{"call", "PreparaTracciatoPerDischetto2010"}, {"args", {Json()}}}}}});
  EXPECT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_EQ(output["object"]["NumRecStpModIntra"], 2);
  ExpectGoldenFile("telematic/golden/purchases_2010.TXT", ReadFile("INTRA2.TXT"));
}

TEST_F(SubmissionDatabase, MergedServiceLinesTakeTheInvoiceDataTheirMovementsShare) {
  CLSIN_INTRABO object;
  auto input = testing::MaySales(object, db_.ConnectionString());
  input->PeriodoStampa = Int(3);
  input->AccorpaArt23 = true;
  input->RaggIn02CodiceIn03 = "I";
  input->RaggIn02CodiceIn04 = "B";
  input->RaggIn02NumDocOrig = "N-5";
  input->RaggIn02DataDocOrig = Day(2024, 3, 1);
  input->RaggIn02SezOrig = "A";
  IntraContext& context = object.context();
  CreaConnessione(context);
  declaration::BuildDeclarationStatement(context);
  RecordsetPtr lines = object.CreaRecordsetPerTracciato();
  ASSERT_NE(lines, nullptr) << object.Errore().Text();
  ASSERT_EQ(object.Stato(), Int(0)) << object.Errore().Text();

  // Goods first (the all-zero line too: no filter here), then the services line of 62010000 and the merged one of
  // 62020000 (two movements). The first service line's movement has another
  // number and date: those carry-overs are cleared, and stay cleared for
  // the next line; the codes all movements share are written.
  ExpectGoldenFile("telematic/golden/merged_service_lines.txt", RecordsetText(*lines));
  EXPECT_EQ(input->RaggIn02NumDocOrig, "");
  EXPECT_EQ(input->RaggIn02DataDocOrig, Str("NULL"));
  EXPECT_EQ(input->RaggIn02SezOrig, "A");

  // With fresh carry-overs the merged line keeps the number both movements
  // share and loses the date they do not.
  input->RaggIn02NumDocOrig = "N-5";
  input->RaggIn02DataDocOrig = Day(2024, 3, 1);
  // The walk left the copy at its end.
  EXPECT_TRUE(lines->EOF());
  lines->MoveFirst();
  lines->Find("IN02_NOMENCLATURA = '62020000'");
  ASSERT_FALSE(lines->EOF());
  EXPECT_TRUE(telematic::ComponiCampiObbligatori(context, *lines));
  EXPECT_EQ(input->RaggIn02NumDocOrig, "N-5");
  EXPECT_EQ(input->RaggIn02DataDocOrig, Str("NULL"));
  EXPECT_EQ(input->RaggIn02CodiceIn03, "I");
  // A line no movement matches keeps the carry-overs and says so.
  lines->SetValue("IN02_NOMENCLATURA", Str("99999999"));
  EXPECT_FALSE(telematic::ComponiCampiObbligatori(context, *lines));
  EXPECT_EQ(input->RaggIn02NumDocOrig, "N-5");
  EXPECT_EQ(object.Stato(), Int(0)) << object.Errore().Text();

  // Asked for the mandatory fields only, the statement's own recordset
  // comes back, without the carry-overs.
  input->SoloObbligatori = true;
  RecordsetPtr plain = object.CreaRecordsetPerTracciato();
  ASSERT_NE(plain, nullptr);
  plain->Find("IN02_NOMENCLATURA = '62010000'");
  EXPECT_EQ(plain->Value("IN02_CODICE_IN03"), Str(""));
}

// The program's services on a fixed day.
class FixedDay : public DefaultHostServices {
 public:
  Date Today() override { return *Date::FromYMD(2024, 4, 15); }
};

TEST_F(SubmissionDatabase, TheTelematicCommandWritesTheFileOrSaysWhyNot) {
  TempFolder out;
  cli::SubmissionRequest request = MarchRequest(folder_ / "host.db", out.path());
  request.lists = "both";
  request.layout = "2010";
  std::ostringstream stdout_, stderr_;
  ASSERT_EQ(cli::RunTelematic(request, stdout_, stderr_, std::make_shared<FixedDay>()), 0) << stderr_.str();
  std::string summary = stdout_.str();
  summary.replace(summary.find(out.path()), out.path().size(), "OUT");
  ExpectGoldenFile("telematic/golden/summary_2010_both.txt", summary);
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"ABCD0415.I01"});
  EXPECT_EQ(testing::FileBytes(out / "ABCD0415.I01").substr(0, 77), "ABCD            ABCD0415.I01            000000    01234567890     001 00009\r\n");

  // Refusals: one line each, with the reason, and no file.
  using Request = cli::SubmissionRequest;
  const std::tuple<std::string Request::*, const char*, const char*> refusals[] = {
      {&Request::date, "15/04/2024", "zelmora telematic: --date must be a day YYYY-MM-DD, not '15/04/2024'\n"},
      {&Request::periodicity, "quarterly",
       "zelmora telematic: --periodicity applies to one list; with both lists each takes the company's own\n"},
  };
  for (const auto& [field, value, message] : refusals) {
    TempFolder empty;
    Request bad = request;
    bad.outDir = empty.path();
    bad.*field = value;
    std::ostringstream o, e;
    EXPECT_EQ(cli::RunTelematic(bad, o, e, std::make_shared<FixedDay>()), 2);
    EXPECT_EQ(e.str(), message);
    EXPECT_TRUE(empty.Entries().empty());
  }
}

}  // namespace
}  // namespace zelmora
