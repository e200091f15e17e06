#include "component/connection_context.h"
#include "component/trap.h"
#include "movements/movement_procedures.h"

namespace zelmora::movements {

void GeneraRecordsetIntra(IntraContext& context) noexcept {
  Trap(context, HandlerKind::SilentStatus, "GeneraRecordsetIntra", [&] {
    if (!ApriOperazioneDatabase(context, true)) return;
    // A list for browsing and exports shows goods and services alike; the
    // value stays on the input object for whatever the host runs next.
    context.in().TipoElaborazione = "Interrogazione";
    DefinisciStringaSQLPerIntra(context);
    const std::string sql = context.out().StringaSQLperStampaIntra.ToString();
    RecordsetPtr rows = context.connection().Execute(sql, kCmdText);
    context.out().RecordsetIntra = std::move(rows);
  });
}

}  // namespace zelmora::movements
