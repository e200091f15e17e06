// The four movement operations driven by name through the host harness,
// one after the other on one business object, as a host calls them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/host_harness.h"
#include "cli/json_values.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using cli::Json;
using testing::TempDatabase;

TEST(MovementHostScript, ListPrintDeleteAndBrowseOnOneObject) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  std::string script = R"({
    "CInput": {"Ditta": 1, "StringaDiConnessione": "@CS@", "TipoMovimento": 1, "NomenclaturaIniziale": "8",
               "OperazioneRif": 9, "NumeroRegistrazione": "10", "RhwndParent": 1},
    "ActiveInterface": {"ClsGlobal": {"Gcls_DittaCorrente": {"ClsDatiGest": {"IndIntraVen": 1, "IndIntraAcq": 0}}}},
    "calls": ["GeneraRecordsetIntra", "StampaIntra", "CancellaMovimentiIntra",
              "GeneraRecordsetIntraPerInterrogazione"]})";
  script.replace(script.find("@CS@"), 4, db.ConnectionString());
  cli::HarnessResult result = cli::RunHostScript(script);
  ASSERT_EQ(result.exitCode, 0) << result.error;
  const Json out = Json::parse(result.output);

  EXPECT_EQ(out["steps"], Json::parse(R"([
    {"call": "GeneraRecordsetIntra", "Stato": 0, "Errore": {"empty": true}, "result": null},
    {"call": "StampaIntra", "Stato": 0, "Errore": {"empty": true}, "result": null},
    {"call": "CancellaMovimentiIntra", "Stato": 0, "Errore": {"empty": true}, "result": true},
    {"call": "GeneraRecordsetIntraPerInterrogazione", "Stato": 0, "Errore": {"empty": true}, "result": null}])"));
  EXPECT_EQ(out["CInput"]["TipoElaborazione"], Json("Interrogazione"));

  // The line list is a snapshot: the deletion that followed does not touch
  // it. The journal printed the text the list left. Registration 10 is
  // gone; of the sales only 11 is left.
  EXPECT_EQ(out["print_jobs"][0]["sql"], out["COutput"]["StringaSQLperStampaIntra"]);
  // The journal's report folder is the working directory: named CWD.
  std::string dump = Json{{"COutput", out["COutput"]}, {"print_jobs", out["print_jobs"]}}.dump(1) + "\n";
  const std::string cwd = "\"" + std::filesystem::current_path().string() + "\"";
  for (size_t at = dump.find(cwd); at != std::string::npos; at = dump.find(cwd, at)) dump.replace(at, cwd.size(), "\"CWD\"");
  testing::ExpectGoldenFile("movements/golden/host_script.json", dump);
  EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM IN01_DOCTESTA WHERE IN01_NUMREG_CG41 = 10"), 1);  // company 2's
}

}  // namespace
}  // namespace zelmora
