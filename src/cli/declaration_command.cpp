// zelmora declaration --db PATH --company N --year Y --period P
//                     --list sales|purchases [--quarterly|--annual] [--linked] [--csv]
#include "cli/database_option.h"
#include "cli/declaration_command.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/active_interface.h"
#include "cli/commands.h"
#include "cli/period_input.h"
#include "cli/table_output.h"
#include "component/clsin_intrabo.h"
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
  std::error_code ec;
  if (!IsConnectionString(request.database) && !std::filesystem::is_regular_file(request.database, ec)) {
    err << "zelmora declaration: no database file at " << request.database << "\n";
    return 1;
  }
  CLSIN_INTRABO object;
  auto in = PeriodInput(request.database, request.company, request.year, request.period);
  in->TipoIntra = Variant::Integer(static_cast<int16_t>(request.periodicity));
  in->TipoStampa = Variant::Integer(request.purchases ? 1 : 0);
  in->CheckPiuAttivita = Variant::Integer(request.linked ? 1 : 0);
  object.SetCInput(in);
  IntraContext& context = object.context();

  try {
    if (!ApriOperazioneDatabase(context, true) || context.Stato != 0) {
      err << "zelmora declaration: cannot open " << request.database << ": " << context.Errore.Text() << "\n";
      return 1;
    }
    object.SetActiveInterface(RegistryInterface(context, request.company));
    declaration::BuildDeclarationStatement(context);
    if (context.Stato != 0) {
      err << "zelmora declaration: " << context.Errore.Text() << "\n";
      return 1;
    }
    RecordsetPtr lines = context.connection().Execute(object.COutput()->StringaSQLperStampaIntra.Text(), kCmdText);
    if (request.csv) {
      WriteCsv(*lines, out);
    } else {
      WriteTable(*lines, out);
    }
  } catch (const Error& e) {
    err << "zelmora declaration: " << e.description() << "\n";
    return 1;
  }
  return 0;
}

void AddDeclarationCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("declaration", "Print the lines of one Intrastat list for one period");
  auto request = std::make_shared<DeclarationRequest>();
  auto list = std::make_shared<std::string>();
  command->add_option("--db", request->database, "the host database (a SQLite file)")->required();
  command->add_option("--company", request->company, "the declaring company's code")->required();
  command->add_option("--year", request->year, "the year of the period")->required()->check(CLI::Range(100, 9999));
  command->add_option("--period", request->period, "the month that ends the period (1-12)")
      ->required()
      ->check(CLI::Range(1, 12));
  command->add_option("--list", *list, "sales (INTRA-1) or purchases (INTRA-2)")
      ->required()
      ->check(CLI::IsMember({"sales", "purchases"}));
  auto flags = std::make_shared<std::pair<bool, bool>>(false, false);
  auto* quarterly =
      command->add_flag("--quarterly", flags->first, "a quarterly declaration (the period is the quarter's last month)");
  auto* annual = command->add_flag("--annual", flags->second, "an annual declaration (the calendar year)");
  quarterly->excludes(annual);
  command->add_flag("--linked", request->linked, "the linked companies' movements under the company's code");
  command->add_flag("--csv", request->csv, "every column of the lines as CSV");
  command->callback([request, list, flags, &exitCode] {
    request->purchases = *list == "purchases";
    request->periodicity = flags->first ? 2 : flags->second ? 3 : 1;
    exitCode = RunDeclaration(*request, std::cout, std::cerr);
  });
}

}  // namespace zelmora::cli
