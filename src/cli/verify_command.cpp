// zelmora verify FILE [--csv]
#include "cli/verify_command.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/table_output.h"
#include "platform/recordset.h"

namespace zelmora::cli {

void WriteProblems(const std::vector<telematic::Problem>& problems, bool csv, std::ostream& out) {
  Recordset table;
  table.AppendField("RECORD", DataType::VarChar, 10);
  table.AppendField("RECORD_TYPE", DataType::VarChar, 40);
  table.AppendField("FIELD", DataType::VarChar, 60);
  table.AppendField("HOLDS", DataType::VarChar, 200);
  table.AppendField("WANTS", DataType::VarChar, 200);
  table.Open();
  for (const telematic::Problem& problem : problems) {
    table.AddNew();
    table.SetValue(0, Variant::String(std::to_string(problem.record)));
    table.SetValue(1, Variant::String(problem.record_type));
    table.SetValue(2, Variant::String(problem.field));
    table.SetValue(3, Variant::String(problem.holds));
    table.SetValue(4, Variant::String(problem.wants));
  }
  if (csv) {
    WriteCsv(table, out);
    return;
  }
  const char* headings[] = {"Record", "Type", "Field", "Holds", "Wants"};
  std::vector<TableColumn> columns;
  for (size_t i = 0; i < 5; ++i) {
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
  if (request.csv) {
    WriteProblems(problems, true, out);
  } else {
    if (!problems.empty()) WriteProblems(problems, false, out);
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
  command->callback([request, &exitCode] { exitCode = RunVerify(*request, std::cout, std::cerr); });
}

}  // namespace zelmora::cli
