#include "cli/print_command.h"


#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/input_checks.h"
#include "cli/output_target.h"
#include "cli/options.h"
#include "cli/period_input.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "forms/form_procedures.h"
#include "movements/movement_procedures.h"
#include "platform/error.h"
#include "platform/report_pdf/report_templates.h"
#include "platform/temp_files.h"

namespace zelmora::cli {

namespace {

// A print that could not be made: exit 1.
struct Failure {
  std::string reason;
};

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// An operation that set Stato, with its cause: the first database failure
// noted while it ran, else its message.
void CheckStatus(const IntraContext& context, const DatabaseFailures& failures, const char* what) {
  if (context.Stato == 0) return;
  throw Failure{std::string(what) + " failed: " + FailureCause(context, failures)};
}

// The journal of the period's movements of one list, by competence date.
void PrintJournal(CLSIN_INTRABO& object, const DatabaseFailures& failures, int year, int firstMonth, int lastMonth,
                  bool sales) {
  CLSIN_INPUTINTRA& in = *object.CInput();
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int lastDay = lastMonth == 2 && !leap ? 28 : kDays[lastMonth - 1];
  const std::string from = std::to_string(year) + TwoDigits(firstMonth) + "01";
  const std::string to = std::to_string(year) + TwoDigits(lastMonth) + TwoDigits(lastDay);
  in.ENHFiltro = Variant::String(std::string("AND IN01_INDTIPODOC IN ") + (sales ? "(1, 2)" : "(3, 4)") +
                                 " AND ISNULL(IN01_DTCOMPINTRA, ISNULL(CG41_DATAREGIVA, CG41_DATAREG)) >= '" + from +
                                 "' AND ISNULL(IN01_DTCOMPINTRA, ISNULL(CG41_DATAREGIVA, CG41_DATAREG)) <= '" + to +
                                 "'");
  // The heading shows the period; the text above is what selects it.
  in.DataRegistrazioneIniziale = Variant::String("01/" + TwoDigits(firstMonth) + "/" + std::to_string(year));
  in.DataRegistrazioneFinale =
      Variant::String(TwoDigits(lastDay) + "/" + TwoDigits(lastMonth) + "/" + std::to_string(year));
  in.RhwndParent = Variant::Long(0);
  object.StampaIntra();
  CheckStatus(object.context(), failures, "the journal");
}

// How many of the period's declaration lines the laser form lays out: its
// statement run again under the form's filter; -1 without a statement.
int32_t FormLinesOfThePeriod(IntraContext& context) {
  const Variant& sql = context.out().StringaSQLperStampaIntra;
  if (sql.IsEmptyOrNull()) return -1;
  RecordsetPtr lines = context.connection().Execute(sql.ToString(), kCmdText);
  lines->SetFilter(forms::LaserLinesFilter(context.in()));
  return lines->RecordCount();
}

// The first page and every section that has lines, in the form's order.
// Which sections have lines is known from the first page's preparation,
// which lays out all of them: a section's print that then finds no page
// rows has failed (its preparation reports the failure and publishes
// nothing, which the print reports as "no records"), and is not skipped.
void PrintForms(CLSIN_INTRABO& object, const DatabaseFailures& failures) {
  CLSIN_INPUTINTRA& in = *object.CInput();
  IntraContext& context = object.context();
  for (int section = 1; section <= 5; ++section) {
    const int32_t pages[] = {1, context.NumPagineBis, context.NumPagineTer, context.NumPagineQuater,
                             context.NumPagineQuinquies};
    if (section > 1 && pages[section - 1] == 0) continue;
    // Page rows left by the section before are not to be printed again.
    object.COutput()->RecordsetIntraModMain = nullptr;
    in.PagineModLas = Variant::Integer(static_cast<int16_t>(section));
    object.StampaIntraSuModuloLaser();
    if (section == 1 && context.Stato == 1 && context.Errore.Text() == "Non ci sono record") {
      // The print says the same when its preparation failed: the lines
      // are read again to tell which.
      if (FormLinesOfThePeriod(context) == 0) throw Failure{"no declaration line in the period: nothing to print"};
      throw Failure{"the laser form could not be laid out from the period's declaration lines"};
    }
    CheckStatus(context, failures, "the laser form");
  }
}

}  // namespace

int RunPrint(const PrintRequest& request, std::ostream& out, std::ostream& err,
             std::shared_ptr<HostServices> services) {
  auto failures = std::make_shared<DatabaseFailures>();
  ConnectionPtr connection;  // once the database is open, for the cause of a failure
  try {
    if (!services) services = std::make_shared<DefaultHostServices>();
    if (request.document != "journal" && request.document != "forms" && request.document != "cover") {
      throw Refusal{"the document must be journal, forms or cover, not '" + Shown(request.document) + "'"};
    }
    const std::string connectionString = DatabaseConnection(request.database);
    const auto company = static_cast<int32_t>(RequiredWhole(request.company, kCompany));
    const auto year = static_cast<int>(RequiredWhole(request.year, kYear));
    const auto period = static_cast<int>(RequiredWhole(request.period, kPeriod));
    CheckPeriodFor(period, request.quarterly ? Periodicity::Quarterly : Periodicity::Monthly);
    if (request.list.empty()) throw Refusal{"--list is required"};
    const bool sales = ListsValue(request.list, "--list", false) == Lists::Sales;
    if (request.out.empty()) throw Refusal{"--out is required"};
    std::error_code ec;
    CheckOutputPath(request.out, "--out");
    const std::filesystem::path target(request.out);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (!std::filesystem::is_directory(folder, ec)) throw Refusal{"no folder for " + request.out};
    if (std::filesystem::is_directory(target, ec)) throw Refusal{"--out names a folder: " + request.out};
    CheckOutputTarget(request.out, request.database, "--out");
    SweepTemporaryFiles(folder.string());

    CLSIN_INTRABO object(WatchedServices(services, failures));
    auto in = PeriodInput(connectionString, company, year, period);
    in->TipoIntra = Variant::Integer(request.quarterly ? 2 : 1);
    in->TipoStampa = Variant::Integer(sales ? 0 : 1);
    in->RhwndParent = Variant::Long(0);
    in->PartitaIva = Variant::String(request.vat);
    object.SetCInput(in);
    IntraContext& context = object.context();
    OpenCompany(context, *failures, request.company);
    connection = context.Connessione;
    if (context.ClsDitta->ClsDatiAnagrafici->RagioneSociale.IsEmptyOrNull()) {
      throw Refusal{"company " + request.company + " has no name in the company table CG18_DITTE"};
    }
    in->RagioneSociale = context.ClsDitta->ClsDatiAnagrafici->RagioneSociale;
    in->RagSocFisc = in->RagioneSociale;
    object.SetActiveInterface(ActiveInterfaceFor(context));

    failures->Clear();
    if (request.document == "journal") {
      const int first = request.quarterly ? period - 2 : period;
      PrintJournal(object, *failures, year, first, period, sales);
    } else if (request.document == "forms") {
      PrintForms(object, *failures);
    } else {
      object.StampaFrontespizioModIntra();
      CheckStatus(context, *failures, "the cover page");
    }

    // Through the file helper: the PDF goes to a temporary file beside the
    // target and takes its name when closed; released unclosed (a failure
    // below), the temporary file goes with it.
    std::shared_ptr<TextFile> file = services->NewFileHelper()->Open(
        std::make_shared<Folder>(folder.string()), target.filename().string(), 1, "", -1, -1);
    // cairo hands the document over in many small pieces: they go to the
    // file in pieces of 64 KiB.
    std::string pending;
    const int pages = pdf::RenderPrintJobs(
        services->PrintJobs(), [&](const std::string& sql) { return context.connection().Execute(sql, kCmdText); },
        [&](std::string_view bytes) {
          pending.append(bytes);
          if (pending.size() < 64 * 1024) return;
          file->Write(pending);
          pending.clear();
        });
    if (!pending.empty()) file->Write(pending);
    file->Flush();
    // Again before the rename, as the drawing takes a while; a refusal
    // releases the file unclosed, which removes its temporary file.
    CheckOutputTarget(request.out, request.database, "--out");
    file->Close();
    out << request.out << ": " << pages << (pages == 1 ? " page" : " pages") << "\n";
    return 0;
  } catch (const Refusal& bad) {
    SayWhy(err, "zelmora print", bad.reason);
    return bad.exitCode;
  } catch (const Failure& failure) {
    SayWhy(err, "zelmora print", failure.reason);
  } catch (const Error& error) {
    failures->Note(error);
    SayWhy(err, "zelmora print", DatabaseCause(*failures, connection, request.company, error.description()));
  } catch (const std::exception& error) {
    SayWhy(err, "zelmora print", error.what());
  }
  return 1;
}

void AddPrintCommand(CLI::App& app, int& exitCode) {
  auto request = std::make_shared<PrintRequest>();
  auto* command = app.add_subcommand("print", "Print the movements journal, the laser forms or the cover page as PDF");
  command->add_option("document", request->document, "journal, forms or cover");
  AddDatabaseOption(*command, request->database);
  AddCompanyOption(*command, request->company);
  AddYearOption(*command, request->year);
  AddPeriodOption(*command, request->period);
  AddListsOption(*command, request->list, false);
  command->add_flag("--quarterly", request->quarterly, "a quarterly declaration (default: monthly)");
  command->add_option("--vat", request->vat, "the declarant's VAT number, shown on the forms");
  command->add_option("--out", request->out, "the PDF file to write");
  OnRun(*command, exitCode, [request](std::ostream& out, std::ostream& err) { return RunPrint(*request, out, err); });
}

}  // namespace zelmora::cli
