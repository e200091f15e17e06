// The telematic submission in the layout in force from January 2022: the
// same inputs, outputs and file name as the 2010 driver, the records of
// records_2022.h, and nothing written when a line cannot be.
#include <string>

#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"
#include "platform/text_util.h"
#include "telematic/line_movements.h"
#include "telematic/record_fields.h"
#include "telematic/submission_driver.h"
#include "telematic/submission_source.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

// The registrations of the movements behind each refused line of `rs`.
void FindRegistrations(IntraContext& context, const Recordset& rs, const std::vector<const Row*>& rows,
                       std::vector<RefusedLine>& refused, size_t from) {
  constexpr size_t kLookedUp = 100;  // enough for a person to start correcting
  const CLSIN_INPUTINTRA& input = context.in();
  for (size_t i = from; i < refused.size() && i < from + kLookedUp; ++i) {
    RefusedLine& line = refused[i];
    if (line.line == 0 || line.line > rows.size()) continue;
    const std::string sql = "SELECT DISTINCT IN01_NUMREG_CG41 FROM VIN01_INTRA WITH(NOLOCK) WHERE IN02_INDNATURA <> 10 \r\n" +
                            input.StrWherePeriodo + "\r\n" +
                            BoundLineMovementsCondition(rs, *rows[line.line - 1], false) +
                            " AND IN01_DITTA_CG18 = " + input.Ditta.Text() + "\r\nORDER BY 1";
    RecordsetPtr movements = context.connection().Execute(sql, kCmdText);
    for (const Row* row : movements->VisibleRows()) {
      line.registrations += (line.registrations.empty() ? "" : ", ") + (*row)[0].Text();
    }
  }
}

// zelmora's tables are read through this, so that a database without them
// says what to do.
template <typename Body>
auto FromExtension(Body&& body) {
  try {
    return body();
  } catch (const Error& error) {
    throw Error(error.number(),
                error.description() +
                    " (reading zelmora's tables ZL01_NATURAB and ZL02_CALLOFFSTOCK: zelmora db upgrade adds them to a "
                    "SQLite database, sql/zelmora_extension.sql to a SQL Server one)");
  }
}

// The declaration lines, each with the nature's column B of its movements
// (read by the same statement, so that a line's column B is that of exactly
// the movements it sums).
RecordsetPtr ColumnBLines(IntraContext& context, SubmissionList& summary) {
  struct Flag {
    bool& on;
    explicit Flag(bool& f) : on(f) { on = true; }
    ~Flag() { on = false; }
  } flag(context.DeclarationWithNatureColumnB);
  return FilteredDeclarationLines(context, false, &summary.selected);
}

}  // namespace

void PreparaTracciatoPerInvioTelematico2022(IntraContext& context, SubmissionReport* report) {
  Trap(context, HandlerKind::StatusAndText, "PreparaTracciatoPerInvioTelematico2022", [&] {
    CreaConnessione(context);
    CreaClasseDittaBase(context);
    CLSIN_INPUTINTRA& input = context.in();
    const Variant savedTipoStampa = input.TipoStampa;
    const Variant savedTipoIntra = input.TipoIntra;
    const Variant savedNumFloppy = input.NumFloppy;
    context.NumRecStpModIntra = Variant::Integer(0);
    int32_t conta = 0;
    bool written = false;
    std::string records;
    std::vector<RefusedLine> refused;
    SubmissionReport local;
    SubmissionReport& out = report ? *report : local;

    context.out().NomeFileInvioTelematico = Variant::String(SubmissionFileName(input));

    const bool both = IsNumber(savedTipoStampa, 2);
    auto restore = [&] {
      input.TipoStampa = savedTipoStampa;
      input.TipoIntra = savedTipoIntra;
    };
    bool columnBTableFound = false;
    try {
      for (int list = 0; list < (both ? 2 : 1); ++list) {
        SubmissionList summary = StartList(context, both, list);
        const bool monthly = IsNumber(input.TipoIntra, 1) && !input.CambioPeriodicita;
        const bool quarterly = IsNumber(input.TipoIntra, 2) || (IsNumber(input.TipoIntra, 1) && input.CambioPeriodicita);
        if (!monthly && !quarterly) {
          throw Error(5, "the 2022 layout has monthly and quarterly lists only, not periodicity '" +
                             input.TipoIntra.Text() + "'");
        }
        if (summary.tipoStampa == 1 && !monthly) {
          // From 2022 purchases are listed monthly only; a company under the
          // monthly threshold files none.
          summary.leftOut = "purchases are listed monthly only from 2022: a quarterly purchases list is not filed";
          out.lists.push_back(summary);
          continue;
        }
        if (!columnBTableFound) {
          // The record source would only report a missing column-B table
          // as its own failure: it is looked for once, before the first list.
          FromExtension([&] {
            context.connection().Execute("SELECT ZL01_NATURAB FROM ZL01_NATURAB WHERE 1 = 0", kCmdText);
          });
          columnBTableFound = true;
        }
        RecordsetPtr rs = ColumnBLines(context, summary);
        const std::vector<const Row*> rows = rs->VisibleRows();
        summary.written = static_cast<int32_t>(rows.size());
        context.NumRecStpModIntra = Add(context.NumRecStpModIntra, Variant::Long(summary.written));
        std::vector<CallOffMovement> callOff;
        if (summary.tipoStampa == 0) callOff = FromExtension([&] { return ReadCallOffStock(context); });
        summary.callOff = static_cast<int32_t>(callOff.size());
        if (!rows.empty() || !callOff.empty()) {
          if (written && both) input.NumFloppy = Add(SeNullo(input.NumFloppy, Variant::Integer(0)), Variant::Integer(1));
          written = true;
          const size_t before = refused.size();
          WriteDeclaration2022(context, *rs, rows, callOff, summary.tipoStampa == 1 ? 'A' : 'C', records,
                               conta, refused);
          summary.produced = refused.size() == before;
          FindRegistrations(context, *rs, rows, refused, before);
        }
        out.lists.push_back(summary);
      }
    } catch (...) {
      restore();
      throw;
    }
    restore();

    if (!refused.empty()) {
      // Nothing is written: the caller's text and submission number stay.
      input.NumFloppy = savedNumFloppy;
      const RefusedLine& first = refused.front();
      out.refused = refused;
      throw Error(5, std::to_string(refused.size()) +
                         (refused.size() == 1 ? " line cannot" : " lines cannot") +
                         " be written in the 2022 layout; the first, " + first.what + ": " + first.why);
    }
    if (!records.empty()) {
      // Appended to the caller's text, if any; else the records are the text.
      Variant& text = context.out().StringaTracciatoInvioTelematico;
      std::string all = text.IsEmptyOrNull() ? std::string() : text.Text();
      AppendOrTake(all, std::move(records));
      text = Variant::String(std::move(all));
    }
    PreparaStringaTracciatoRecordDiTesta(context, conta);
  });
}

}  // namespace zelmora::telematic
