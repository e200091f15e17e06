// zelmora check --db PATH --company N --year Y --period P
//               --lists sales|purchases|both [--csv]
#include "cli/check_command.h"

#include <array>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/options.h"
#include "cli/movement_data_check.h"
#include "cli/period_input.h"
#include "cli/table_output.h"
#include "facade/clsin_intrabo.h"
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
  const char* const command = "zelmora check";
  auto fail = [&](const std::string& why, int code = 1) {
    SayWhy(err, command, why);
    return code;
  };
  auto failures = std::make_shared<DatabaseFailures>();
  CLSIN_INTRABO object(WatchedServices(nullptr, failures));
  IntraContext& context = object.context();
  std::shared_ptr<CLSIN_INPUTINTRA> in;
  std::vector<int> lists;
  try {
    const std::string connection = DatabaseConnection(request.database);
    const auto company = static_cast<int32_t>(WholeValue(request.company, kCompany));
    const auto year = static_cast<int>(WholeValue(request.year, kYear));
    const auto period = static_cast<int>(WholeValue(request.period, kPeriod));
    const Lists chosen = ListsValue(request.lists, "--lists", true);
    if (chosen != Lists::Purchases) lists.push_back(0);
    if (chosen != Lists::Sales) lists.push_back(1);
    in = PeriodInput(connection, company, year, period);
    object.SetCInput(in);
    OpenCompany(context, *failures, std::to_string(company));
    // Each list is checked with the company's own periodicity.
    const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
    for (int list : lists) {
      const Variant& indicator = list == 0 ? management.IndIntraVen : management.IndIntraAcq;
      if (!indicator.IsEmptyOrNull() && indicator.IsNumeric() && indicator.ToDouble() == 2) {
        CheckPeriodFor(period, Periodicity::Quarterly,
                       "company " + std::to_string(company) + " files its " + (list == 0 ? "sales" : "purchases") +
                           " list quarterly");
      }
    }
  } catch (const Refusal& refusal) {
    return fail(refusal.reason, refusal.exitCode);
  }

  std::vector<ErrorLine> errors;
  std::vector<DataFault> faults;
  try {
    failures->Clear();
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
    SayWhy(err, command, why);
    return 1;
  };
  try {
    for (int list : lists) {
      const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
      in->TipoStampa = Variant::Integer(static_cast<int16_t>(list));
      in->TipoIntra = SeNullo(list == 0 ? management.IndIntraVen : management.IndIntraAcq, Variant::Integer(0));
      nomenclature::DefinisciStringaPerErroriNomenclatureSuModulo(context);
      if (context.Stato != 0) return failAfterFaults(FailureCause(context, *failures));
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
  auto typed = std::make_shared<std::array<std::string, 3>>();  // company, year, period
  AddDatabaseOption(*command, request->database);
  AddCompanyOption(*command, (*typed)[0]);
  AddYearOption(*command, (*typed)[1]);
  AddPeriodOption(*command, (*typed)[2]);
  AddListsOption(*command, request->lists, true);
  command->add_flag("--csv", request->csv, "the lines as CSV");
  OnRun(*command, exitCode, [request, typed](std::ostream& out, std::ostream& err) {
    ReadPeriodOptions(*request, (*typed)[0], (*typed)[1], (*typed)[2]);
    return RunCheck(*request, out, err);
  });
}

}  // namespace zelmora::cli
