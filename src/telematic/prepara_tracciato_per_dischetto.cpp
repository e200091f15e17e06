#include "component/connection_context.h"
#include "component/trap.h"
#include "telematic/record_fields.h"
#include "telematic/submission_source.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

void PreparaTracciatoPerDischetto(IntraContext& context, const Variant&, SubmissionReport* report) {
  Trap(context, HandlerKind::StatusAndText, "PreparaTracciatoPerDischetto", [&] {
    CreaConnessione(context);
    // The statement runs as it is: service lines are not merged here.
    SubmissionList summary;
    RecordsetPtr rs = FilteredDeclarationLines(context, true, &summary.selected);
    const int32_t count = rs->RecordCount();
    if (report) {
      summary.tipoStampa = IsNumber(context.in().TipoStampa, 1) ? 1 : 0;
      summary.tipoIntra = context.in().TipoIntra;
      summary.written = count;
      summary.produced = count != 0;
      report->lists.push_back(summary);
    }
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
