#include "cli/movements_command.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/failure_cause.h"
#include "cli/input_checks.h"
#include "cli/options.h"
#include "cli/table_output.h"
#include "component/clsin_inputintra.h"
#include "facade/clsin_intrabo.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

void CheckChoice(const std::string& value, const char* option, std::initializer_list<const char*> allowed) {
  if (value.empty()) return;
  for (const char* choice : allowed) {
    if (value == choice) return;
  }
  std::string list;
  for (const char* choice : allowed) list += (list.empty() ? "" : ", ") + std::string(choice);
  throw Refusal{std::string(option) + " must be one of " + list + ", not '" + Shown(value) + "'"};
}

const char* const kCommand = "zelmora movements";

// Every value the statement is written with, held to its column: the
// company, the party kind and the protocol are numbers written as they
// stand; the document number, the section and the code bounds are written
// between quotes; the condition and the ordering are added as SQL text.
void CheckOptions(const MovementsOptions& o) {
  DatabaseConnection(o.database);
  WholeValue(o.company, kCompany);
  CheckChoice(o.kind, "--kind", {"1", "2", "3", "4"});
  CheckChoice(o.operation, "--operation", {"0", "1", "9"});
  if (!o.account.empty() && o.partyKind.empty()) throw Refusal{"--account needs --party-kind"};
  if (!o.partyKind.empty()) Whole(o.partyKind, "--party-kind", 0, 255);
  // Only the last six characters reach the statement, as a number.
  if (!o.account.empty() && (HasControlCharacter(o.account) || !IsDigits(Utf8Right(o.account, 6)))) {
    throw Refusal{"--account must end in the six digits of the customer or supplier number"};
  }
  if (!o.protocol.empty()) Whole(o.protocol, "--protocol", 0, INT32_MAX);
  CheckCode(o.documentNumber, "--doc-number", 20);
  CheckCode(o.section, "--section", 3);
  CheckCode(o.goodsFrom, "--goods-from", 8, true);
  CheckCode(o.goodsTo, "--goods-to", 8, true);
  CheckCode(o.servicesFrom, "--services-from", 8, true);
  CheckCode(o.servicesTo, "--services-to", 8, true);
  CheckDate(o.documentFrom, "--doc-from");
  CheckDate(o.documentTo, "--doc-to");
  CheckDate(o.registrationFrom, "--reg-from");
  CheckDate(o.registrationTo, "--reg-to");
  if (!o.documents && (!o.section.empty() || !o.protocol.empty())) {
    throw Refusal{"--section and --protocol filter the document list: add --documents"};
  }
  if (o.documents && o.byDocument) throw Refusal{"--by-document orders the line list; the document list is always by document"};
  const MovementList list = o.documents ? MovementList::Documents : MovementList::Lines;
  CheckMovementFilter(o.filter, "--filter", list);
  CheckMovementOrder(o.orderBy, "--order-by", list);
}

Variant TextOrEmpty(const std::string& text) { return text.empty() ? Variant() : Variant::String(text); }

std::shared_ptr<CLSIN_INPUTINTRA> MakeInput(const MovementsOptions& o) {
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->StringaDiConnessione = Variant::String(DatabaseConnection(o.database));
  input->Ditta = Variant::Long(static_cast<int32_t>(WholeValue(o.company, kCompany)));
  input->TipoMovimento = TextOrEmpty(o.kind);
  input->Conto = TextOrEmpty(o.account);
  input->TipoCF = TextOrEmpty(o.partyKind);
  input->NumeroDocumento = TextOrEmpty(o.documentNumber);
  input->DataDocumentoIniziale = TextOrEmpty(o.documentFrom);
  input->DataDocumentoFinale = TextOrEmpty(o.documentTo);
  input->DataRegistrazioneIniziale = TextOrEmpty(o.registrationFrom);
  input->DataRegistrazioneFinale = TextOrEmpty(o.registrationTo);
  input->OperazioneRif = TextOrEmpty(o.operation);
  input->NomenclaturaIniziale = TextOrEmpty(o.goodsFrom);
  input->NomenclaturaFinale = TextOrEmpty(o.goodsTo);
  input->ServizioIniziale = TextOrEmpty(o.servicesFrom);
  input->ServizioFinale = TextOrEmpty(o.servicesTo);
  input->CodiceSezionale = TextOrEmpty(o.section);
  input->Protocollo = TextOrEmpty(o.protocol);
  input->ENHFiltro = TextOrEmpty(o.filter);
  input->ENHOrdinamentoMovIntra = TextOrEmpty(o.orderBy);
  input->Pbol_Dettaglio = o.withLines;
  if (o.byDocument) input->StampaTotaliDocumento = Variant::Integer(1);
  return input;
}

std::string KindLabel(const std::string& kind) {
  static const std::map<std::string, std::string> labels = {
      {"1", "sale"}, {"2", "sale corr."}, {"3", "purchase"}, {"4", "purch. corr."}};
  auto found = labels.find(kind);
  return found == labels.end() ? kind : found->second;
}

