// zelmora telematic --db PATH --company N --year Y --period P
//                   --lists sales|purchases|both --user CODE [--date YYYY-MM-DD]
//                   --progressive N --submission N [--vat ...] [--delegate-vat ...]
//                   [--periodicity monthly|quarterly] [--customs-section N] [--office N]
//                   [--layout 2010|2022] [--strict] --out DIR
// zelmora legacy    --db PATH --company N --year Y --period P --lists sales|purchases
//                   --submission N [--periodicity monthly|quarterly|annual] [--vat ...]
//                   [--delegate-vat ...] [--box1 X] [--box2 X] [--file NAME] --out DIR
#include "cli/telematic_command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/input_checks.h"
#include "cli/options.h"
#include "cli/output_target.h"
#include "cli/verify_command.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "platform/company.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/text_file.h"
#include "platform/temp_files.h"
#include "platform/text_util.h"
#include "telematic/record_layout.h"
#include "telematic/submission_check.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::cli {

namespace {

void Require(const std::string& value, const char* option) {
  if (value.empty()) throw Refusal{std::string(option) + " is required"};
}

std::string CheckedVat(const std::string& text, const char* option) {
  if (text.empty()) return text;
  bool digits = text.size() == 11;
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  if (!digits) throw Refusal{std::string(option) + " must be an Italian VAT number of 11 digits, not '" + Shown(text) + "'"};
  return text;
}

// The sender's user code: the header record holds four characters of it,
// in capitals, and the file's name starts with all of it; so that the two
// agree it is one to four letters or digits, written in capitals.
std::string UserCode(const std::string& text) {
  Require(text, "--user");
  std::string code;
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80) {
      throw Refusal{"--user must be 1 to 4 letters or digits, not '" + Shown(text) + "'"};
    }
    code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (code.size() > 4) throw Refusal{"--user must be 1 to 4 letters or digits, not '" + text + "'"};
  return code;
}

// 1 monthly, 2 quarterly, 3 annual; nullopt: the company's own.
std::optional<int> GivenPeriodicity(const std::string& text, bool annualAllowed) {
  if (text.empty()) return std::nullopt;
  if (text == "monthly") return 1;
  if (text == "quarterly") return 2;
  if (text == "annual" && annualAllowed) return 3;
  throw Refusal{std::string("--periodicity must be monthly, quarterly") + (annualAllowed ? " or annual" : "") +
                ", not '" + Shown(text) + "'"};
}

const char* PeriodicityName(const Variant& tipoIntra) {
  if (tipoIntra == Variant::Integer(1) || tipoIntra == Variant::Long(1)) return "monthly";
  if (tipoIntra == Variant::Integer(2) || tipoIntra == Variant::Long(2)) return "quarterly";
  if (tipoIntra == Variant::Integer(3) || tipoIntra == Variant::Long(3)) return "annual";
  return "no periodicity";
}


// What both jobs set up: the input object, the connection, the company.
struct Job {
  std::unique_ptr<CLSIN_INTRABO> object;
  std::shared_ptr<CLSIN_INPUTINTRA> input;
  std::shared_ptr<DatabaseFailures> failures;
  std::string outDir;
  IntraContext& context() { return object->context(); }
  // The operation failed (Stato set): why, as a failure while working.
  Refusal Failed() { return Refusal{FailureCause(context(), *failures), 1}; }
};

