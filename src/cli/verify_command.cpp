// zelmora verify FILE [--csv] [--db PATH --company N --year Y --period P]
#include "cli/database_option.h"
#include "cli/input_checks.h"
#include "cli/verify_command.h"

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
#include "cli/commands.h"
#include "cli/period_input.h"
#include "cli/table_output.h"
#include "component/clsin_intrabo.h"
#include "component/connection_context.h"
#include "platform/company.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "telematic/line_movements.h"
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
  if (request.company <= 0) throw Refusal{"--company must be a company code above 0"};
  if (request.year < 100 || request.year > 9999) throw Refusal{"--year must be a year from 100 to 9999"};
  if (request.period < 1 || request.period > 12) throw Refusal{"--period must be a month from 1 to 12"};
  std::error_code ec;
  if (!IsConnectionString(request.database) && !std::filesystem::is_regular_file(request.database, ec)) throw Refusal{"no database file at " + request.database};

  CLSIN_INTRABO object;
  auto in = PeriodInput(request.database, request.company, request.year, request.period);
  object.SetCInput(in);
  IntraContext& context = object.context();
  if (!ApriOperazioneDatabase(context, true) || context.Stato != 0) {
    throw Refusal{"cannot open " + request.database + ": " + context.Errore.Text()};
  }
  CreaClasseDittaBase(context);
  if (context.Stato != 0 || !context.ClsDitta) {
    throw Refusal{context.Errore.Text().empty() ? "company " + std::to_string(request.company) + " is not known"
                                                : context.Errore.Text()};
  }
  object.SetActiveInterface(ActiveInterfaceFor(context));

  std::vector<std::string> behind(problems.size());
  const std::vector<std::pair<char, char>> declarations = Declarations(text);
  for (size_t d = 1; d <= declarations.size(); ++d) {
    std::map<size_t, std::vector<size_t>> wanted;  // detail -> problems
    for (size_t p = 0; p < problems.size(); ++p) {
      if (problems[p].declaration == d && problems[p].detail > 0) wanted[problems[p].detail].push_back(p);
    }
    if (wanted.empty()) continue;
    in->TipoStampa = Variant::Integer(declarations[d - 1].first == 'A' ? 1 : 0);
    in->TipoIntra = Variant::Integer(declarations[d - 1].second == 'T' ? 2 : 1);
    RecordsetPtr lines = telematic::FilteredDeclarationLines(context, false);
    if (context.Stato != 0) throw Refusal{context.Errore.Text()};
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
  std::error_code ec;
  if (!std::filesystem::is_regular_file(request.file, ec)) {
    err << "zelmora verify: cannot read " << request.file << ": "
        << (std::filesystem::exists(request.file, ec) ? "not a regular file" : "no such file") << "\n";
    return 2;
  }
  std::ifstream in(request.file, std::ios::binary);
  std::string text;
  if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) {
    err << "zelmora verify: cannot read " << request.file << ": " << std::generic_category().message(errno) << "\n";
    return 2;
  }
  const std::vector<telematic::Problem> problems = telematic::CheckSubmission2010(text);
  std::vector<std::string> behind;
  if (!request.database.empty()) {
    try {
      behind = LinesBehind(request, text, problems);
    } catch (const Refusal& refusal) {
      err << "zelmora verify: " << refusal.reason << "\n";
      return 2;
    } catch (const Error& error) {
      err << "zelmora verify: " << error.description() << "\n";
      return 2;
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
    out << request.file << ": " << records << (records == 1 ? " record, " : " records, ") << problems.size()
        << (problems.size() == 1 ? " problem" : " problems") << "\n";
  }
  return problems.empty() ? 0 : 1;
}

void AddVerifyCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("verify", "Check a telematic submission file (2010 layout) against the format");
  auto request = std::make_shared<VerifyRequest>();
  command->add_option("FILE", request->file, "the submission file")->required();
  command->add_flag("--csv", request->csv, "the problems as CSV");
  command->add_option("--db", request->database, "the host database the file was written from");
  command->add_option("--company", request->company, "the declaring company's code (with --db)");
  command->add_option("--year", request->year, "the year of the period (with --db)");
  command->add_option("--period", request->period, "the month that ends the period (with --db)");
  command->callback([request, &exitCode] { exitCode = RunVerify(*request, std::cout, std::cerr); });
}

}  // namespace zelmora::cli