std::string OperationLabel(const std::string& operation) {
  if (operation == "0") return "goods";
  if (operation == "1") return "services";
  return operation;
}

class TableBuilder {
 public:
  explicit TableBuilder(const Recordset& rows) : rows_(rows) {}

  // The n-th field of that name (two fields of the list may share one).
  size_t Index(std::string_view name, int occurrence = 1) const {
    for (size_t i = 0; i < rows_.FieldCount(); ++i) {
      if (EqualsIgnoreCase(rows_.Field(i).name, name) && --occurrence == 0) return i;
    }
    throw Error::ItemNotFound();
  }

  TableColumn Plain(std::string heading, std::string_view field, bool right = false, size_t maxWidth = 0,
               int occurrence = 1) const {
    const size_t index = Index(field, occurrence);
    const FieldInfo info = rows_.Field(index);
    return {std::move(heading), [index, info](const Row& row) { return FieldText(info, row[index]); }, right,
            maxWidth};
  }

  TableColumn Mapped(std::string heading, std::string_view field, std::string (*map)(const std::string&)) const {
    const size_t index = Index(field);
    const FieldInfo info = rows_.Field(index);
    return {std::move(heading), [index, info, map](const Row& row) { return map(FieldText(info, row[index])); }};
  }

 private:
  const Recordset& rows_;
};

std::vector<TableColumn> LineColumns(const Recordset& rows) {
  TableBuilder t(rows);
  const size_t flag = t.Index("IN02_FLGSEGNO");
  const size_t month = t.Index("IN02_MESERIF");
  const size_t year = t.Index("IN02_ANNORIF");
  return {
      t.Mapped("Kind", "IN01_INDTIPODOC", KindLabel),
      t.Plain("Reg.", "IN01_NUMREG_CG41", true),
      t.Plain("Doc. no.", "CG41_NUMDOCORIG"),
      t.Plain("Doc. date", "CG41_DATADOC"),
      t.Plain("Reg. date", "CG41_DATAREG"),
      t.Plain("Party", "CG44_CLIFOR", true),
      t.Plain("Name", "CG16_RAGSOANAG", false, 28),
      t.Plain("Line", "IN02_NUMRIGA", true),
      t.Mapped("Kind of line", "IN02_INDOPER", OperationLabel),
      t.Plain("Code", "IN02_NOMENCLATURA"),
      {"Sign", [flag](const Row& row) { return !row[flag].IsNull() && row[flag].ToDouble() == 1 ? "-" : ""; }},
      t.Plain("Amount EUR", "IN02_IMPORTO", true),
      t.Plain("Cur.", "IN01_CODICE_CG08"),
      t.Plain("Amount cur.", "IN02_IMPORTOVAL", true),
      t.Plain("Nat.", "IN02_INDNATURA", true),
      {"Period",
       [month, year](const Row& row) {
         if (row[month].IsNull() && row[year].IsNull()) return std::string();
         return row[month].Text() + "/" + row[year].Text();
       }},
      t.Plain("Provenance", "CG07_DESCR", false, 16, 1),
      t.Plain("Destination", "CG07_DESCR", false, 16, 3),
      t.Plain("Mass kg", "IN02_MASSA", true),
  };
}

std::vector<TableColumn> DocumentColumns(const Recordset& rows) {
  TableBuilder t(rows);
  const size_t lines = t.Index("DETTAGLIO");
  return {
      t.Mapped("Kind", "IN01_INDTIPODOC", KindLabel),
      t.Plain("Reg.", "IN01_NUMREG_CG41", true),
      t.Plain("Doc. no.", "CG41_NUMDOCORIG"),
      t.Plain("Doc. date", "CG41_DATADOC"),
      t.Plain("Sect.", "CG41_SEZIONALE"),
      t.Plain("Prot.", "CG41_NUMDOC", true),
      t.Plain("Reg. date", "CG41_DATAREG"),
      t.Plain("Competence", "DTCOMPINTRA"),
      t.Plain("Party", "CG44_CLIFOR", true),
      t.Plain("Name", "CG16_RAGSOANAG", false, 28),
      t.Plain("Reason", "CG41_DESCAUSALE", false, 24),
      t.Plain("Cur.", "IN01_CODICE_CG08"),
      {"Lines", [lines](const Row& row) { return row[lines].IsNull() ? "none" : "yes"; }},
  };
}