Job OpenJob(const SubmissionRequest& request, std::shared_ptr<HostServices> services, bool legacy) {
  const std::string connection = DatabaseConnection(request.database);
  const auto company = static_cast<int32_t>(RequiredWhole(request.company, kCompany));
  const auto year = static_cast<int16_t>(RequiredWhole(request.year, kYear));
  const auto period = static_cast<int16_t>(RequiredWhole(request.period, kPeriod));
  Require(request.lists, "--lists");
  const Lists lists = ListsValue(request.lists, "--lists", !legacy);
  Require(request.submission, "--submission");
  Require(request.outDir, "--out");
  std::error_code ec;
  if (!std::filesystem::is_directory(request.outDir, ec)) throw Refusal{"no folder at " + request.outDir};

  Job job;
  job.failures = std::make_shared<DatabaseFailures>();
  job.object = std::make_unique<CLSIN_INTRABO>(WatchedServices(std::move(services), job.failures));
  job.input = std::make_shared<CLSIN_INPUTINTRA>();
  CLSIN_INPUTINTRA& in = *job.input;
  in.StringaDiConnessione = Variant::String(connection);
  in.Ditta = Variant::Long(company);
  in.Anno = Variant::Integer(year);
  in.PeriodoStampa = Variant::Integer(period);
  in.NumFloppy = Variant::Long(static_cast<int32_t>(Whole(request.submission, "--submission", 1, 999999)));
  in.PartitaIva = Variant::String(CheckedVat(request.vat, "--vat"));
  in.PartitaIvaDeleg = Variant::String(CheckedVat(request.delegateVat, "--delegate-vat"));
  in.AnnoRiferimentoIntra =
      legacy ? AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010 : AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  in.TipoStampa = Variant::Integer(static_cast<int16_t>(lists));
  const std::optional<int> given = GivenPeriodicity(request.periodicity, legacy);
  if (lists == Lists::Both && given) {
    throw Refusal{"--periodicity applies to one list; with both lists each takes the company's own"};
  }
  if (given) CheckPeriodFor(period, static_cast<Periodicity>(*given));
  job.object->SetCInput(job.input);
  job.outDir = request.outDir;

  // The connection and the company, as the operations open them; the
  // company's own periodicity decides each list's unless one is given.
  IntraContext& context = job.context();
  OpenCompany(context, *job.failures, request.company);
  job.object->SetActiveInterface(ActiveInterfaceFor(context));
  const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
  auto companyPeriodicity = [&](int list) {
    const Variant& indicator = list == 0 ? management.IndIntraVen : management.IndIntraAcq;
    const char* name = list == 0 ? "sales" : "purchases";
    const char* field = list == 0 ? "IndIntraVen" : "IndIntraAcq";
    for (int16_t code : {1, 2}) {
      if (indicator.IsEmptyOrNull() || !indicator.IsNumeric() || indicator.ToInteger() != code) continue;
      CheckPeriodFor(period, static_cast<Periodicity>(code),
                     "company " + request.company + " files its " + name + " list quarterly");
      return code;
    }
    throw Refusal{"company " + request.company + " files no monthly or quarterly list of " + name + " (" + field +
                  ")" + (lists == Lists::Both ? "" : ": give --periodicity")};
  };
  if (lists == Lists::Both) {
    companyPeriodicity(0);
    companyPeriodicity(1);
  } else {
    const int list = lists == Lists::Purchases ? 1 : 0;
    in.TipoIntra = Variant::Integer(static_cast<int16_t>(given ? *given : companyPeriodicity(list)));
  }
  job.failures->Clear();
  return job;
}

// A total field of a frontispiece as a number: a "-" inside the field, or a
// last digit written as the letters p to y, makes it negative.
std::string DecodeTotal(std::string_view field) {
  bool negative = false;
  std::string digits;
  for (char c : field) {
    if (c == '-') {
      negative = true;
    } else if (c >= 'p' && c <= 'y') {
      negative = true;
      digits += static_cast<char>('0' + (c - 'p'));
    } else {
      digits += c;
    }
  }
  const size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  return negative && digits != "0" ? "-" + digits : digits;
}

std::string Lines(std::string_view count) {
  const std::string number = DecodeTotal(count);
  return number + (number == "1" ? " line" : " lines");
}

