// zelmora declaration --db PATH --company N --year Y --period P
//                     --list sales|purchases [--quarterly|--annual] [--linked] [--csv]
#include "cli/declaration_command.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/options.h"
#include "cli/period_input.h"
#include "cli/table_output.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "platform/company.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

// The columns a person reads to check a line, with short headings; the
// statistical ones exist in monthly declarations only.
struct Shown {
  std::string_view field;
  std::string_view heading;
  size_t maxWidth;
};
constexpr Shown kShown[] = {
    {"IN02_INDOPER", "Op", 2},           {"IN01_INDTIPODOC", "Doc", 3},     {"CG07_CODISOCF", "Ctry", 4},
    {"CG16_PARTIVA", "VAT number", 16},  {"CG16_RAGSOANAG", "Partner", 24}, {"IN02_INDNATURA", "Nat", 3},
    {"IN02_NOMENCLATURA", "Code", 8},    {"IN02_INDTIPODATI", "Data", 4},   {"IN02_MESERIF", "RefM", 4},
    {"IN02_ANNORIF", "RefY", 4},         {"IMPORTO", "Amount", 16},         {"IMPORTOVAL", "Currency", 16},
    {"VALSTAT", "Stat.value", 16},       {"IMPMASSA", "Mass", 14},          {"IMPUNSUPPL", "Suppl.units", 14},
    {"IN02_INDCONS", "Terms", 5},        {"IN02_INDTRASP", "Transp", 6},    {"IN02_PROVORIG", "POrig", 5},
    {"IN02_PROVDEST", "PDest", 5},       {"IN02_CODICE_IN03", "In03", 4},   {"IN02_CODICE_IN04", "In04", 4},
    {"RETTIFICA", "Corrected", 16},
};

// The shown columns the lines have; a column holding a number is aligned
// right. The total of the amounts follows the table.
void WriteTable(const Recordset& lines, std::ostream& out) {
  const std::vector<const Row*> rows = lines.VisibleRows();
  std::vector<TableColumn> columns;
  for (const Shown& shown : kShown) {
    const std::optional<size_t> index = lines.FieldIndex(shown.field);
    if (!index) continue;
    const bool numeric =
        std::any_of(rows.begin(), rows.end(), [&](const Row* row) { return (*row)[*index].IsNumber(); });
    const FieldInfo info = lines.Field(*index);
    columns.push_back({std::string(shown.heading),
                       [index = *index, info](const Row& row) { return FieldText(info, row[index]); }, numeric,
                       shown.maxWidth});
  }
  cli::WriteTable(lines, columns, out);
  Decimal total;
  if (auto amount = lines.FieldIndex("IMPORTO")) {
    for (const Row* row : rows) {
      if ((*row)[*amount].type() == VarType::Decimal) total += (*row)[*amount].AsDecimal();
    }
  }
  out << rows.size() << (rows.size() == 1 ? " line" : " lines") << ", amount " << total.ToFixed(2) << "\n";
}

// The host's active interface as the statement reads it: the current
// company's localisation, from the company's registry data.
ObjectPtr RegistryInterface(IntraContext& context, int company) {
  std::shared_ptr<CompanyFactory> factory = context.services->NewCompanyFactory();
  factory->SetConnection(context.Connessione);
  auto registry = std::dynamic_pointer_cast<CompanyRegistryData>(factory->GetObject(Variant::Long(company), 18));
  return ActiveInterface(registry ? registry->IndLocalizzazione : Variant::Null());
}

}  // namespace

int RunDeclaration(const DeclarationRequest& request, std::ostream& out, std::ostream& err) {
  const char* const command = "zelmora declaration";
  auto failures = std::make_shared<DatabaseFailures>();
  CLSIN_INTRABO object(WatchedServices(nullptr, failures));
  IntraContext& context = object.context();
  try {
    const std::string connection = DatabaseConnection(request.database);
    const auto company = static_cast<int32_t>(WholeValue(request.company, kCompany));
    const auto year = static_cast<int>(WholeValue(request.year, kYear));
    const auto period = static_cast<int>(WholeValue(request.period, kPeriod));
    if (request.periodicity < 1 || request.periodicity > 3) throw Refusal{"the periodicity must be 1, 2 or 3"};
    CheckPeriodFor(period, static_cast<Periodicity>(request.periodicity));
    auto in = PeriodInput(connection, company, year, period);
    in->TipoIntra = Variant::Integer(static_cast<int16_t>(request.periodicity));
    in->TipoStampa = Variant::Integer(request.purchases ? 1 : 0);
    in->CheckPiuAttivita = Variant::Integer(request.linked ? 1 : 0);
    object.SetCInput(in);
    OpenCompany(context, *failures, std::to_string(company));
  } catch (const Refusal& refusal) {
    SayWhy(err, command, refusal.reason);
    return refusal.exitCode;
  }

  try {
    failures->Clear();
    object.SetActiveInterface(RegistryInterface(context, request.company));
    declaration::BuildDeclarationStatement(context);
    if (context.Stato != 0) {
      SayWhy(err, command, FailureCause(context, *failures));
      return 1;
    }
    RecordsetPtr lines = context.connection().Execute(object.COutput()->StringaSQLperStampaIntra.Text(), kCmdText);
    if (request.csv) {
      WriteCsv(*lines, out);
    } else {
      WriteTable(*lines, out);
    }
  } catch (const Error& e) {
    failures->Note(e);
    SayWhy(err, command, FailureCause(context, *failures));
    return 1;
  }
  return 0;
}

void AddDeclarationCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("declaration", "Print the lines of one Intrastat list for one period");
  auto request = std::make_shared<DeclarationRequest>();
  struct Typed {
    std::string company, year, period, list;
    bool quarterly = false, annual = false;
  };
  auto typed = std::make_shared<Typed>();
  AddDatabaseOption(*command, request->database);
  AddCompanyOption(*command, typed->company);
  AddYearOption(*command, typed->year);
  AddPeriodOption(*command, typed->period);
  AddListsOption(*command, typed->list, false);
  auto* quarterly =
      command->add_flag("--quarterly", typed->quarterly, "a quarterly declaration (the period is the quarter's last month)");
  auto* annual = command->add_flag("--annual", typed->annual, "an annual declaration (the calendar year)");
  quarterly->excludes(annual);
  command->add_flag("--linked", request->linked, "the linked companies' movements under the company's code");
  command->add_flag("--csv", request->csv, "every column of the lines as CSV");
  OnRun(*command, exitCode, [request, typed](std::ostream& out, std::ostream& err) {
    if (request->database.empty()) throw Refusal{"--db is required"};
    ReadPeriodOptions(*request, typed->company, typed->year, typed->period);
    if (typed->list.empty()) throw Refusal{"--list is required"};
    request->purchases = ListsValue(typed->list, "--list", false) == Lists::Purchases;
    request->periodicity = typed->quarterly ? 2 : typed->annual ? 3 : 1;
    return RunDeclaration(*request, out, err);
  });
}

}  // namespace zelmora::cli
