// zelmora check --db PATH --company N --year Y --period P
//               --lists sales|purchases|both [--csv]
#include "cli/database_option.h"
#include "cli/check_command.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/movement_data_check.h"
#include "cli/period_input.h"
#include "cli/table_output.h"
#include "component/clsin_intrabo.h"
#include "component/connection_context.h"
#include "component/value_helpers.h"
#include "nomenclature/nomenclature_procedures.h"
#include "platform/company.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "telematic/record_fields.h"

namespace zelmora::cli {

namespace {


// The check's rows with the registration's document number and the code
// that replaced an old one, in declaration order.
std::string WithDocumentAndReplacement(const std::string& check, int company) {
  return "SELECT E.*, CG7S_CODICENUOVO, CG41_NUMDOC\r\nFROM (\r\n" + check +
         ") AS E\r\nLEFT JOIN CG7S_NOMENCLATUREVARIATE WITH(NOLOCK) ON CG7S_CODICEVECCHIO = E.IN02_NOMENCLATURA\r\n"
         "LEFT JOIN CG41_PRIMANOTA WITH(NOLOCK) ON CG41_DITTA_CG18 = " +
         std::to_string(company) + " AND CG41_NUMREG = E.IN01_NUMREG_CG41\r\nORDER BY E.FAKEID";
}

struct ErrorLine {
  std::string list;
  std::vector<std::string> values;  // as kColumns
};

struct Column {
  const char* field;
  const char* heading;
};
constexpr Column kColumns[] = {
    {"IN01_NUMREG_CG41", "Reg."}, {"CG41_NUMDOC", "Doc."},         {"IN01_DTCOMPINTRA", "Date"},
    {"IN02_INDOPER", "Op"},       {"IN02_NOMENCLATURA", "Code"},   {"NOMENCLATURA_ANNORIF", "Year"},
    {"CG7S_CODICENUOVO", "Replaced by"},
};

// The stored values of the period's movements that the declaration cannot
// use, each list in the window of its own periodicity.
std::vector<DataFault> CheckPeriodData(const CheckRequest& request, const CompanyManagementData& management,
                                       const std::vector<int>& lists) {
  const std::string file = SqliteFileOf(request.database);
  if (file.empty()) return {};
  auto periodicity = [](const Variant& value) { return telematic::SmallWhole(value).value_or(1); };
  ListWindow windows[2];
  for (int list : lists) {
    windows[list] = WindowOf(periodicity(list == 0 ? management.IndIntraVen : management.IndIntraAcq), request.year,
                             request.period);
  }
  return CheckMovementData(file, request.company, windows[0], windows[1]);
}

}  // namespace

int RunCheck(const CheckRequest& request, std::ostream& out, std::ostream& err) {
  auto fail = [&](const std::string& why) {
    err << "zelmora check: " << why << "\n";
    return 2;
  };
  if (request.database.empty()) return fail("--db is required");
  if (request.company <= 0) return fail("--company must be a company code above 0");
  if (request.year < 100 || request.year > 9999) return fail("--year must be a year from 100 to 9999");
  if (request.period < 1 || request.period > 12) return fail("--period must be a month from 1 to 12");
  std::vector<int> lists;
  if (request.lists == "sales" || request.lists == "both") lists.push_back(0);
  if (request.lists == "purchases" || request.lists == "both") lists.push_back(1);
  if (lists.empty()) return fail("--lists must be sales, purchases or both");
  std::error_code ec;
  if (!IsConnectionString(request.database) && !std::filesystem::is_regular_file(request.database, ec)) return fail("no database file at " + request.database);

  CLSIN_INTRABO object;
  auto in = PeriodInput(request.database, request.company, request.year, request.period);
  object.SetCInput(in);
  IntraContext& context = object.context();

  std::vector<ErrorLine> errors;
  std::vector<DataFault> faults;
  try {
    if (!ApriOperazioneDatabase(context, true) || context.Stato != 0) {
      return fail("cannot open " + request.database + ": " + context.Errore.Text());
    }
    CreaClasseDittaBase(context);
    if (context.Stato != 0 || !context.ClsDitta || !context.ClsDitta->ClsDatiGest) {
      return fail(context.Errore.Text().empty() ? "company " + std::to_string(request.company) + " is not known"
                                                : context.Errore.Text());
    }
    object.SetActiveInterface(ActiveInterfaceFor(context));
    // Read first: a value the check of the codes cannot read fails that
    // check, and the values are then what explains the failure.
    faults = CheckPeriodData(request, *context.ClsDitta->ClsDatiGest, lists);
  } catch (const Error& e) {
    return fail(e.description());
  }
  // The check of the codes failing after stored values were found: the
  // values, then the failure; exit 1.
  auto failAfterFaults = [&](const std::string& why) {
    if (faults.empty()) return fail(why);
    WriteDataFaults(faults, request.csv, out);
    err << "zelmora check: " << why << "\n";
    return 1;
  };
  try {
    for (int list : lists) {
      const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
      in->TipoStampa = Variant::Integer(static_cast<int16_t>(list));
      in->TipoIntra = SeNullo(list == 0 ? management.IndIntraVen : management.IndIntraAcq, Variant::Integer(0));
      nomenclature::DefinisciStringaPerErroriNomenclatureSuModulo(context);
      if (context.Stato != 0) return failAfterFaults(context.Errore.Text());
      RecordsetPtr rows = context.connection().Execute(
          WithDocumentAndReplacement(object.COutput()->StringaSQLErroriNomenclatura.Text(), request.company),
          kCmdText);
      for (const Row* row : rows->VisibleRows()) {
        ErrorLine line{list == 0 ? "sales" : "purchases", {}};
        for (const Column& column : kColumns) {
          const size_t index = *rows->FieldIndex(column.field);
          line.values.push_back(FieldText(rows->Field(index), (*row)[index]));
        }
        errors.push_back(std::move(line));
      }
    }
  } catch (const Error& e) {
    return failAfterFaults(e.description());
  }

  // The lines as an in-memory table, written by the shared writers.
  Recordset table;
  table.AppendField("LIST", DataType::VarChar, 10);
  for (const Column& column : kColumns) table.AppendField(column.field, DataType::VarChar, 40);
  table.Open();
  for (const ErrorLine& line : errors) {
    table.AddNew();
    table.SetValue(0, Variant::String(line.list));
    for (size_t i = 0; i < line.values.size(); ++i) table.SetValue(i + 1, Variant::String(line.values[i]));
  }
  if (request.csv) {
    WriteCsv(table, out);
  } else {
    std::vector<TableColumn> columns{{"List", [](const Row& row) { return row[0].Text(); }}};
    for (size_t i = 0; i < std::size(kColumns); ++i) {
      const bool number = i == 0 || i == 1 || i == 3 || i == 5;
      columns.push_back({kColumns[i].heading, [i](const Row& row) { return row[i + 1].Text(); }, number});
    }
    if (!errors.empty()) WriteTable(table, columns, out);
    out << errors.size() << (errors.size() == 1 ? " line" : " lines")
        << " with a code not valid for its reference year\n";
  }
  // The stored values to fix follow: in CSV as a second table after an empty line.
  if (!request.csv || !faults.empty()) {
    if (request.csv) out << "\r\n";
    WriteDataFaults(faults, request.csv, out);
  }
  return errors.empty() && faults.empty() ? 0 : 1;
}

void AddCheckCommand(CLI::App& app, int& exitCode) {
  auto* command =
      app.add_subcommand("check", "List the declaration lines whose goods or services code is not valid for its year");
  auto request = std::make_shared<CheckRequest>();
  command->add_option("--db", request->database, "the host database (a SQLite file)");
  command->add_option("--company", request->company, "the declaring company's code");
  command->add_option("--year", request->year, "the year of the period");
  command->add_option("--period", request->period, "the month that ends the period (1-12)");
  command->add_option("--lists", request->lists, "sales, purchases or both");
  command->add_flag("--csv", request->csv, "the lines as CSV");
  command->callback([request, &exitCode] { exitCode = RunCheck(*request, std::cout, std::cerr); });
}

}  // namespace zelmora::cli
