#include <gtest/gtest.h>

#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "support/error_of.h"
#include "support/golden.h"
#include "platform/host_services.h"
#include "platform/report.h"

namespace zelmora {
namespace {

std::string Render(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      return "Empty";
    case VarType::Null:
      return "Null";
    case VarType::String:
      return '"' + value.AsString() + '"';
    case VarType::Long:
      return "Long " + value.ToString();
    case VarType::Object:
      return value.IsNothing() ? "Nothing" : std::string(value.AsObject()->Kind());
    default:
      return value.ToString();
  }
}

std::string RenderCalls(const PrintJob& job) {
  std::string text;
  for (const auto& call : job.calls) {
    text += call.name + "(";
    for (size_t i = 0; i < call.args.size(); ++i) text += (i ? ", " : "") + Render(call.args[i]);
    text += ")\n";
  }
  return text;
}

std::string RenderParameters(const PrintJob& job) {
  std::string text;
  for (const auto& [name, value] : job.parameters) text += name + "=" + Render(value) + "\n";
  return text;
}

using testing::ErrorNumberOf;

TEST(ReportObject, RecordsEveryCallAndWhatTheHandlerSets) {
  DefaultHostServices services;
  ReportObjectPtr report = services.NewReport("PclsReport");
  ASSERT_EQ(services.PrintJobs().size(), 1u);
  ASSERT_EQ(services.PrintJobs()[0], report->job());

  auto host = std::make_shared<DispatchObject>();
  auto connection = std::make_shared<Connection>();
  auto lines = std::make_shared<Recordset>();
  auto totals = std::make_shared<Recordset>();
  int raised = 0;
  report->OnBeforePrintReport([&](bool& cancel, CrepReport& template_, const ObjectPtr& app) {
    ++raised;
    EXPECT_FALSE(cancel);
    EXPECT_EQ(app, nullptr);
    EXPECT_FALSE(report->job()->printed);
    template_.DeclareSubreports("Righe;Totali");
    template_.BindSubreport("Righe", totals);
    template_.SetParameterField("ditta", Variant::String("1"));
    template_.SetParameterField("conto", Variant::String(""));
    template_.SetFormula("titolo", "'INTRA'");
    template_.SetParameterField("DITTA", Variant::String("7"));  // same field: keeps its place
    template_.BindSubreport("righe", lines);
    template_.BindSubreport("Totali", totals);
  });

  report->SetActiveInterface(host);
  report->SetUserObject(Variant());
  report->SetConnection(connection);
  report->SetNomeServer("srv");
  report->SetNomeDataBase("db");
  report->SetNomeUtenteDb("");
  report->SetNomePasswordDb("");
  report->SetRhwndParent(0);
  report->SetSQL("SELECT 1");
  report->Prepare("Stampa Brogliaccio Movimenti Intra ", "CRIN_INTRA.rpt", "/opt/zelmora", Variant::Long(0),
                  Variant::Long(2));
  EXPECT_EQ(report->CompletionFlag(), 0);
  report->Print();
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(report->CompletionFlag(), 1);
  EXPECT_EQ(report->connection(), connection);
  report->SetConnection(nullptr);
  report->SetActiveInterface(nullptr);
  report->SetRecordset(nullptr);
  report->Release();

  const PrintJob& job = *report->job();
  EXPECT_EQ(job.member, "PclsReport");
  testing::ExpectGoldenFile("platform/services/golden/report_calls.txt", RenderCalls(job));
  EXPECT_EQ(RenderParameters(job), "ditta=\"7\"\nconto=\"\"\n");
  EXPECT_EQ(job.formulas, (std::vector<std::pair<std::string, std::string>>{{"titolo", "'INTRA'"}}));
  EXPECT_EQ(job.declaredSubreports, "Righe;Totali");
  EXPECT_EQ(job.boundSubreports, (decltype(job.boundSubreports){{"Righe", lines}, {"Totali", totals}}));
  EXPECT_EQ(job.sql, "SELECT 1");
  EXPECT_TRUE(job.printed);
  EXPECT_TRUE(job.released);

  // Released: the object holds nothing and takes no more calls.
  EXPECT_EQ(report->connection(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { report->Print(); }), 91);
  EXPECT_EQ(ErrorNumberOf([&] { report->SetSQL("SELECT 2"); }), 91);
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(job.calls.size(), 15u);
}

TEST(ReportObject, HandlerFailureCancelAndRecordsetJobs) {
  DefaultHostServices services;

  // A handler that fails part-way: the report prints with what was set.
  ReportObjectPtr failing = services.NewReport("PclsReport");
  failing->OnBeforePrintReport([](bool&, CrepReport& template_, const ObjectPtr&) {
    template_.SetParameterField("ditta", Variant::Long(1));
    throw Error::TypeMismatch();
  });
  failing->Print();
  EXPECT_TRUE(failing->job()->printed);
  EXPECT_EQ(RenderParameters(*failing->job()), "ditta=Long 1\n");

  // A handler that cancels: nothing is printed; each Print raises the event once.
  int raised = 0;
  ReportObjectPtr cancelled = services.NewReport("PclsRepLas");
  cancelled->OnBeforePrintReport([&](bool& cancel, CrepReport&, const ObjectPtr&) {
    ++raised;
    cancel = true;
  });
  cancelled->Print();
  cancelled->Print();
  EXPECT_EQ(raised, 2);
  EXPECT_FALSE(cancelled->job()->printed);
  EXPECT_EQ(cancelled->CompletionFlag(), 0);

  // A laser job prints a recordset; setting Nothing before the release keeps
  // the record of the data printed.
  ReportObjectPtr laser = services.NewReport("PclsRepLas");
  auto form = std::make_shared<Recordset>();
  laser->SetRecordset(form);
  laser->Prepare("Modello", "CRIN_LASER.rpt", "/opt", Variant::Long(0), Variant::Long(1));
  laser->Print();
  laser->SetRecordset(nullptr);
  laser->Release();
  EXPECT_EQ(laser->job()->recordset, form);
  EXPECT_TRUE(laser->job()->printed);

  ASSERT_EQ(services.PrintJobs().size(), 3u);
  EXPECT_EQ(services.PrintJobs()[1]->member, "PclsRepLas");
  EXPECT_EQ(services.PrintJobs()[2], laser->job());
}

}  // namespace
}  // namespace zelmora
