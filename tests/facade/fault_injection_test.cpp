// Every public operation of the business object run over a representative
// scenario with the Nth database or file call failing, for N = 1, 2, ...
// until the operation completes: no exception reaches the host, the failure
// is reported in Stato and Errore as the operation's handler kind says, no
// submission or temporary file is left (a file that is there is the whole
// file), the recordsets published and the pages printed are none, the whole
// ones or what a partial run is known to leave, and the database holds what
// it held before or what a partial run is known to leave.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>

#include "cli/active_interface.h"
#include "cli/print_command.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "platform/dispatch_object.h"
#include "demo/demo_data.h"
#include "support/temp_folder.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"
#include "support/database.h"
#include "support/fault_injection.h"
#include "support/file_bytes.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

using testing::FaultyServices;

enum class Kind {
  StatusAndText,
  Silent,
  Numbered,
  // No handler and nothing that can fail: the operation makes no call.
  None,
  // The laser print: its own failures set Stato 99 and leave Errore as it
  // was; the procedures it calls report theirs by status and text and the
  // print goes on; a preparation that failed leaves no page rows, reported
  // as Stato 1 "Non ci sono record" with nothing printed.
  LaserPrint,
};

struct Scenario {
  const char* operation;
  Kind kind;
  int company = 1;
  std::function<void(CLSIN_INTRABO&, CLSIN_INPUTINTRA&)> setup;
  std::string file = "";      // the file the operation writes, if any
  bool deletes = false;       // the operation deletes a registration's movements
  bool publishes = false;     // the recordsets it returns or publishes are compared
};

// The columns of a merged service line that the lookup of its movements'
// shared invoice data writes.
const std::vector<std::string> kMergedColumns = {"IN02_CODICE_IN03", "IN02_CODICE_IN04", "IN02_NUMDOCORIG",
                                                 "IN02_DATADOCORIG"};

// A recordset whole ("nothing" when there is none), without the merged
// service columns when `merged` is false.
std::string RecordsetText(const RecordsetPtr& rs, bool merged = true) {
  if (!rs) return "nothing\n";
  if (merged) return testing::RecordsetText(*rs);
  std::vector<FieldInfo> fields;
  std::vector<size_t> kept;
  for (size_t i = 0; i < rs->FieldCount(); ++i) {
    if (std::find(kMergedColumns.begin(), kMergedColumns.end(), rs->Field(i).name) != kMergedColumns.end()) continue;
    fields.push_back(rs->Field(i));
    kept.push_back(i);
  }
  std::vector<Row> rows;
  for (const Row* row : rs->VisibleRows()) {
    rows.emplace_back();
    for (size_t i : kept) rows.back().push_back((*row)[i]);
  }
  return testing::RecordsetText(*Recordset::FromRows(std::move(fields), std::move(rows)));
}

// What a print job printed, as text: the calls made of the report object
// up to the print and the formulas (`head`), then what BeforePrintReport
// declared, bound and set, in the order it does (`handler`). What is asked
// after the print (the release) is not part of the page.
struct PrintedText {
  std::string head;
  std::string handler;
};

PrintedText Printed(const PrintJob& job) {
  PrintedText text;
  text.head = job.member + "\n";
  for (const PrintJob::Call& call : job.calls) {
    text.head += "call " + call.name;
    for (const Variant& arg : call.args) text.head += " [" + (arg.IsObject() ? std::string("object") : arg.Text()) + "]";
    text.head += "\n";
    if (call.name == "Print") break;
  }
  for (const auto& [name, value] : job.formulas) text.head += "formula " + name + " = " + value + "\n";
  if (!job.declaredSubreports.empty()) text.handler += "subreports " + job.declaredSubreports + "\n";
  for (const auto& [name, rs] : job.boundSubreports) text.handler += "bound " + name + "\n" + RecordsetText(rs);
  for (const auto& [name, value] : job.parameters) text.handler += "parameter " + name + " = " + value.Text() + "\n";
  return text;
}

