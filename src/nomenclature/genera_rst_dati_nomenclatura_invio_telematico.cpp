#include <string>

#include "component/connection_context.h"
#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "declaration/declaration_statement.h"
#include "nomenclature/form_data_statements.h"
#include "nomenclature/nomenclature_procedures.h"

namespace zelmora::nomenclature {

RecordsetPtr GeneraRstDatiNomenclaturaInvioTelematico(IntraContext& context) noexcept {
  RecordsetPtr result;
  Trap(context, HandlerKind::StatusAndText, "GeneraRstDatiNomenclaturaInvioTelematico", [&] {
    if (!ApriOperazioneDatabase(context, true)) return;
    CreaClasseDittaBase(context);
    CLSIN_INPUTINTRA& input = context.in();
    const Variant entryTipoStampa = input.TipoStampa;
    const bool both = declaration::EqualsNumber(entryTipoStampa, 2);
    Connection& connection = context.connection();
    std::string final;
    for (int pass = 0; pass < (both ? 2 : 1); ++pass) {
      declaration::SelectListForPass(context, entryTipoStampa, pass);
      // Stages the list's tables; its own recordset is not needed.
      GeneraRstDatiModuloStampe(context);
      if (!both) {
        final = FormResultQuery("", false);
      } else if (pass == 0) {
        connection.Execute(GatherFirstListBatch(), kCmdText);
        // The second list's keys go on after the first's.
        RecordsetPtr last = connection.Execute(LastFormKeyQuery(), kCmdText);
        input.MaxProgrDatiInvio = last->Value("MAXPROGR").ToInteger();
      } else {
        connection.Execute(GatherSecondListBatch(), kCmdText);
        final = FormResultQuery("2", true);
      }
    }
    result = connection.Execute(final, kCmdText);
    input.TipoStampa = entryTipoStampa;
  });
  return result;
}

}  // namespace zelmora::nomenclature
