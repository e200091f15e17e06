#include "cli/host_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/json_values.h"
#include "support/run_zelmora.h"
#include "support/temp_folder.h"

namespace zelmora::cli {
namespace {

Json RunScript(const std::string& script) {
  HarnessResult result = RunHostScript(script);
  EXPECT_EQ(result.exitCode, 0) << result.error;
  return Json::parse(result.output);
}

std::string Invalid(const std::string& script) {
  HarnessResult result = RunHostScript(script);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(result.output.empty());
  EXPECT_EQ(result.error.find('\n'), std::string::npos);
  return result.error;
}

TEST(HostHarness, SetsStatoFromTextAndReadsItBackAsAnInteger) {
  const Json out = RunScript(R"({"object": {"Stato": "7"}})");
  EXPECT_EQ(out["object"]["Stato"], Json(7));
  EXPECT_TRUE(out["steps"].empty());
  EXPECT_TRUE(out["CInput"].is_null());
  EXPECT_TRUE(out["print_jobs"].empty());
}

TEST(HostHarness, ValuesKeepTheirKindAndExactDigitsBothWays) {
  HarnessResult result = RunHostScript(R"({
    "CInput": {"Ditta": 1, "Anno": 40000, "NumFloppy": 3000000000, "PartitaIva": "01234567890",
               "ENHFiltro": null, "Casella1": 12.49, "Casella2": 1.50, "TipoCF": 1e2,
               "DataInvioTelematico": {"date": "2024-02-29"}, "CambioPeriodicita": true,
               "LivObbligo": 3, "AnnoRiferimentoIntra": 1},
    "COutput": {"StringaSQLperStampaIntra": "SELECT 1\r\n"},
    "calls": [{"call": "ShowMessage", "args": [1, "x", 0.1]}]})");
  ASSERT_EQ(result.exitCode, 0) << result.error;
  const Json out = ParseScriptJson(result.output);
  const Json& in = out["CInput"];
  EXPECT_EQ(in["Ditta"], Json(1));
  EXPECT_EQ(in["Anno"], Json(40000));
  EXPECT_EQ(in["NumFloppy"], Json(3000000000LL));
  EXPECT_EQ(in["PartitaIva"], Json("01234567890"));
  EXPECT_TRUE(in["ENHFiltro"].is_null());
  // Decimals come back with exactly the digits they hold.
  EXPECT_EQ(in["Casella1"][kDecimalKey], Json("12.49"));
  EXPECT_EQ(in["Casella2"][kDecimalKey], Json("1.5"));
  EXPECT_EQ(in["TipoCF"], Json(100));
  EXPECT_EQ(in["DataInvioTelematico"], Json::parse(R"({"date": "2024-02-29"})"));
  EXPECT_EQ(in["CambioPeriodicita"], Json(true));
  EXPECT_EQ(in["LivObbligo"], Json(3));
  EXPECT_EQ(in["AnnoRiferimentoIntra"], Json(1));
  // What was left out stays Empty; objects left empty are Nothing.
  EXPECT_EQ(in["Conto"], Json::parse(R"({"empty": true})"));
  EXPECT_TRUE(in["Connessione"].is_null());
  EXPECT_EQ(out["COutput"]["StringaSQLperStampaIntra"], Json("SELECT 1\r\n"));
  EXPECT_TRUE(out["COutput"]["RecordsetIntra"].is_null());

  ASSERT_EQ(out["steps"].size(), 1u);
  EXPECT_EQ(out["steps"][0], Json::parse(R"({"call": "ShowMessage", "Stato": 0, "Errore": {"empty": true}, "result": 0})"));
  EXPECT_EQ(out["object"], Json::parse(R"({"Stato": 0, "Errore": {"empty": true}, "NumRecStpModIntra": {"empty": true},
      "NumFileFloppy": 0, "PathFileIntraWeb": "", "FolderFileIntraWeb": null})"));
}

TEST(HostHarness, TheBusinessObjectsOwnMembersAreSetAsAHostSetsThem) {
  const Json out = RunScript(R"({"object": {"Errore": "old", "NumRecStpModIntra": 12, "NumFileFloppy": 2.5,
                                     "PathFileIntraWeb": "ABCD0315.I01", "FolderFileIntraWeb": "/tmp/out"}})");
  EXPECT_EQ(out["object"], Json::parse(R"({"Stato": 0, "Errore": "old", "NumRecStpModIntra": 12,
      "NumFileFloppy": 2, "PathFileIntraWeb": "ABCD0315.I01", "FolderFileIntraWeb": "/tmp/out"})"));
  // A status that does not convert is trapped by the object itself.
  const Json trapped = RunScript(R"({"object": {"Stato": "abc"}})");
  EXPECT_EQ(trapped["object"]["Stato"], Json(13));
  EXPECT_EQ(trapped["object"]["Errore"], Json("Type mismatch in Stato"));
}

