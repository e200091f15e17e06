#include "component/connection_context.h"
#include "component/trap.h"
#include "telematic/submission_source.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

void PreparaTracciatoPerDischetto2010(IntraContext& context, const Variant&) {
  Trap(context, HandlerKind::StatusAndText, "PreparaTracciatoPerDischetto2010", [&] {
    CreaConnessione(context);
    RecordsetPtr rs = FilteredDeclarationLines(context, false);
    const int32_t count = rs->RecordCount();
    context.NumRecStpModIntra = Variant::Long(count);
    if (count != 0) {
      int32_t conta = 0;
      const Variant toFile = Variant::Boolean(true);
      PreparaStringaTracciato2010(context, *rs, conta, &toFile);
    }
  });
}

}  // namespace zelmora::telematic