// The records of the text by type, and one line per frontispiece with its
// sections' counts and totals, read where `format` says they are (nullptr:
// the layout before 2010, goods sections only).
void Summarize(const std::string& text, bool withHeader, const telematic::SubmissionFormat* format,
               std::ostream& out) {
  std::vector<std::string_view> records;
  std::string_view rest = text;
  while (!rest.empty()) {
    size_t end = rest.find("\r\n");
    records.push_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
  }
  int64_t byType[6] = {0, 0, 0, 0, 0, 0};
  std::vector<std::string_view> fronts;
  for (size_t i = withHeader ? 1 : 0; i < records.size(); ++i) {
    std::string_view record = records[i];
    if (record.size() < 28 || record[22] < '0' || record[22] > '5') continue;
    byType[record[22] - '0'] += 1;
    if (record[22] == '0') fronts.push_back(record);
  }
  const bool callOff = format == &telematic::Format2022();
  out << "records: " << (withHeader ? "header 1, " : "") << "frontispiece " << byType[0] << ", goods " << byType[1]
      << ", goods corrections " << byType[2];
  if (format) out << ", services " << byType[3] << ", services corrections " << byType[4];
  if (callOff) out << ", call-off stock " << byType[5];
  out << "\n";
  for (std::string_view front : fronts) {
    if (!format) {
      // The layout before 2010: its frontispiece's goods sections.
      const telematic::RecordSpec& legacy = telematic::LayoutLegacy().frontispieces.front();
      if (front.size() < legacy.length) continue;
      auto field = [&](telematic::FieldSource fill) {
        const telematic::FieldSpec* spec = telematic::FindField(legacy, fill);
        return front.substr(spec->start - 1, spec->length);
      };
      out << (front[28] == 'A' ? "purchases" : "sales") << " declaration, submission " << front.substr(16, 6)
          << ": goods " << Lines(field(telematic::FieldSource::kCount1)) << " total "
          << DecodeTotal(field(telematic::FieldSource::kTotal1)) << ", goods corrections "
          << Lines(field(telematic::FieldSource::kCount2)) << " total "
          << DecodeTotal(field(telematic::FieldSource::kTotal2)) << "\n";
      continue;
    }
    const std::vector<telematic::SectionSummary> sections = telematic::Sections(*format, front);
    if (sections.empty()) continue;
    out << (front[28] == 'A' ? "purchases" : "sales") << " declaration, submission " << front.substr(16, 6) << ": ";
    for (size_t i = 0; i < sections.size(); ++i) {
      out << (i == 0 ? "" : ", ") << (sections[i].type == '4' ? std::string_view("services corrections") : sections[i].name)
          << " " << Lines(sections[i].count);
      if (!sections[i].total.empty()) out << " total " << DecodeTotal(sections[i].total);
    }
    out << "\n";
  }
}

void ReportLists(const telematic::SubmissionReport& report, std::ostream& out, bool callOff = false) {
  for (const telematic::SubmissionList& list : report.lists) {
    out << (list.tipoStampa == 1 ? "purchases" : "sales") << " list (" << PeriodicityName(list.tipoIntra) << "): ";
    if (!list.leftOut.empty()) {
      out << "left out, " << list.leftOut << "\n";
      continue;
    }
    out << list.written << " of " << list.selected << " lines declared, " << (list.selected - list.written)
        << " left out by the zero filter";
    if (callOff && list.tipoStampa == 0) {
      out << ", " << list.callOff << (list.callOff == 1 ? " call-off stock movement" : " call-off stock movements");
    }
    out << "\n";
  }
}

// The lines the 2022 writer refused, one per line, as zelmora check names
// them: the declaration line, what is wrong, the registrations behind it.
void ReportRefused(const std::vector<telematic::RefusedLine>& refused, std::ostream& err) {
  for (const telematic::RefusedLine& line : refused) {
    std::string text = line.what + ": " + line.why;
    if (line.line > 0) text += "; registrations " + (line.registrations.empty() ? "not looked up" : line.registrations);
    SayWhy(err, "zelmora telematic", text);
  }
}

// 2010 or 2022: as asked, else by the period (the 2022 layout applies from
// January 2022).
int LayoutYear(const SubmissionRequest& request) {
  if (request.layout.empty()) return WholeValue(request.year, kYear) >= 2022 ? 2022 : 2010;
  if (request.layout == "2010") return 2010;
  if (request.layout == "2022") return 2022;
  throw Refusal{"--layout must be 2010 or 2022, not '" + Shown(request.layout) + "'"};
}

// The format check's summary: the first problems, and where to see them all.
void ReportFormatCheck(const std::vector<telematic::Problem>& problems, const std::string& path, std::ostream& out) {
  constexpr size_t kShown = 20;
  if (problems.empty()) {
    out << "format check: no problems\n";
    return;
  }
  out << "format check: " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << "\n";
  std::vector<telematic::Problem> shown(problems.begin(),
                                        problems.begin() + static_cast<std::ptrdiff_t>(std::min(kShown, problems.size())));
  WriteProblems(shown, false, out);
  if (problems.size() > kShown) {
    out << "... and " << (problems.size() - kShown) << " more: zelmora verify " << path << " lists them all\n";
  }
}

void WriteAtomically(HostServices& services, const std::string& folder, const std::string& name,
                     const std::string& text) {
  std::shared_ptr<TextFile> file =
      services.NewFileHelper()->Open(std::make_shared<Folder>(folder), name, 1, "", -1, -1);
  file->Write(text);
  file->Flush();
  file->Close();
}

}  // namespace