// Every row of every table, as text: what a test compares before and after.
std::string Contents(const std::string& path) {
  const testing::DbPtr db = testing::OpenDb(path);
  std::istringstream tables(testing::Rows(db.get(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
  std::string text;
  for (std::string table; std::getline(tables, table);) {
    text += "#" + table + "\n" + testing::Rows(db.get(), "SELECT * FROM \"" + table + "\" ORDER BY rowid");
  }
  return text;
}

void Exec(const std::string& path, const std::string& sql) { testing::Exec(testing::OpenDb(path).get(), sql); }

ObjectPtr Interface(int localisation) {
  auto management = std::make_shared<DispatchObject>();
  management->SetMember("IndIntraVen", Variant::Integer(1));
  management->SetMember("IndIntraAcq", Variant::Integer(localisation == 2 ? 1 : 2));
  return cli::ActiveInterface(Variant::Integer(static_cast<int16_t>(localisation)), management);
}

void SalesMonthly(CLSIN_INTRABO&, CLSIN_INPUTINTRA& in) {
  in.TipoStampa = Variant::Integer(0);
  in.TipoIntra = Variant::Integer(1);
}

void BothLists(CLSIN_INTRABO&, CLSIN_INPUTINTRA& in) { in.TipoStampa = Variant::Integer(2); }

// The monthly sales declaration, its statement built and the connection
// open, as a host leaves them before asking for the lines.
void SalesStatement(CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
  SalesMonthly(object, in);
  IntraContext& context = object.context();
  ASSERT_TRUE(ApriOperazioneDatabase(context, true));
  declaration::BuildDeclarationStatement(context);
  ASSERT_EQ(context.Stato, 0) << context.Errore.Text();
}

// The same with merged service lines: each merged line looks up the
// invoice data its movements share.
void MergedSalesStatement(CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
  in.AccorpaArt23 = true;
  SalesStatement(object, in);
}

// The laser form's goods section (bis) of the monthly sales declaration,
// with merged service lines.
void LaserGoodsSection(CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
  SalesMonthly(object, in);
  in.AccorpaArt23 = true;
  in.PagineModLas = Variant::Integer(2);
  in.RhwndParent = Variant::Long(0);
}

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> scenarios = {
      {"GeneraRecordsetIntra", Kind::Silent, 1, SalesMonthly},
      {"StampaIntra", Kind::Silent, 1,
       [](CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
         SalesMonthly(object, in);
         in.RhwndParent = Variant::Long(0);
       }},
      {"PreparaTracciatoPerDischetto", Kind::StatusAndText, 1,
       [](CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
         SalesMonthly(object, in);
         in.AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
         object.SetPathFileIntraWeb("SCAMBI.CEE");
       },
       "SCAMBI.CEE"},
      {"CancellaMovimentiIntra", Kind::Numbered, 1,
       [](CLSIN_INTRABO&, CLSIN_INPUTINTRA& in) { in.NumeroRegistrazione = Variant::Long(1); }, "", true},
      {"GeneraRecordsetIntraPerInterrogazione", Kind::Silent, 1, SalesMonthly},
      {"PreparaTracciatoPerDischetto2010", Kind::StatusAndText, 1,
       [](CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
         SalesMonthly(object, in);
         object.SetPathFileIntraWeb("INTRA.TXT");
       },
       "INTRA.TXT"},
      {"PreparaTracciatoPerInvioTelematico", Kind::StatusAndText, 1, BothLists},
      {"GeneraRstErroriNomenclatura", Kind::StatusAndText, 1, SalesMonthly},
      {"GeneraRstErroriNomenclaturaInvioTelematico", Kind::Silent, 1, BothLists},
      {"GeneraRstDatiModuloStampe", Kind::StatusAndText, 1, SalesMonthly},
      {"GeneraRstDatiNomenclaturaInvioTelematico", Kind::StatusAndText, 1, SalesMonthly},
      {"GeneraRstDatiLocalizzazioneFrancese", Kind::Silent, 3, BothLists},
      {"PreparaTracciatoPerLocalizzazioneFrancese", Kind::StatusAndText, 3,
       [](CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
         BothLists(object, in);
         object.SetPathFileIntraWeb("DEB.TXT");
       },
       "DEB.TXT"},
      {"CreaRecordsetPerTracciato", Kind::StatusAndText, 1, MergedSalesStatement, "", false, true},
      {"PreparaRecodsetPerStampaSuModulo", Kind::StatusAndText, 1, SalesStatement, "", false, true},
      {"StampaIntraSuModulo", Kind::None, 1, SalesStatement},
      {"PreparaRecodsetPerStampaSuModuloLaser", Kind::StatusAndText, 1,
       [](CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
         MergedSalesStatement(object, in);
         in.PagineModLas = Variant::Integer(4);
       },
       "", false, true},
      {"StampaIntraSuModuloLaser", Kind::LaserPrint, 1, LaserGoodsSection, "", false, true},
      {"StampaFrontespizioModIntra", Kind::StatusAndText, 1,
       [](CLSIN_INTRABO& object, CLSIN_INPUTINTRA& in) {
         SalesMonthly(object, in);
         in.RhwndParent = Variant::Long(0);
       },
       "", false, true},
  };
  return scenarios;
}

// One run of a scenario with the `failAt`th call failing (0: none).
struct Outcome {
  bool fired = false;
  int64_t calls = 0;
  int16_t stato = 0;
  std::string errore;
  std::vector<std::string> files;
  std::string file;      // the written file's content, when there
  std::string database;  // the database's contents after the run
  std::string output;    // the recordsets returned and published, as text
  std::string outputUnmerged;  // the same without the merged service columns
  std::vector<PrintedText> printed;  // the jobs printed
};

class FaultInjection : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder();
    const testing::DbPtr db = testing::OpenDb(*folder_ / "demo.db");
    CreateHostSchema(db.get());
    FillDemoData(db.get(), {5000, 1});
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  Outcome Run(const Scenario& scenario, int64_t failAt, const std::string& database, const std::string& out) {
    auto services = std::make_shared<FaultyServices>(failAt);
    Outcome outcome;
    {
      CLSIN_INTRABO object(services);
      auto in = std::make_shared<CLSIN_INPUTINTRA>();
      in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=" + database);
      in->Ditta = Variant::Long(scenario.company);
      in->Anno = Variant::Integer(2024);
      in->PeriodoStampa = Variant::Integer(6);
      in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
      in->CodiceUtenteInvioTelematico = Variant::String("ABCD");
      in->DataInvioTelematico = Variant::FromDate(*Date::FromYMD(2024, 7, 5));
      in->ProgressivoInvioTelematico = Variant::Integer(1);
      in->NumFloppy = Variant::Integer(1);
      in->PartitaIva = Variant::String("01234567890");
      in->LivObbligo = 1;
      object.SetCInput(in);
      object.SetActiveInterface(Interface(scenario.company == 3 ? 2 : 0));
      object.SetFolderFileIntraWeb(std::make_shared<Folder>(out));
      services->countdown().Pause();
      scenario.setup(object, *in);
      services->countdown().Resume();
      std::vector<Variant> args;
      if (std::string_view(scenario.operation).starts_with("PreparaTracciatoPerDischetto") ||
          std::string_view(scenario.operation) == "PreparaTracciatoPerLocalizzazioneFrancese") {
        args.push_back(Variant());
      }
      Variant result;
      EXPECT_NO_THROW(result = object.Invoke(scenario.operation, args))
          << scenario.operation << " failing at " << failAt;
      outcome.stato = object.context().Stato;
      outcome.errore = object.context().Errore.Text();
      if (scenario.publishes) {
        const CLSIN_OUPUTINTRA& output = *object.COutput();
        for (bool merged : {true, false}) {
          std::string& text = merged ? outcome.output : outcome.outputUnmerged;
          if (result.IsObject()) text += "result\n" + RecordsetText(result.ObjectAs<Recordset>(), merged);
          for (const RecordsetPtr& rs : {output.RecordsetIntraModMain, output.RecordsetIntraAcqCess,
                                         output.RecordsetIntraRettifiche, output.RecordsetIntraAcqCess_Ser,
                                         output.RecordsetIntraRettifiche_Ser}) {
            text += RecordsetText(rs, merged);
          }
        }
      }
    }
    for (const std::shared_ptr<PrintJob>& job : services->PrintJobs()) {
      if (job->printed) outcome.printed.push_back(Printed(*job));
    }
    outcome.fired = services->countdown().fired();
    outcome.calls = services->countdown().calls();
    for (const auto& entry : std::filesystem::directory_iterator(out)) outcome.files.push_back(entry.path().filename());
    if (!scenario.file.empty() && std::filesystem::exists(out + "/" + scenario.file)) {
      outcome.file = zelmora::testing::FileBytes(out + "/" + scenario.file);
    }
    outcome.database = Contents(database);
    return outcome;
  }

  static TempFolder* folder_;
};

TempFolder* FaultInjection::folder_ = nullptr;

bool EndsWithProcedure(const std::string& errore) {
  const size_t in = errore.rfind(" in ");
  return in != std::string::npos && in + 4 < errore.size();
}

bool EndsWithNestedProcedure(const std::string& errore, std::initializer_list<const char*> procedures) {
  for (const char* procedure : procedures) {
    if (errore.ends_with(std::string(" in ") + procedure)) return true;
  }
  return false;
}

TEST_F(FaultInjection, EveryOperationSurvivesEveryFailingCall) {
  const std::string demo = *folder_ / "demo.db";
  const std::string before = Contents(demo);
  std::ostringstream report;
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.operation);
    // The run without faults: what the operation makes when nothing fails.
    const std::string work = *folder_ / "work.db";
    const std::string out = *folder_ / "out";
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(out);
    std::filesystem::copy_file(demo, work, std::filesystem::copy_options::overwrite_existing);
    const Outcome clean = Run(scenario, 0, work, out);
    ASSERT_EQ(clean.stato, 0) << clean.errore;
    if (scenario.kind == Kind::None) {
      EXPECT_EQ(clean.calls, 0) << "an operation with nothing to do made a call that can fail";
      EXPECT_EQ(clean.database, before);
      report << scenario.operation << ": no call that can fail\n";
      continue;
    }
    if (scenario.publishes) {
      ASSERT_NE(clean.output.substr(0, 8), "nothing\n") << "the scenario publishes no recordset";
    }
    if (!scenario.file.empty()) {
      ASSERT_FALSE(clean.file.empty()) << "the scenario writes no file";
    }
    std::vector<std::string> allowed = {before, clean.database};
    if (scenario.deletes) {
      // Lines go first, then the header: a failure between leaves the header alone.
      std::filesystem::copy_file(demo, work, std::filesystem::copy_options::overwrite_existing);
      Exec(work, "DELETE FROM IN02_RIGHEDOC WHERE IN02_DITTA_CG18 = 1 AND IN02_NUMREG_CG41 = 1");
      allowed.push_back(Contents(work));
    } else {
      EXPECT_EQ(clean.database, before) << "an operation that only reads changed the database";
    }

    // What a scenario that publishes shows when nothing is published.
    std::string nothingPublished;
    if (scenario.publishes) {
      if (clean.output.starts_with("result\n")) nothingPublished = "result\nnothing\n";
      for (int i = 0; i < 5; ++i) nothingPublished += "nothing\n";
    }

    int64_t injected = 0;
    for (int64_t failAt = 1;; ++failAt) {
      std::filesystem::remove_all(out);
      std::filesystem::create_directory(out);
      if (scenario.deletes) std::filesystem::copy_file(demo, work, std::filesystem::copy_options::overwrite_existing);
      const Outcome outcome = Run(scenario, failAt, work, out);
      if (!outcome.fired) {
        EXPECT_EQ(outcome.stato, 0) << outcome.errore;
        break;
      }
      ++injected;
      SCOPED_TRACE("call " + std::to_string(failAt) + " failing: Stato " + std::to_string(outcome.stato) + ", " +
                   outcome.errore);
      EXPECT_NE(outcome.stato, 0) << "the failure did not reach the host";
      switch (scenario.kind) {
        case Kind::StatusAndText:
          EXPECT_TRUE(EndsWithProcedure(outcome.errore));
          break;
        case Kind::Silent:
          EXPECT_TRUE(outcome.stato == 99 || EndsWithProcedure(outcome.errore));
          break;
        case Kind::Numbered:
          EXPECT_TRUE((outcome.stato == 99 && outcome.errore.starts_with("Errore VB numero ")) ||
                      EndsWithProcedure(outcome.errore));
          break;
        case Kind::None:
          break;
        case Kind::LaserPrint:
          EXPECT_TRUE((outcome.stato == 99 && outcome.errore.empty()) ||
                      (outcome.stato == 1 && outcome.errore == "Non ci sono record" && outcome.printed.empty()) ||
                      EndsWithNestedProcedure(outcome.errore, {"CreaConnessione", "DefinisciStringaPerIntraSuModulo",
                                                                "PreparaRecodsetPerStampaSuModuloLaser",
                                                                "ComponiCampiObbligatori", "MemorizzaRecordModIntra",
                                                                "PclsRepLas_BeforePrintReport"}));
          break;
      }
      if (scenario.publishes) {
        // Nothing published (as before the run), all of it, or, when the
        // lookup of a merged line's shared invoice data failed, all of it
        // with that data as the carry-over properties held it.
        if (outcome.output != nothingPublished && outcome.output != clean.output) {
          EXPECT_TRUE(outcome.errore.ends_with(" in ComponiCampiObbligatori") &&
                      outcome.outputUnmerged == clean.outputUnmerged)
              << "the recordsets are neither none, nor whole, nor a known partial state";
        }
        // A page printed is the whole page, or the page with what
        // BeforePrintReport had set when it failed.
        EXPECT_LE(outcome.printed.size(), clean.printed.size());
        for (size_t i = 0; i < outcome.printed.size() && i < clean.printed.size(); ++i) {
          EXPECT_EQ(outcome.printed[i].head, clean.printed[i].head);
          if (outcome.printed[i].handler != clean.printed[i].handler) {
            EXPECT_TRUE(outcome.errore.ends_with(" in PclsRepLas_BeforePrintReport") &&
                        clean.printed[i].handler.starts_with(outcome.printed[i].handler))
                << "a page printed with less than BeforePrintReport sets, and no failure of it reported";
          }
        }
      }
      // No temporary file; a file that is there is the whole file.
      for (const std::string& name : outcome.files) EXPECT_EQ(name, scenario.file);
      // A country lookup that fails is reported and gives no code; the
      // French file goes on without it, so only its shape is the same.
      if (!outcome.files.empty() && outcome.errore.ends_with(" in DecodificaPaeseISO")) {
        EXPECT_EQ(outcome.file.size(), clean.file.size());
      } else if (!outcome.files.empty()) {
        EXPECT_EQ(outcome.file, clean.file);
      }
      EXPECT_NE(std::find(allowed.begin(), allowed.end(), outcome.database), allowed.end())
          << "the database holds neither its earlier content nor a known partial one";
      if (::testing::Test::HasFailure()) break;
    }
    report << scenario.operation << ": " << injected << " faults injected, all survived\n";
    EXPECT_GT(injected, 0);
  }
  std::cout << report.str();
  ::testing::Test::RecordProperty("faults", report.str());
}

