#include <string>

#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"
#include "platform/text_util.h"
#include "telematic/record_fields.h"
#include "telematic/submission_driver.h"
#include "telematic/submission_source.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

void PreparaTracciatoPerInvioTelematico(IntraContext& context, SubmissionReport* report) {
  Trap(context, HandlerKind::StatusAndText, "PreparaTracciatoPerInvioTelematico", [&] {
    CreaConnessione(context);
    CreaClasseDittaBase(context);
    CLSIN_INPUTINTRA& input = context.in();
    const Variant savedTipoStampa = input.TipoStampa;
    const Variant savedTipoIntra = input.TipoIntra;
    context.NumRecStpModIntra = Variant::Integer(0);
    int32_t conta = 0;
    bool written = false;

    context.out().NomeFileInvioTelematico = Variant::String(SubmissionFileName(input));

    // Both lists in one submission: sales, then purchases, each with the
    // company's periodicity for it.
    const bool both = IsNumber(savedTipoStampa, 2);
    for (int list = 0; list < (both ? 2 : 1); ++list) {
      SubmissionList summary = StartList(context, both, list);
      RecordsetPtr rs = FilteredDeclarationLines(context, false, &summary.selected);
      summary.written = rs->RecordCount();
      context.NumRecStpModIntra = Add(context.NumRecStpModIntra, Variant::Long(summary.written));
      if (summary.written != 0) {
        // The second declaration of a submission has the next number.
        if (written && both) input.NumFloppy = Add(SeNullo(input.NumFloppy, Variant::Integer(0)), Variant::Integer(1));
        written = true;
        summary.produced = true;
        PreparaStringaTracciato2010(context, *rs, conta);
      }
      if (report) report->lists.push_back(summary);
    }

    PreparaStringaTracciatoRecordDiTesta(context, conta);
    input.TipoStampa = savedTipoStampa;
    input.TipoIntra = savedTipoIntra;
  });
}

}  // namespace zelmora::telematic
