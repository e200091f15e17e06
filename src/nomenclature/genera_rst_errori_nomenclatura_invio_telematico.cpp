#include <string>

#include "component/connection_context.h"
#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "declaration/declaration_statement.h"
#include "nomenclature/form_data_statements.h"
#include "nomenclature/nomenclature_procedures.h"

namespace zelmora::nomenclature {

RecordsetPtr GeneraRstErroriNomenclaturaInvioTelematico(IntraContext& context) noexcept {
  RecordsetPtr errors;
  Trap(context, HandlerKind::SilentStatus, "GeneraRstErroriNomenclaturaInvioTelematico", [&] {
    CLSIN_INPUTINTRA& input = context.in();
    // The first list's keys start from 1; a second list's from the number
    // the host gave.
    const int16_t savedMaxProgr = input.MaxProgrDatiInvio;
    input.MaxProgrDatiInvio = 0;
    if (!ApriOperazioneDatabase(context, true)) return;
    CreaClasseDittaBase(context);
    const Variant entryTipoStampa = input.TipoStampa;
    const int passes = declaration::EqualsNumber(entryTipoStampa, 2) ? 2 : 1;
    std::string checks;
    for (int pass = 0; pass < passes; ++pass) {
      declaration::SelectListForPass(context, entryTipoStampa, pass);
      if (pass > 0) input.MaxProgrDatiInvio = savedMaxProgr;
      DefinisciStringaPerErroriNomenclatureSuModulo(context);
      checks = UnionOfChecks(checks, context.out().StringaSQLErroriNomenclatura.Text());
    }
    context.out().StringaSQLErroriNomenclatura = Variant::String(checks);
    errors = context.connection().Execute(checks, kCmdText);
    input.TipoStampa = entryTipoStampa;
  });
  return errors;
}

}  // namespace zelmora::nomenclature
