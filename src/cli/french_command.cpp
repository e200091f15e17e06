// zelmora french --db PATH --company N --year Y --period P --out DIR
//                [--lists sales|purchases|both] [--user CODE] [--progressive N]
//                [--submission N] [--tax-code X] [--phone X] [--fax X]
//                [--delegate-surname X] [--delegate-name X] [--level N] [--file NAME]
#include "cli/french_command.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string_view>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/input_checks.h"
#include "cli/output_target.h"
#include "cli/options.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/french_procedures.h"
#include "telematic/french_records.h"
#include "platform/decimal.h"
#include "platform/error.h"
#include "platform/temp_files.h"
#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

// Free text of the header: printable, at most `width` characters, no
// character that would break the fixed-width record.
std::string HeaderText(const std::string& text, const char* option, size_t width) {
  if (HasControlCharacter(text)) throw Refusal{std::string(option) + " must be printable text, without control characters"};
  if (Utf8Length(text) > width) {
    throw Refusal{std::string(option) + " has at most " + std::to_string(width) + " characters, not '" + Shown(text) + "'"};
  }
  return text;
}

std::string Alphanumeric(const std::string& text, const char* option, size_t width) {
  for (unsigned char c : text) {
    if (!std::isalnum(c) || c >= 0x80) {
      throw Refusal{std::string(option) + " must be letters and digits, not '" + Shown(text) + "'"};
    }
  }
  return HeaderText(text, option, width);
}

bool IsMonthly(const Variant& indicator) { return !indicator.IsEmptyOrNull() && indicator.IsNumeric() && indicator.ToDecimal() == Decimal::FromInt(1); }

struct FlowTotals {
  int64_t lines = 0;
  Decimal invoiced, statistical, mass;
};

Decimal FieldNumber(std::string_view record, size_t start, size_t length) {
  const std::string field = Utf8Mid(record, start, length);
  return Decimal::Parse(field).value_or(Decimal());
}

// The lines and totals of each flow, read back from the file written.
void Summarize(const std::string& text, std::ostream& out) {
  FlowTotals flows[2];  // [0] sales (flow 2), [1] purchases (flow 1)
  std::string_view rest = text;
  bool header = true;
  while (!rest.empty()) {
    const size_t end = rest.find("\r\n");
    const std::string_view record = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    if (header) {
      header = false;
      continue;
    }
    if (record.size() < 5) continue;
    FlowTotals& flow = flows[record[4] == '2' ? 0 : 1];
    flow.lines += 1;
    flow.invoiced += FieldNumber(record, 47, 11);
    flow.mass += FieldNumber(record, 74, 10);
    flow.statistical += FieldNumber(record, 84, 11);
  }
  const char* names[2] = {"sales (flow 2)", "purchases (flow 1)"};
  for (int i = 0; i < 2; ++i) {
    const FlowTotals& flow = flows[i];
    out << names[i] << ": " << flow.lines << (flow.lines == 1 ? " line" : " lines") << ", invoiced "
        << flow.invoiced.ToString() << ", statistical value " << flow.statistical.ToString() << ", net mass "
        << flow.mass.ToString() << "\n";
  }
}

std::string ReadFile(const std::string& path) {
  std::string text;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return text;
  text.resize(size);
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
  }
  return text;
}

}  // namespace