int RunTelematic(const SubmissionRequest& request, std::ostream& out, std::ostream& err,
                 std::shared_ptr<HostServices> services) {
  try {
    if (!services) services = std::make_shared<DefaultHostServices>();
    const std::string user = UserCode(request.user);
    Require(request.progressive, "--progressive");
    const int64_t progressive = Whole(request.progressive, "--progressive", 1, 99);
    Date sent = services->Today();
    if (!request.date.empty()) {
      std::optional<Date> parsed = Date::ParseIso(request.date);
      if (!parsed || parsed->HasTime()) throw Refusal{"--date must be a day YYYY-MM-DD, not '" + Shown(request.date) + "'"};
      sent = *parsed;
    }
    const int layout = LayoutYear(request);
    Job job = OpenJob(request, services, false);
    CLSIN_INPUTINTRA& in = *job.input;
    in.CodiceUtenteInvioTelematico = Variant::String(user);
    in.DataInvioTelematico = Variant::FromDate(sent);
    in.ProgressivoInvioTelematico = Variant::Integer(static_cast<int16_t>(progressive));
    if (!request.customsSection.empty()) {
      in.CodiceSezioneDoganale = Variant::Long(static_cast<int32_t>(Whole(request.customsSection, "--customs-section", 0, 999999)));
    }
    // The site number customs assigned to the sender: the same in every
    // file, 001 unless another was assigned.
    in.ProgressivoSedeUtente = Variant::Integer(
        static_cast<int16_t>(request.office.empty() ? 1 : Whole(request.office, "--office", 1, 999)));

    telematic::SubmissionReport report;
    if (layout == 2022) {
      telematic::PreparaTracciatoPerInvioTelematico2022(job.context(), &report);
      if (!report.refused.empty()) {
        ReportRefused(report.refused, err);
        throw Refusal{std::to_string(report.refused.size()) +
                          (report.refused.size() == 1 ? " line cannot" : " lines cannot") +
                          " be written in the 2022 layout; no file written",
                      1};
      }
    } else {
      telematic::PreparaTracciatoPerInvioTelematico(job.context(), &report);
    }
    if (job.context().Stato != 0) throw job.Failed();
    const std::string name = job.object->COutput()->NomeFileInvioTelematico.Text();
    // The submission text is read where it is held, not copied: it is the
    // largest thing the job makes.
    const Variant& written = job.object->COutput()->StringaTracciatoInvioTelematico;
    const bool held = written.type() == VarType::String;
    const std::string converted = held ? std::string() : written.Text();
    const std::string& text = held ? written.AsString() : converted;
    ReportLists(report, out, layout == 2022);
    if (text.empty()) {
      out << "nothing to send: no declaration line in the period, no file written\n";
      return 0;
    }
    CheckFileName(name, "the submission file's name");
    CheckOutputTarget(job.outDir + "/" + name, request.database, "--out");
    SweepTemporaryFiles(job.outDir);
    WriteAtomically(*services, job.outDir, name, text);
    const telematic::SubmissionFormat& format = layout == 2022 ? telematic::Format2022() : telematic::Format2010();
    out << name << " written to " << job.outDir << " (" << text.size() << " bytes, " << layout << " layout)\n";
    Summarize(text, true, &format, out);
    const std::vector<telematic::Problem> problems = telematic::CheckSubmission(text, format);
    ReportFormatCheck(problems, job.outDir + "/" + name, out);
    if (request.strict && !problems.empty()) {
      SayWhy(err, "zelmora telematic",
             name + " has " + std::to_string(problems.size()) +
                 (problems.size() == 1 ? " format problem" : " format problems") + " (--strict); the file is kept");
      return 1;
    }
    return 0;
  } catch (const Refusal& refusal) {
    SayWhy(err, "zelmora telematic", refusal.reason);
    return refusal.exitCode;
  } catch (const Error& error) {
    SayWhy(err, "zelmora telematic", error.description());
  }
  return 1;
}

