#include "component/connection_context.h"
#include "component/trap.h"
#include "nomenclature/nomenclature_procedures.h"

namespace zelmora::nomenclature {

RecordsetPtr GeneraRstErroriNomenclatura(IntraContext& context) noexcept {
  RecordsetPtr errors;
  Trap(context, HandlerKind::StatusAndText, "GeneraRstErroriNomenclatura", [&] {
    if (!ApriOperazioneDatabase(context, true)) return;
    DefinisciStringaPerErroriNomenclatureSuModulo(context);
    errors = context.connection().Execute(context.out().StringaSQLErroriNomenclatura.ToString(), kCmdText);
  });
  return errors;
}

}  // namespace zelmora::nomenclature
