#include "telematic/submission_source.h"

#include "declaration/declaration_procedures.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

std::string ZeroFilter(const Variant& tipoIntra) {
  if (IsNumber(tipoIntra, 1)) {
    return "IMPORTO <> 0 OR IMPORTOVAL <> 0 OR VALSTAT <> 0 OR RETTIFICA <> 0 OR RETTIFICAVAL <> 0";
  }
  return "IMPORTO <> 0 OR IMPORTOVAL <> 0 OR RETTIFICA <> 0 OR RETTIFICAVAL <> 0";
}

RecordsetPtr FilteredDeclarationLines(IntraContext& context, bool plain, int32_t* selected) {
  declaration::BuildDeclarationStatement(context);
  RecordsetPtr rs = plain ? context.connection().Execute(context.out().StringaSQLperStampaIntra.Text(), kCmdText)
                          : CreaRecordsetPerTracciato(context);
  // A record source that failed was reported by it; using it fails here.
  if (!rs) throw Error::ObjectNotSet();
  if (selected) *selected = rs->RecordCount();
  rs->SetFilter(ZeroFilter(context.in().TipoIntra));
  return rs;
}

}  // namespace zelmora::telematic