int RunLegacy(const SubmissionRequest& request, std::ostream& out, std::ostream& err,
              std::shared_ptr<HostServices> services) {
  try {
    if (!services) services = std::make_shared<DefaultHostServices>();
    const std::string name = request.fileName.empty() ? "SCAMBI.CEE" : request.fileName;
    CheckFileName(name, "--file");
    Job job = OpenJob(request, services, true);
    CheckOutputTarget(job.outDir + "/" + name, request.database, "--file");
    SweepTemporaryFiles(job.outDir);
    CLSIN_INPUTINTRA& in = *job.input;
    in.Casella1 = Variant::String(request.box1);
    in.Casella2 = Variant::String(request.box2);
    job.object->SetFolderFileIntraWeb(std::make_shared<Folder>(job.outDir));
    job.object->SetPathFileIntraWeb(name);

    telematic::SubmissionReport report;
    telematic::PreparaTracciatoPerDischetto(job.context(), Variant(), &report);
    if (job.context().Stato != 0) throw job.Failed();
    ReportLists(report, out);
    if (report.lists.empty() || report.lists.front().written == 0) {
      out << "nothing to send: no declaration line in the period, no file written\n";
      return 0;
    }
    const std::string path = job.outDir + "/" + name;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::string text;
    if (!ec) {
      text.resize(size);
      std::FILE* file = std::fopen(path.c_str(), "rb");
      if (file) {
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::fclose(file);
      }
    }
    out << name << " written to " << job.outDir << " (" << text.size() << " bytes)\n";
    Summarize(text, false, nullptr, out);
    return 0;
  } catch (const Refusal& refusal) {
    SayWhy(err, "zelmora legacy", refusal.reason);
    return refusal.exitCode;
  } catch (const Error& error) {
    SayWhy(err, "zelmora legacy", error.description());
  }
  return 1;
}

namespace {

void AddCommonOptions(CLI::App* command, SubmissionRequest& request) {
  AddDatabaseOption(*command, request.database);
  AddCompanyOption(*command, request.company);
  AddYearOption(*command, request.year);
  AddPeriodOption(*command, request.period);
  command->add_option("--submission", request.submission, "the submission number of the declaration, 1 to 999999");
  command->add_option("--vat", request.vat, "the declarant's VAT number (11 digits)");
  command->add_option("--delegate-vat", request.delegateVat, "the VAT number of the delegate who presents");
  AddOutFolderOption(*command, request.outDir);
}

}  // namespace

void AddTelematicCommand(CLI::App& app, int& exitCode) {
  auto request = std::make_shared<SubmissionRequest>();
  auto* command = app.add_subcommand(
      "telematic", "Write the telematic submission file of one period (2022 layout from January 2022, else 2010)");
  AddCommonOptions(command, *request);
  AddListsOption(*command, request->lists, true);
  command->add_option("--periodicity", request->periodicity,
                      "monthly or quarterly for a single list (default: the company's)");
  command->add_option("--user", request->user, "the sender's user code: 1 to 4 letters or digits (written in capitals)");
  command->add_option("--date", request->date, "the day the file is sent, YYYY-MM-DD (default: today)");
  command->add_option("--progressive", request->progressive, "the progressive of the file within its day (1-99)");
  command->add_option("--customs-section", request->customsSection, "the customs section of the header");
  command->add_option("--office", request->office,
                      "the site number customs assigned to the sender, header positions 67-69 (default 001)");
  command->add_option("--layout", request->layout,
                      "2010 or 2022 (default: 2022 for periods from January 2022, 2010 before)");
  command->add_flag("--strict", request->strict, "exit 1 when the file written has format problems (it is kept)");
  OnRun(*command, exitCode,
        [request](std::ostream& out, std::ostream& err) { return RunTelematic(*request, out, err); });

  auto legacyRequest = std::make_shared<SubmissionRequest>();
  auto* legacy = app.add_subcommand("legacy", "Write the declaration file in the layout used before 2010");
  AddCommonOptions(legacy, *legacyRequest);
  legacy->add_option("--lists", legacyRequest->lists, "sales (INTRA-1) or purchases (INTRA-2)");
  legacy->add_option("--periodicity", legacyRequest->periodicity,
                     "monthly, quarterly or annual (default: the company's)");
  legacy->add_option("--box1", legacyRequest->box1, "the first box of the cover page");
  legacy->add_option("--box2", legacyRequest->box2, "the second box of the cover page");
  legacy->add_option("--file", legacyRequest->fileName, "the file name (default SCAMBI.CEE)");
  OnRun(*legacy, exitCode,
        [legacyRequest](std::ostream& out, std::ostream& err) { return RunLegacy(*legacyRequest, out, err); });
}

}  // namespace zelmora::cli
