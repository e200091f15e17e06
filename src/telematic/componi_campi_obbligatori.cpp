#include <string>
#include <string_view>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "declaration/declaration_procedures.h"
#include "platform/text_util.h"
#include "telematic/line_movements.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

// The value differs from the carried-over one; a Null on either side is no
// difference, as the runtime's "<>" is not true then.
bool Differs(const Variant& value, const Variant& carried) {
  std::optional<int> order = Compare(value, carried);
  return order && *order != 0;
}

}  // namespace

bool ComponiCampiObbligatori(IntraContext& context, Recordset& rs) {
  bool ok = true;
  Trap(context, HandlerKind::StatusAndText, "ComponiCampiObbligatori", [&] {
    const std::string condition = LineMovementsCondition(rs);

    CLSIN_INPUTINTRA& input = context.in();
    std::string sql = "SELECT DISTINCT IN02_CODICE_IN03 , IN02_CODICE_IN04, \r\n";
    sql += " IN02_NUMDOCORIG, IN02_DATADOCORIG, IN02_SEZORIG  \r\n";
    sql += " FROM VIN01_INTRA WHERE IN02_INDNATURA <> 10 \r\n";
    sql += input.StrWherePeriodo + "\r\n";
    sql += condition;
    if (IsNumber(SeNullo(input.CheckPiuAttivita, Variant::Integer(0)), 0)) {
      sql += " AND  IN01_DITTA_CG18 = " + input.Ditta.Text();
    } else {
      sql += " AND  IN01_DITTA_CG18 IN(" + declaration::GetDitteCollegate(context).Text() + ")";
    }

    RecordsetPtr movements = context.connection().Execute(sql, kCmdText);
    if (!movements) throw Error::ObjectNotSet();
    if (movements->BOF() || movements->EOF()) ok = false;
    const LineColumns columns(*movements, {"IN02_CODICE_IN03", "IN02_CODICE_IN04", "IN02_NUMDOCORIG",
                                           "IN02_DATADOCORIG", "IN02_SEZORIG"});
    for (const Row* row : movements->VisibleRows()) {
      const Variant& codeIn03 = columns.Get(*row, 0);
      const Variant& codeIn04 = columns.Get(*row, 1);
      const Variant& number = columns.Get(*row, 2);
      const Variant& date = columns.Get(*row, 3);
      const Variant& section = columns.Get(*row, 4);
      if (Differs(codeIn03, Variant::String(input.RaggIn02CodiceIn03))) input.RaggIn02CodiceIn03.clear();
      if (Differs(codeIn04, Variant::String(input.RaggIn02CodiceIn04))) input.RaggIn02CodiceIn04.clear();
      if (Differs(number, Variant::String(input.RaggIn02NumDocOrig))) input.RaggIn02NumDocOrig.clear();
      if (Differs(date, input.RaggIn02DataDocOrig)) input.RaggIn02DataDocOrig = Variant::String("NULL");
      if (Differs(section, Variant::String(input.RaggIn02SezOrig))) input.RaggIn02SezOrig.clear();
    }
  });
  return ok;
}

}  // namespace zelmora::telematic
