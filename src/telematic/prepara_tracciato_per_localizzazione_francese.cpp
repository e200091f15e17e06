#include <string>

#include "component/connection_context.h"
#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "declaration/declaration_statement.h"
#include "declaration/french_procedures.h"
#include "telematic/french_file.h"
#include "telematic/french_records.h"
#include "telematic/record_fields.h"
#include "telematic/submission_source.h"

namespace zelmora::telematic {

void PreparaTracciatoPerLocalizzazioneFrancese(IntraContext& context, const Variant&) noexcept {
  Trap(context, HandlerKind::StatusAndText, "PreparaTracciatoPerLocalizzazioneFrancese", [&] {
    // Opens the file when it has a name; without one the first record
    // written fails (object not set) and nothing is written.
    RecordSink sink(context, true);
    CreaConnessione(context);
    CreaClasseDittaBase(context);
    CLSIN_INPUTINTRA& input = context.in();
    const Variant entryTipoStampa = input.TipoStampa;
    const bool both = declaration::EqualsNumber(entryTipoStampa, 2);
    int32_t counter = 0;
    bool headerPending = true;
    for (int list = 0; list < (both ? 2 : 1); ++list) {
      declaration::SelectListForPass(context, entryTipoStampa, list);
      RecordsetPtr rs = FilteredDeclarationLines(context, true);
      const int32_t count = rs->RecordCount();
      context.NumRecStpModIntra = Variant::Long(count);
      if (count == 0) continue;
      if (headerPending) {
        sink.Write(FrenchHeaderRecord(input, context.services->Today()));
        headerPending = false;
      }
      const bool sales = IsNumber(input.TipoStampa, 0);
      FrenchDetailBuilder builder(*rs, input, sales,
                                  [&](int16_t code) { return declaration::DecodificaPaeseISO(context, code); });
      for (const Row* row : rs->VisibleRows()) {
        if (!builder.Declared(*row)) continue;
        AddRecord(counter);
        sink.Write(builder.Record(*row, counter));
      }
    }
    if (!context.PathFileIntraWeb.empty()) sink.Finish();
  });
}

}  // namespace zelmora::telematic
