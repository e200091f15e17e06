#include "cli/print_command.h"


#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/input_checks.h"
#include "cli/output_target.h"
#include "cli/period_input.h"
#include "component/clsin_intrabo.h"
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

void CheckStatus(const IntraContext& context, const char* what) {
  if (context.Stato == 0) return;
  const std::string text = context.Errore.Text();
  throw Failure{std::string(what) + " failed (status " + std::to_string(context.Stato) + ")" +
                (text.empty() ? "" : ": " + text)};
}

// The journal of the period's movements of one list, by competence date.
void PrintJournal(CLSIN_INTRABO& object, int year, int firstMonth, int lastMonth, bool sales) {
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
  CheckStatus(object.context(), "the journal");
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
void PrintForms(CLSIN_INTRABO& object) {
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
    CheckStatus(context, "the laser form");
  }
}

}  // namespace

int RunPrint(const PrintRequest& request, std::ostream& out, std::ostream& err,
             std::shared_ptr<HostServices> services) {
  try {
    if (!services) services = std::make_shared<DefaultHostServices>();
    if (request.document != "journal" && request.document != "forms" && request.document != "cover") {
      throw Refusal{"the document must be journal, forms or cover, not '" + request.document + "'"};
    }
    for (const auto& [value, option] : {std::pair{&request.database, "--db"}, {&request.company, "--company"},
                                        {&request.year, "--year"}, {&request.period, "--period"},
                                        {&request.list, "--list"}, {&request.out, "--out"}}) {
      if (value->empty()) throw Refusal{std::string(option) + " is required"};
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(request.database, ec)) {
      throw Refusal{"no database file at " + request.database};
    }
    const int company = static_cast<int>(Whole(request.company, "--company", 1, 99999));
    const int year = static_cast<int>(Whole(request.year, "--year", 1900, 9999));
    const int period = static_cast<int>(Whole(request.period, "--period", 1, 12));
    if (request.quarterly && period % 3 != 0) {
      throw Refusal{"--period must be the last month of a quarter (3, 6, 9 or 12) with --quarterly, not " +
                     request.period};
    }
    if (request.list != "sales" && request.list != "purchases") {
      throw Refusal{"--list must be sales or purchases, not '" + request.list + "'"};
    }
    CheckOutputPath(request.out, "--out");
    const std::filesystem::path target(request.out);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (!std::filesystem::is_directory(folder, ec)) throw Refusal{"no folder for " + request.out};
    if (std::filesystem::is_directory(target, ec)) throw Refusal{"--out names a folder: " + request.out};
    CheckOutputTarget(request.out, request.database, "--out");
    SweepTemporaryFiles(folder.string());
    const bool sales = request.list == "sales";

    CLSIN_INTRABO object(services);
    auto in = PeriodInput(request.database, company, year, period);
    in->TipoIntra = Variant::Integer(request.quarterly ? 2 : 1);
    in->TipoStampa = Variant::Integer(sales ? 0 : 1);
    in->RhwndParent = Variant::Long(0);
    in->PartitaIva = Variant::String(request.vat);
    object.SetCInput(in);
    IntraContext& context = object.context();
    CreaConnessione(context);
    CheckStatus(context, "opening the database");
    CreaClasseDittaBase(context);
    // A company that is not there is bad input (its row is missing: no
    // current record, 3021); any other failure reading it is a failed print.
    if (context.Stato == 3021) throw Refusal{"no company " + request.company + ": " + context.Errore.Text()};
    CheckStatus(context, "reading the company");
    if (!context.ClsDitta || !context.ClsDitta->ClsDatiAnagrafici ||
        context.ClsDitta->ClsDatiAnagrafici->RagioneSociale.IsEmptyOrNull()) {
      throw Refusal{"no company " + request.company + " in " + request.database};
    }
    in->RagioneSociale = context.ClsDitta->ClsDatiAnagrafici->RagioneSociale;
    in->RagSocFisc = in->RagioneSociale;
    object.SetActiveInterface(ActiveInterfaceFor(context));

    if (request.document == "journal") {
      const int first = request.quarterly ? period - 2 : period;
      PrintJournal(object, year, first, period, sales);
    } else if (request.document == "forms") {
      PrintForms(object);
    } else {
      object.StampaFrontespizioModIntra();
      CheckStatus(context, "the cover page");
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
    err << "zelmora print: Errore: " << bad.reason << "\n";
    return bad.exitCode;
  } catch (const Failure& failure) {
    err << "zelmora print: Errore: " << failure.reason << "\n";
  } catch (const Error& error) {
    err << "zelmora print: Errore: " << error.description() << "\n";
  } catch (const std::exception& error) {
    err << "zelmora print: Errore: " << error.what() << "\n";
  }
  return 1;
}

void AddPrintCommand(CLI::App& app, int& exitCode) {
  auto request = std::make_shared<PrintRequest>();
  auto* command = app.add_subcommand("print", "Print the movements journal, the laser forms or the cover page as PDF");
  command->add_option("document", request->document, "journal, forms or cover");
  command->add_option("--db", request->database, "the host database (a SQLite file)");
  command->add_option("--company", request->company, "the declaring company's code");
  command->add_option("--year", request->year, "the year of the period");
  command->add_option("--period", request->period, "the month (with --quarterly, the quarter's last month)");
  command->add_option("--list", request->list, "sales or purchases");
  command->add_flag("--quarterly", request->quarterly, "a quarterly declaration (default: monthly)");
  command->add_option("--vat", request->vat, "the declarant's VAT number, shown on the forms");
  command->add_option("--out", request->out, "the PDF file to write");
  command->callback([request, &exitCode] { exitCode = RunPrint(*request, std::cout, std::cerr); });
}

}  // namespace zelmora::cli
