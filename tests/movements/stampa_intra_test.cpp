// The movement journal print job: what StampaIntra asks of the report
// object, in order, and the parameter fields its BeforePrintReport handler
// sets, seen end to end through the host harness and in-process.
#include <gtest/gtest.h>

#include <string>

#include "cli/host_harness.h"
#include "cli/json_values.h"
#include "facade/clsin_intrabo.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "movements/movement_procedures.h"
#include "platform/dispatch_object.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using cli::Json;
using testing::TempDatabase;

// The host's services with a fixed installation folder, whose report
// objects come with the options a user set on them.
class PrintServices : public DefaultHostServices {
 public:
  std::string ComponentFolder() override { return "/opt/zelmora"; }
  ReportObjectPtr NewReport(const std::string& member) override {
    ReportObjectPtr report = DefaultHostServices::NewReport(member);
    report->FirstPageOption = firstPage;
    report->NotesOption = notes;
    report->LimitsOption = limits;
    report->RecipientText = recipient;
    report->PreparedByText = preparedBy;
    report->NotesText = notesText;
    return report;
  }
  bool firstPage = false, notes = false, limits = false;
  std::string recipient, preparedBy, notesText;
};

Json RunScript(const std::string& script, std::shared_ptr<HostServices> services) {
  cli::HarnessResult result = cli::RunHostScript(script, std::move(services));
  EXPECT_EQ(result.exitCode, 0) << result.error;
  return Json::parse(result.output);
}

// The host script movements/scripts/`name` on the database `db`.
std::string Script(const std::string& name, const TempDatabase& db) {
  std::string script = testing::TestFile("movements/scripts/" + name);
  return script.replace(script.find("@CS@"), 4, db.ConnectionString());
}

TEST(StampaIntra, PrintsTheStoredTextWithTheRunsFiltersAsParameters) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  auto services = std::make_shared<PrintServices>();
  services->firstPage = true;
  services->limits = true;
  services->recipient = "Ufficio acquisti";
  services->notesText = "Controllo di gennaio";
  const Json out = RunScript(Script("print_with_filters.json", db), services);

  // The status is not reset by the print.
  EXPECT_EQ(out["steps"], Json::parse(R"([{"call": "StampaIntra", "Stato": 7, "Errore": {"empty": true},
                                          "result": null}])"));
  testing::ExpectGoldenFile("movements/golden/print_job.json", out["print_jobs"].dump(1) + "\n");
  // The change of periodicity turns the month into the end of its quarter.
  EXPECT_EQ(out["CInput"]["TipoIntra"], Json(2));
  EXPECT_EQ(out["CInput"]["PeriodoStampa"], Json(6));
  EXPECT_EQ(out["COutput"]["StringaSQLperStampaIntra"], Json("SELECT 1 AS X"));
}

TEST(StampaIntra, AnEmptyWindowHandleStopsThePrintWithStatus99) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  auto services = std::make_shared<PrintServices>();
  const Json out = RunScript(Script("print_without_window.json", db), services);
  EXPECT_EQ(out["steps"], Json::parse(R"([{"call": "StampaIntra", "Stato": 99, "Errore": "earlier",
                                          "result": null}])"));
  // Nothing printed; the report object is kept by the business object and
  // released when it ends.
  testing::ExpectGoldenFile("movements/golden/print_job_not_printed.json", out["print_jobs"].dump(1) + "\n");
}

