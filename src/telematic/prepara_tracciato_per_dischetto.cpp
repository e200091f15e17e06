#include "component/connection_context.h"
#include "component/trap.h"
#include "telematic/submission_source.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

void PreparaTracciatoPerDischetto(IntraContext& context, const Variant&) {
  Trap(context, HandlerKind::StatusAndText, "PreparaTracciatoPerDischetto", [&] {
    CreaConnessione(context);
    // The statement runs as it is: service lines are not merged here.
    RecordsetPtr rs = FilteredDeclarationLines(context, true);
    const int32_t count = rs->RecordCount();
    context.NumRecStpModIntra = Variant::Long(count);
    if (count != 0) {
      int32_t conta = 0;
      const Variant toFile = Variant::Boolean(true);
      PreparaStringaTracciato(context, *rs, conta, &toFile);
      context.NumFileFloppy = 0;
    }
  });
}

}  // namespace zelmora::telematic
