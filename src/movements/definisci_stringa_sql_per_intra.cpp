#include "component/trap.h"
#include "movements/movement_procedures.h"
#include "movements/movement_sql.h"

namespace zelmora::movements {

void DefinisciStringaSQLPerIntra(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "DefinisciStringaSQLPerIntra", [&] {
    std::string sql = MovementListSql(context.in());
    // Stored last, so a failing filter leaves the previous text in place.
    context.out().StringaSQLperStampaIntra = Variant::String(std::move(sql));
  });
}

}  // namespace zelmora::movements