TEST(HostHarness, AnInvalidScriptIsRefusedWithOneLineAndRunsNothing) {
  EXPECT_EQ(Invalid("{\"CInput\": ").rfind("the script is not valid JSON", 0), 0u);
  EXPECT_EQ(Invalid(R"({"CInput": {"Dita": 1}})"), "CInput has no property Dita");
  EXPECT_EQ(Invalid(R"({"calls": ["GeneraRecordsetIntra2"]})"), "the business object has no operation GeneraRecordsetIntra2");
  EXPECT_EQ(Invalid(R"({"calls": [{"call": "ShowMessage", "args": [1]}]})"), "ShowMessage takes 2 to 5 arguments, not 1");
  EXPECT_EQ(Invalid(R"({"CInput": {"LivObbligo": 70000}})"), "CInput.LivObbligo: Overflow");
  EXPECT_EQ(Invalid(R"({"CInput": {"Ditta": [1]}})"), "CInput.Ditta: a list is not a value here");
  EXPECT_EQ(Invalid(R"({"COutput": {"RecordsetIntra": 1}})"), "COutput.RecordsetIntra holds a recordset and cannot be preset");
  EXPECT_EQ(Invalid(R"({"object": {"CInput": 1}})"), "the business object has no settable member CInput");
  EXPECT_EQ(Invalid(R"({"Input": {}})"), "unknown script key \"Input\"");
  EXPECT_EQ(Invalid(R"([1, 2])"), "the script must be a JSON object");
  EXPECT_EQ(Invalid(R"({"CInput": {"Anno": {"date": "2024-02-30"}}})"), "CInput.Anno: a date is written {\"date\": \"YYYY-MM-DD\"}");
}

TEST(HostHarness, CheckingAScriptMakesNoCallAndRefusesAsARunWould) {
  // The call would fail on the missing database; checking does not make it.
  const HarnessResult valid = ValidateHostScript(R"({
    "CInput": {"StringaDiConnessione": "Provider=SQLite;Data Source=/nonexistent/zelmora.db", "Ditta": 1},
    "object": {"FolderFileIntraWeb": "/nonexistent/out"},
    "calls": ["GeneraRecordsetIntraPerInterrogazione", {"call": "ShowMessage", "args": [1, "x"]}]})");
  EXPECT_EQ(valid.exitCode, 0) << valid.error;
  EXPECT_EQ(valid.output, "");
  EXPECT_EQ(valid.error, "");
  for (const char* script : {R"({"CInput": {"Dita": 1}})", R"({"calls": [{"call": "ShowMessage", "args": [1]}]})",
                             R"({"CInput": {"LivObbligo": 70000}})", R"({"object": {"CInput": 1}})", "[1, 2]",
                             "{\"CInput\": "}) {
    const HarnessResult checked = ValidateHostScript(script);
    EXPECT_EQ(checked.exitCode, 2) << script;
    EXPECT_EQ(checked.output, "") << script;
    EXPECT_EQ(checked.error, Invalid(script)) << script;
  }
}

TEST(HostHarness, TheProgramReadsAFileOrStandardInput) {
  TempFolder dir;
  std::ofstream(dir / "script.json") << R"({"object": {"Stato": "7"}})";
  std::ofstream(dir / "stdin.json") << R"({"object": {"Stato": 3}})";
  const testing::Outcome fromFile = testing::RunZelmora({"host", dir / "script.json"});
  ASSERT_EQ(fromFile.code, 0) << fromFile.err;
  EXPECT_EQ(Json::parse(fromFile.out)["object"]["Stato"], Json(7));
  const testing::Outcome fromInput = testing::RunZelmora({"host", "-"}, dir / "stdin.json");
  ASSERT_EQ(fromInput.code, 0) << fromInput.err;
  EXPECT_EQ(Json::parse(fromInput.out)["object"]["Stato"], Json(3));
  EXPECT_EQ(testing::RunZelmora({"host", dir / "no-such-script.json"}).code, 2);
}

}  // namespace
}  // namespace zelmora::cli