int RunFrench(const FrenchRequest& request, std::ostream& out, std::ostream& err,
              std::shared_ptr<HostServices> services) {
  try {
    if (!services) services = std::make_shared<DefaultHostServices>();
    const std::string connection = DatabaseConnection(request.database);
    const auto company = static_cast<int32_t>(RequiredWhole(request.company, kCompany));
    const int64_t year = RequiredWhole(request.year, kYear);
    const int64_t month = RequiredWhole(request.period, kPeriod);
    if (request.outDir.empty()) throw Refusal{"--out is required"};
    std::error_code ec;
    if (!std::filesystem::is_directory(request.outDir, ec)) throw Refusal{"no folder at " + request.outDir};

    auto input = std::make_shared<CLSIN_INPUTINTRA>();
    CLSIN_INPUTINTRA& in = *input;
    in.StringaDiConnessione = Variant::String(connection);
    in.Ditta = Variant::Long(company);
    in.Anno = Variant::Integer(static_cast<int16_t>(year));
    in.PeriodoStampa = Variant::Integer(static_cast<int16_t>(month));
    in.TipoStampa = Variant::Integer(static_cast<int16_t>(ListsValue(request.lists, "--lists", true)));
    in.CodiceUtenteInvioTelematico = Variant::String(Alphanumeric(request.user, "--user", 4));
    in.ProgressivoInvioTelematico = Variant::Integer(static_cast<int16_t>(Whole(request.progressive, "--progressive", 0, 9)));
    in.NumFloppy = Variant::Long(static_cast<int32_t>(Whole(request.submission, "--submission", 1, 999999)));
    in.Codicefiscale = Variant::String(Alphanumeric(request.taxCode, "--tax-code", 14));
    in.Telefono = Variant::String(HeaderText(request.phone, "--phone", 20));
    in.Fax = Variant::String(HeaderText(request.fax, "--fax", 20));
    in.CognomeDeleg = Variant::String(HeaderText(request.delegateSurname, "--delegate-surname", 20));
    in.NomeDeleg = Variant::String(HeaderText(request.delegateName, "--delegate-name", 20));
    in.LivObbligo = static_cast<int16_t>(Whole(request.level, "--level", 1, 4));
    char defaultName[32];
    std::snprintf(defaultName, sizeof defaultName, "DEB%04d%02d.TXT", static_cast<int>(year), static_cast<int>(month));
    const std::string name = request.fileName.empty() ? std::string(defaultName) : request.fileName;
    CheckFileName(name, "--file");
    const std::string path = (std::filesystem::path(request.outDir) / name).string();
    CheckOutputTarget(path, request.database, "--file");

    auto failures = std::make_shared<DatabaseFailures>();
    CLSIN_INTRABO object(WatchedServices(services, failures));
    object.SetCInput(input);
    IntraContext& context = object.context();
    OpenCompany(context, *failures, request.company);
    const Variant localisation = context.ClsDitta->ClsDatiAnagrafici->IndLocalizzazione;
    if (localisation.IsEmptyOrNull() || !localisation.IsNumeric() || localisation.ToDecimal() != Decimal::FromInt(2)) {
      throw Refusal{"company " + request.company + " is not kept under the French localisation"};
    }
    // The declaration carries the statistical data of a monthly list.
    const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
    if (request.lists != "purchases" && !IsMonthly(management.IndIntraVen)) {
      throw Refusal{"company " + request.company + " files no monthly sales list (IndIntraVen)"};
    }
    if (request.lists != "sales" && !IsMonthly(management.IndIntraAcq)) {
      throw Refusal{"company " + request.company + " files no monthly purchases list (IndIntraAcq)"};
    }
    object.SetActiveInterface(ActiveInterfaceFor(context));
    object.SetFolderFileIntraWeb(std::make_shared<Folder>(request.outDir));
    // The component writes under a staging name: a month without goods
    // lines gives an empty file, which must not replace an earlier
    // declaration of the same name. The staging file is a temporary file
    // of this run (temp_files.h): removed if the run is interrupted, swept
    // by a later run if it is killed.
    SweepTemporaryFiles(request.outDir);
    const std::string staging = TemporaryName(name, "staging");
    object.SetPathFileIntraWeb(staging);
    const std::string stagingPath = (std::filesystem::path(request.outDir) / staging).string();
    TemporaryPathEntry listed(stagingPath);
    failures->Clear();
    object.PreparaTracciatoPerLocalizzazioneFrancese(Variant());
    if (context.Stato != 0) {
      std::filesystem::remove(stagingPath, ec);
      throw Refusal{FailureCause(context, *failures), 1};
    }
    if (std::filesystem::file_size(stagingPath, ec) == 0 || ec) {
      std::filesystem::remove(stagingPath, ec);
      out << "nothing to declare: no goods line in the period, no file written\n";
      return 0;
    }
    try {
      // Again just before the rename: the target may have changed meanwhile.
      CheckOutputTarget(path, request.database, "--file");
    } catch (const Refusal&) {
      std::filesystem::remove(stagingPath, ec);
      throw;
    }
    std::filesystem::rename(stagingPath, path, ec);
    if (ec) {
      std::filesystem::remove(stagingPath, ec);
      throw Refusal{"could not name the file " + path + ": " + ec.message(), 1};
    }
    const std::string text = ReadFile(path);
    out << name << " written to " << request.outDir << " (" << text.size() << " bytes)\n";
    Summarize(text, out);
    return 0;
  } catch (const Refusal& refusal) {
    SayWhy(err, "zelmora french", refusal.reason);
    return refusal.exitCode;
  } catch (const Error& error) {
    SayWhy(err, "zelmora french", error.description());
  }
  return 1;
}

void AddFrenchCommand(CLI::App& app, int& exitCode) {
  auto request = std::make_shared<FrenchRequest>();
  auto* command = app.add_subcommand("french", "Write the French declaration file of one month");
  AddDatabaseOption(*command, request->database);
  AddCompanyOption(*command, request->company);
  AddYearOption(*command, request->year);
  command->add_option("--period", request->period, "the month declared, 1 to 12");
  command->add_option("--lists", request->lists, "sales, purchases or both (default both)");
  command->add_option("--user", request->user, "the sender's code (4 characters at most)");
  command->add_option("--progressive", request->progressive, "the file's progressive (0-9, default 1)");
  command->add_option("--submission", request->submission, "the declaration's number (default 1)");
  command->add_option("--tax-code", request->taxCode, "the declarant's identifier (14 characters at most)");
  command->add_option("--phone", request->phone, "the declarant's telephone");
  command->add_option("--fax", request->fax, "the declarant's fax");
  command->add_option("--delegate-surname", request->delegateSurname, "the delegate's surname");
  command->add_option("--delegate-name", request->delegateName, "the delegate's first name");
  command->add_option("--level", request->level, "the obligation level (1-4, default 1)");
  command->add_option("--file", request->fileName, "the file name (default DEB<year><month>.TXT)");
  AddOutFolderOption(*command, request->outDir);
  OnRun(*command, exitCode, [request](std::ostream& out, std::ostream& err) { return RunFrench(*request, out, err); });
}

}  // namespace zelmora::cli
