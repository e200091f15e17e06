// The four movement operations driven by name through the host harness,
// one after the other on one business object, as a host calls them.
#include <gtest/gtest.h>

#include <string>

#include "cli/host_harness.h"
#include "cli/json_values.h"
#include "support/database.h"
#include "support/file_bytes.h"

namespace zelmora {
namespace {

using cli::Json;
using testing::TempDatabase;

// The given field of every row of a recordset written by the harness.
Json Column(const Json& recordset, const std::string& name) {
  const Json& fields = recordset["recordset"]["fields"];
  size_t index = fields.size();
  for (size_t i = 0; i < fields.size() && index == fields.size(); ++i) {
    if (fields[i]["name"] == name) index = i;
  }
  Json values = Json::array();
  if (index == fields.size()) {
    ADD_FAILURE() << "no field " << name;
    return values;
  }
  for (const Json& row : recordset["recordset"]["rows"]) values.push_back(row[index]);
  return values;
}

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

  // The line list is a snapshot: the deletion that followed does not touch it.
  const Json& lines = out["COutput"]["RecordsetIntra"];
  EXPECT_EQ(Column(lines, "IN01_NUMREG_CG41"), Json::parse("[10, 10, 11]"));
  EXPECT_EQ(Column(lines, "IN02_NUMRIGA"), Json::parse("[1, 2, 1]"));

  // The journal printed the text the list left.
  ASSERT_EQ(out["print_jobs"].size(), 1u);
  const Json& job = out["print_jobs"][0];
  EXPECT_EQ(job["sql"], out["COutput"]["StringaSQLperStampaIntra"]);
  EXPECT_EQ(job["printed"], Json(true));
  EXPECT_EQ(job["parameters"]["OperazioneRif"], Json("9"));
  EXPECT_EQ(job["parameters"]["IndIntraVen"], Json(1));

  // Registration 10 is gone; of the sales only 11 is left.
  const Json& documents = out["COutput"]["RecordsetIntraInterrogazione"];
  EXPECT_EQ(Column(documents, "IN01_NUMREG_CG41"), Json::parse("[11]"));
  EXPECT_EQ(Column(documents, "DETTAGLIO"), Json::parse("[1]"));
  EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM IN01_DOCTESTA WHERE IN01_NUMREG_CG41 = 10"), 1);  // company 2's
}

}  // namespace
}  // namespace zelmora