TEST(StampaIntra, ASecondPrintReleasesTheReportKeptFromTheFirstAndBuildsTheTextWhenNoneIsStored) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  auto services = std::make_shared<PrintServices>();
  CLSIN_INTRABO object(services);
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->Ditta = Variant::Integer(1);
  input->StringaDiConnessione = Variant::String(db.ConnectionString());
  object.SetCInput(input);
  auto host = std::make_shared<DispatchObject>();
  object.SetActiveInterface(host);

  object.StampaIntra();
  EXPECT_EQ(object.context().Stato, 99);
  ASSERT_EQ(services->PrintJobs().size(), 1u);
  const std::shared_ptr<PrintJob> first = services->PrintJobs()[0];
  EXPECT_FALSE(first->released);
  // The text was built from the (empty) filters before the report was set up.
  testing::ExpectGoldenSection("movements/golden/queries.sql", "all filters empty", object.COutput()->StringaSQLperStampaIntra.Text());

  input->RhwndParent = Variant::Long(77);
  input->ENHFiltro = Variant::String("AND 1 = 0");  // not applied: the stored text is printed
  object.StampaIntra();
  ASSERT_EQ(services->PrintJobs().size(), 2u);
  std::string tail;
  for (size_t i = first->calls.size() - 4; i < first->calls.size(); ++i) {
    const PrintJob::Call& call = first->calls[i];
    tail += call.name + (call.args.empty() ? "" : call.args[0].IsNothing() ? "(Nothing)" : "(?)") + " ";
  }
  EXPECT_EQ(tail, "Connection(Nothing) ActiveInterface(Nothing) Recordset(Nothing) Release ");
  EXPECT_TRUE(first->released);
  EXPECT_FALSE(first->printed);

  const std::shared_ptr<PrintJob> second = services->PrintJobs()[1];
  EXPECT_TRUE(second->printed);
  EXPECT_TRUE(second->released);
  EXPECT_EQ(object.context().PclsReport, nullptr);
  testing::ExpectGoldenSection("movements/golden/queries.sql", "all filters empty", second->sql);
  // The host object has no company data: the handler stops at the first
  // indicator and reports it; the print goes on with what was set.
  EXPECT_EQ(object.context().Stato, 438);
  EXPECT_EQ(object.Errore().Text(), "Object doesn't support this property or method in PclsReport_BeforePrintReport");
  std::string names;
  for (const auto& [name, value] : second->parameters) names += name + " ";
  EXPECT_EQ(names,
            "ditta ragionesociale tipomov conto descconto numdoc dadatadoc adatadoc dameserif ameserif daannorif "
            "aannorif dadatareg adatareg ");
}

TEST(StampaIntra, TheHandlerPrintsByQuarterAfterAChangeOfPeriodicity) {
  struct Case {
    Variant period;
    Variant expected;
    bool changed = true;
  };
  const Case cases[] = {
      {Variant::Integer(1), Variant::Integer(3)},    {Variant::Integer(2), Variant::Integer(3)},
      {Variant::Integer(3), Variant::Integer(3)},    {Variant::Long(4), Variant::Integer(6)},
      {Variant::String("5"), Variant::Integer(6)},   {Variant::Integer(6), Variant::Integer(6)},
      {Variant::Integer(7), Variant::Integer(9)},    {Variant::Integer(8), Variant::Integer(9)},
      {Variant::Integer(9), Variant::Integer(9)},    {Variant::Integer(10), Variant::Integer(12)},
      {Variant::Integer(11), Variant::Integer(12)},  {Variant::Integer(12), Variant::Integer(12)},
      {Variant::Integer(0), Variant::Integer(0)},    {Variant::Integer(13), Variant::Integer(13)},
      {Variant::Double(5.5), Variant::Double(5.5)},  {Variant(), Variant()},
      {Variant::Null(), Variant::Null()},
      // Without the change both stay as they are.
      {Variant::Integer(5), Variant::Integer(5), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period.Text());
    CLSIN_INTRABO object;
    auto input = std::make_shared<CLSIN_INPUTINTRA>();
    input->CambioPeriodicita = c.changed;
    input->TipoIntra = Variant::Integer(1);
    input->PeriodoStampa = c.period;
    object.SetCInput(input);
    PrintJob job;
    CrepReport report(job);
    bool cancel = false;
    movements::PclsReport_BeforePrintReport(object.context(), cancel, report, nullptr);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(input->TipoIntra == Variant::Integer(c.changed ? 2 : 1));
    EXPECT_TRUE(input->PeriodoStampa == c.expected) << input->PeriodoStampa.Text();
    // No host object: the handler stops at the indicators with error 91.
    EXPECT_EQ(object.context().Stato, 91);
    EXPECT_EQ(job.parameters.size(), 14u);
    EXPECT_EQ(job.parameters[13].first, "adatareg");
  }
}

TEST(StampaIntra, AMissingPrerequisiteLeavesStatus1AndPrintsNothing) {
  auto services = std::make_shared<PrintServices>();
  const Json out = RunScript(R"({"CInput": {"Ditta": 1, "StringaDiConnessione": ""}, "calls": ["StampaIntra"]})",
                             services);
  EXPECT_EQ(out["steps"][0]["Stato"], Json(1));
  EXPECT_TRUE(out["print_jobs"].empty());
}

}  // namespace
}  // namespace zelmora
