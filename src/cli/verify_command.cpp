// zelmora verify FILE [--csv] [--db PATH --company N --year Y --period P]
#include "cli/verify_command.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <utility>
#include <memory>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/bounded_input.h"
#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/input_checks.h"
#include "cli/options.h"
#include "cli/period_input.h"
#include "cli/table_output.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "platform/company.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "telematic/line_movements.h"
#include "telematic/record_layout.h"
#include "telematic/submission_source.h"

namespace zelmora::cli {

namespace {



// The list and periodicity characters of each frontispiece, in file order.
std::vector<std::pair<char, char>> Declarations(const std::string& text) {
  const telematic::SubmissionFormat& format = telematic::Format2010();
  std::vector<std::pair<char, char>> found;
  size_t at = text.find('\n');
  while (at != std::string::npos && at + 1 < text.size()) {
    const size_t from = at + 1;
    at = text.find('\n', from);
    const std::string_view record(text.data() + from, (at == std::string::npos ? text.size() : at) - from);
    if (record.size() >= format.periodicity_position && record[format.type_position - 1] == format.frontispiece_type) {
      found.emplace_back(record[format.list_position - 1], record[format.periodicity_position - 1]);
    }
  }
  return found;
}

// For each problem of a detail record, the declaration line it was written
// from, found again by running the declaration as the telematic job does:
// the n-th detail record of a declaration is its n-th line after the zero
// filter.
std::vector<std::string> LinesBehind(const VerifyRequest& request, const std::string& text,
                                     const std::vector<telematic::Problem>& problems) {
  const std::string connection = DatabaseConnection(request.database);
  const auto company = static_cast<int32_t>(WholeValue(request.company, kCompany));
  const auto year = static_cast<int>(WholeValue(request.year, kYear));
  const auto period = static_cast<int>(WholeValue(request.period, kPeriod));
  const std::vector<std::pair<char, char>> declarations = Declarations(text);
  for (const auto& [list, periodicity] : declarations) {
    if (periodicity == 'T') {
      CheckPeriodFor(period, Periodicity::Quarterly,
                     std::string("the file's ") + (list == 'A' ? "purchases" : "sales") + " declaration is quarterly");
    }
  }

  auto failures = std::make_shared<DatabaseFailures>();
  CLSIN_INTRABO object(WatchedServices(nullptr, failures));
  auto in = PeriodInput(connection, company, year, period);
  object.SetCInput(in);
  IntraContext& context = object.context();
  OpenCompany(context, *failures, std::to_string(company));
  failures->Clear();
  object.SetActiveInterface(ActiveInterfaceFor(context));

  std::vector<std::string> behind(problems.size());
  for (size_t d = 1; d <= declarations.size(); ++d) {
    std::map<size_t, std::vector<size_t>> wanted;  // detail -> problems
    for (size_t p = 0; p < problems.size(); ++p) {
      if (problems[p].declaration == d && problems[p].detail > 0) wanted[problems[p].detail].push_back(p);
    }
    if (wanted.empty()) continue;
    in->TipoStampa = Variant::Integer(declarations[d - 1].first == 'A' ? 1 : 0);
    in->TipoIntra = Variant::Integer(declarations[d - 1].second == 'T' ? 2 : 1);
    RecordsetPtr lines = telematic::FilteredDeclarationLines(context, false);
    if (context.Stato != 0) throw Refusal{FailureCause(context, *failures), 1};
    if (lines->BOF() && lines->EOF()) continue;
    lines->MoveFirst();
    for (size_t n = 1; !lines->EOF(); ++n, lines->MoveNext()) {
      auto found = wanted.find(n);
      if (found == wanted.end()) continue;
      const std::string sql = "SELECT DISTINCT IN01_NUMREG_CG41 FROM VIN01_INTRA WITH(NOLOCK) WHERE IN02_INDNATURA <> 10 \r\n" +
                              in->StrWherePeriodo + "\r\n" + telematic::BoundLineMovementsCondition(*lines, false) +
                              " AND IN01_DITTA_CG18 = " + std::to_string(request.company) + "\r\nORDER BY 1";
      RecordsetPtr movements = context.connection().Execute(sql, kCmdText);
      std::string registrations;
      for (const Row* row : movements->VisibleRows()) {
        registrations += (registrations.empty() ? "" : ", ") + telematic::Escaped((*row)[0].Text());
      }
      const std::string text = (declarations[d - 1].first == 'A' ? "purchases line " : "sales line ") +
                               std::to_string(n) + " (" + telematic::Escaped(lines->Value("IN02_NOMENCLATURA").Text()) + ", " +
                               telematic::Escaped(lines->Value("CG16_PARTIVA").Text()) + "): registrations " +
                               (registrations.empty() ? "none found" : registrations);
      for (size_t p : found->second) behind[p] = text;
    }
  }
  return behind;
}

// The layout a file is in: as asked, else by the year of its first
// frontispiece (two digits: 22 and later are the 2022 layout's periods).
const telematic::SubmissionFormat* FormatOf(const std::string& layout, const std::string& text) {
  if (layout == "2010") return &telematic::Format2010();
  if (layout == "2022") return &telematic::Format2022();
  if (!layout.empty()) return nullptr;
  const telematic::SubmissionFormat& format = telematic::Format2010();
  size_t at = text.find('\n');
  while (at != std::string::npos && at + 1 < text.size()) {
    const size_t from = at + 1;
    at = text.find('\n', from);
    const std::string_view record(text.data() + from, (at == std::string::npos ? text.size() : at) - from);
    if (record.size() >= format.list_position + 2 && record[format.type_position - 1] == format.frontispiece_type) {
      const std::string_view year = record.substr(format.list_position, 2);
      const bool digits = year[0] >= '0' && year[0] <= '9' && year[1] >= '0' && year[1] <= '9';
      return digits && (year[0] - '0') * 10 + (year[1] - '0') >= 22 ? &telematic::Format2022() : &format;
    }
  }
  return &format;
}

}  // namespace

void WriteProblems(const std::vector<telematic::Problem>& problems, bool csv, std::ostream& out,
                   const std::vector<std::string>* behind) {
  Recordset table;
  table.AppendField("RECORD", DataType::VarChar, 10);
  table.AppendField("RECORD_TYPE", DataType::VarChar, 40);
  table.AppendField("FIELD", DataType::VarChar, 60);
  table.AppendField("HOLDS", DataType::VarChar, 200);
  table.AppendField("WANTS", DataType::VarChar, 200);
  if (behind) table.AppendField("DECLARATION_LINE", DataType::VarChar, 400);
  table.Open();
  for (const telematic::Problem& problem : problems) {
    table.AddNew();
    table.SetValue(0, Variant::String(std::to_string(problem.record)));
    table.SetValue(1, Variant::String(problem.record_type));
    table.SetValue(2, Variant::String(problem.field));
    table.SetValue(3, Variant::String(problem.holds));
    table.SetValue(4, Variant::String(problem.wants));
    if (behind) table.SetValue(5, Variant::String((*behind)[static_cast<size_t>(&problem - problems.data())]));
  }
  if (csv) {
    WriteCsv(table, out);
    return;
  }
  const char* headings[] = {"Record", "Type", "Field", "Holds", "Wants", "Declaration line"};
  std::vector<TableColumn> columns;
  for (size_t i = 0; i < (behind ? 6u : 5u); ++i) {
    columns.push_back({headings[i], [i](const Row& row) { return row[i].Text(); }, i == 0});
  }
  WriteTable(table, columns, out);
}

int RunVerify(const VerifyRequest& request, std::ostream& out, std::ostream& err) {
  const char* const command = "zelmora verify";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(request.file, ec)) {
    SayWhy(err, command,
           "cannot read " + request.file + ": " +
               (std::filesystem::exists(request.file, ec) ? "not a regular file" : "no such file"));
    return 2;
  }
  std::string text;
  try {
    text = ReadBoundedInput(request.file, kMaxSubmissionBytes, "the submission file");
  } catch (const Refusal& refusal) {
    SayWhy(err, command, refusal.reason);
    return refusal.exitCode;
  }
  const telematic::SubmissionFormat* format = FormatOf(request.layout, text);
  if (!format) {
    SayWhy(err, command, "--layout must be 2010 or 2022, not '" + Shown(request.layout) + "'");
    return 2;
  }
  std::vector<telematic::Problem> problems = telematic::CheckSubmission(text, *format);
  // A file of a period from 2022 may still be in the 2010 layout (written
  // with --layout 2010): unless the layout was given, it is checked in the
  // one it fits better.
  if (request.layout.empty() && format == &telematic::Format2022() && !problems.empty()) {
    std::vector<telematic::Problem> as2010 = telematic::CheckSubmission(text, telematic::Format2010());
    if (as2010.size() < problems.size()) {
      format = &telematic::Format2010();
      problems = std::move(as2010);
    }
  }
  std::vector<std::string> behind;
  if (!request.database.empty()) {
    try {
      behind = LinesBehind(request, text, problems);
    } catch (const Refusal& refusal) {
      SayWhy(err, command, refusal.reason);
      return refusal.exitCode;
    } catch (const Error& error) {
      SayWhy(err, command, error.description());
      return 1;
    }
  }
  const std::vector<std::string>* lines = request.database.empty() ? nullptr : &behind;
  if (request.csv) {
    WriteProblems(problems, true, out, lines);
  } else {
    if (!problems.empty()) WriteProblems(problems, false, out, lines);
    size_t records = 0;
    for (size_t at = 0; at < text.size(); ++records) {
      const size_t lf = text.find('\n', at);
      at = lf == std::string::npos ? text.size() : lf + 1;
    }
    out << request.file << ": " << (format == &telematic::Format2022() ? "2022" : "2010") << " layout, " << records
        << (records == 1 ? " record, " : " records, ") << problems.size()
        << (problems.size() == 1 ? " problem" : " problems") << "\n";
  }
  return problems.empty() ? 0 : 1;
}

void AddVerifyCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("verify", "Check a telematic submission file (2010 or 2022 layout) against the format");
  auto request = std::make_shared<VerifyRequest>();
  command->add_option("FILE", request->file, "the submission file")->required();
  command->add_flag("--csv", request->csv, "the problems as CSV");
  auto typed = std::make_shared<std::array<std::string, 3>>();  // company, year, period
  command->add_option("--layout", request->layout,
                      "2010 or 2022 (default: the layout of the file's period, 2022 from January 2022)");
  AddDatabaseOption(*command, request->database);
  AddCompanyOption(*command, (*typed)[0]);
  AddYearOption(*command, (*typed)[1]);
  AddPeriodOption(*command, (*typed)[2]);
  OnRun(*command, exitCode, [request, typed](std::ostream& out, std::ostream& err) {
    // The period names the declaration lines behind the problems: it goes
    // with the database, and only with it.
    const bool anyPeriod = !(*typed)[0].empty() || !(*typed)[1].empty() || !(*typed)[2].empty();
    if (request->database.empty() && anyPeriod) throw Refusal{"--company, --year and --period go with --db"};
    if (!request->database.empty()) ReadPeriodOptions(*request, (*typed)[0], (*typed)[1], (*typed)[2]);
    return RunVerify(*request, out, err);
  });
}

}  // namespace zelmora::cli
