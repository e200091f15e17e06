#include "component/connection_context.h"
#include "component/trap.h"
#include "movements/movement_procedures.h"
#include "movements/movement_sql.h"

namespace zelmora::movements {

void GeneraRecordsetIntraPerInterrogazione(IntraContext& context) noexcept {
  Trap(context, HandlerKind::SilentStatus, "GeneraRecordsetIntraPerInterrogazione", [&] {
    if (!ApriOperazioneDatabase(context, true)) return;
    const std::string sql = DocumentBrowseSql(context.in());
    RecordsetPtr rows = context.connection().Execute(sql, kCmdText);
    context.out().RecordsetIntraInterrogazione = std::move(rows);
  });
}

}  // namespace zelmora::movements