// Signed totals of the line list per document kind: a line with the sign
// flag set counts negative, as the declaration counts it.
void WriteLineTotals(const Recordset& rows, std::ostream& out) {
  TableBuilder t(rows);
  const size_t kind = t.Index("IN01_INDTIPODOC");
  const size_t amount = t.Index("IN02_IMPORTO");
  const size_t flag = t.Index("IN02_FLGSEGNO");
  const size_t registration = t.Index("IN01_NUMREG_CG41");
  std::map<std::string, Decimal> totals;
  std::set<std::string> documents;
  size_t count = 0;
  for (const Row* row : rows.VisibleRows()) {
    ++count;
    documents.insert((*row)[registration].Text());
    if ((*row)[amount].IsNull()) continue;
    Decimal value = (*row)[amount].ToDecimal();
    if (!(*row)[flag].IsNull() && (*row)[flag].ToDouble() == 1) value = -value;
    totals[(*row)[kind].Text()] += value;
  }
  out << "\n" << count << (count == 1 ? " row" : " rows") << " from " << documents.size()
      << (documents.size() == 1 ? " document" : " documents") << "\n";
  static const std::map<std::string, std::string> headings = {
      {"1", "sales"}, {"2", "sales corrections"}, {"3", "purchases"}, {"4", "purchase corrections"}};
  for (const auto& [code, total] : totals) {
    auto heading = headings.find(code);
    out << "Total " << FitText(heading == headings.end() ? "kind " + code : heading->second, 20, false)
        << FitText(total.ToFixed(2), 16, true) << " EUR\n";
  }
}

}  // namespace

int RunMovements(const MovementsOptions& options, std::ostream& out, std::ostream& err) {
  auto failures = std::make_shared<DatabaseFailures>();
  CLSIN_INTRABO object(WatchedServices(nullptr, failures));
  try {
    CheckOptions(options);
    object.SetCInput(MakeInput(options));
    OpenCompany(object.context(), *failures, options.company);
  } catch (const Refusal& refusal) {
    SayWhy(err, kCommand, refusal.reason);
    return refusal.exitCode;
  }

  failures->Clear();
  if (options.documents) {
    object.GeneraRecordsetIntraPerInterrogazione();
  } else {
    object.GeneraRecordsetIntra();
  }
  RecordsetPtr rows = options.documents ? object.COutput()->RecordsetIntraInterrogazione
                                        : object.COutput()->RecordsetIntra;
  if (object.context().Stato != 0 || !rows) {
    // The lists report their own failures by status only: the cause is
    // the database's, and the SQL given with --filter or --order-by the
    // likely one when there is any.
    std::string reason = "the movements could not be read: " + FailureCause(object.context(), *failures);
    if (!options.filter.empty() || !options.orderBy.empty()) reason += " (check --filter and --order-by)";
    SayWhy(err, kCommand, reason);
    return 1;
  }
  try {
    // The line list shows goods and services alike; the kind of line asked
    // for is picked from the rows it returned.
    if (!options.documents && (options.operation == "0" || options.operation == "1")) {
      rows->SetFilter("IN02_INDOPER = " + options.operation);
    }
    if (options.csv) {
      WriteCsv(*rows, out);
    } else if (options.documents) {
      WriteTable(*rows, DocumentColumns(*rows), out);
      const size_t count = rows->VisibleRows().size();
      out << "\n" << count << (count == 1 ? " document" : " documents") << "\n";
    } else {
      WriteTable(*rows, LineColumns(*rows), out);
      WriteLineTotals(*rows, out);
    }
  } catch (const Error& error) {
    SayWhy(err, kCommand, error.description());
    return 1;
  }
  return 0;
}

void AddMovementsCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<MovementsOptions>();
  auto* command = app.add_subcommand(
      "movements", "List a company's Intrastat movements (one row per line, or per document with --documents)");
  AddDatabaseOption(*command, options->database);
  AddCompanyOption(*command, options->company);
  command->add_flag("--documents", options->documents, "one row per document instead of one per line");
  command->add_flag("--csv", options->csv, "every field as CSV instead of the table");
  command->add_option("--kind", options->kind, "1 sales, 2 sales corrections, 3 purchases, 4 purchase corrections");
  command->add_option("--account", options->account, "customer or supplier account (its last six digits count)");
  command->add_option("--party-kind", options->partyKind, "customer/supplier kind of --account");
  command->add_option("--doc-number", options->documentNumber, "document number");
  command->add_option("--doc-from", options->documentFrom, "first document date");
  command->add_option("--doc-to", options->documentTo, "last document date");
  command->add_option("--reg-from", options->registrationFrom, "first registration date");
  command->add_option("--reg-to", options->registrationTo, "last registration date");
  command->add_option("--operation", options->operation, "0 goods, 1 services, 9 both");
  command->add_option("--goods-from", options->goodsFrom, "first goods nomenclature code");
  command->add_option("--goods-to", options->goodsTo, "last goods nomenclature code");
  command->add_option("--services-from", options->servicesFrom, "first service code");
  command->add_option("--services-to", options->servicesTo, "last service code");
  command->add_option("--section", options->section, "journal section (with --documents)");
  command->add_option("--protocol", options->protocol, "protocol number (with --documents)");
  command->add_option("--filter", options->filter, "AND and a condition on the list's columns (comparisons with a number or a 'text', AND, OR within parentheses); replaces the other filters but --kind and --operation");
  command->add_option("--order-by", options->orderBy, "columns of the list, each with ASC or DESC at most, separated by commas");
  command->add_flag("--with-lines", options->withLines, "only documents that have Intrastat lines");
  command->add_flag("--by-document", options->byDocument, "order the lines by kind, dates and document number");
  OnRun(*command, exitCode, [options](std::ostream& out, std::ostream& err) { return RunMovements(*options, out, err); });
}

}  // namespace zelmora::cli