// A PDF's bytes without the moment it was made, which is all that two
// prints of the same pages differ in.
std::string WithoutCreationDate(std::string pdf) {
  const size_t at = pdf.find("/CreationDate (");
  if (at != std::string::npos) pdf.erase(at, pdf.find(')', at) + 1 - at);
  return pdf;
}

// zelmora print over the same company, with the PDF written through the
// file helper: a run that meets a failing call (the component's database
// and report calls, the journal's rows, each write of the PDF and its
// close) exits 1 with one line and leaves no file, finished or temporary;
// a failure is never taken for bad input or for a period without lines. The run that meets none prints
// the same document as the first.
TEST_F(FaultInjection, PrintCommandSurvivesEveryFailingCall) {
  const std::string demo = *folder_ / "demo.db";
  const std::string before = Contents(demo);
  const std::string out = *folder_ / "print";
  std::ostringstream report;
  for (const char* document : {"journal", "forms", "cover"}) {
    SCOPED_TRACE(document);
    cli::PrintRequest request;
    request.document = document;
    request.database = demo;
    request.company = "1";
    request.year = "2024";
    request.period = "6";
    request.list = "sales";
    request.vat = "01234567890";
    request.out = out + "/INTRA.pdf";
    int64_t injected = 0;
    std::string clean;
    for (int64_t failAt = 0;; ++failAt) {
      std::filesystem::remove_all(out);
      std::filesystem::create_directory(out);
      auto services = std::make_shared<FaultyServices>(failAt);
      std::ostringstream printed, errors;
      const int exitCode = cli::RunPrint(request, printed, errors, services);
      std::vector<std::string> files;
      for (const auto& entry : std::filesystem::directory_iterator(out)) files.push_back(entry.path().filename());
      if (failAt == 0) {
        ASSERT_EQ(exitCode, 0) << errors.str();
        ASSERT_EQ(files, std::vector<std::string>{"INTRA.pdf"});
        clean = WithoutCreationDate(zelmora::testing::FileBytes(request.out));
        ASSERT_EQ(clean.substr(0, 5), "%PDF-");
        continue;
      }
      if (!services->countdown().fired()) {
        EXPECT_EQ(exitCode, 0) << errors.str();
        ASSERT_EQ(files, std::vector<std::string>{"INTRA.pdf"});
        EXPECT_TRUE(WithoutCreationDate(zelmora::testing::FileBytes(request.out)) == clean)
            << "the print after the failing ones is not the first print";
        break;
      }
      ++injected;
      SCOPED_TRACE("call " + std::to_string(failAt) + " failing: " + errors.str());
      EXPECT_EQ(exitCode, 1);
      EXPECT_EQ(printed.str(), "");
      const std::string line = errors.str();
      EXPECT_TRUE(line.starts_with("zelmora print: ") && line.find('\n') == line.size() - 1);
      EXPECT_EQ(line.find("no declaration line"), std::string::npos) << "a failure taken for an empty period";
      EXPECT_EQ(files, std::vector<std::string>{}) << "a failed print left a file";
      if (::testing::Test::HasFailure()) break;
    }
    report << "zelmora print " << document << ": " << injected << " faults injected, all survived\n";
    EXPECT_GT(injected, 0);
  }
  EXPECT_EQ(Contents(demo), before);
  std::cout << report.str();
}

}  // namespace
}  // namespace zelmora
