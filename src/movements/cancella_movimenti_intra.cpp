#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"
#include "movements/movement_procedures.h"
#include "movements/movement_sql.h"

namespace zelmora::movements {

bool CancellaMovimentiIntra(IntraContext& context) noexcept {
  bool result = true;
  const bool completed = Trap(context, HandlerKind::NumberedText, "CancellaMovimentiIntra", [&] {
    context.Stato = 0;
    const CLSIN_INPUTINTRA& input = context.in();
    if (!IsSet(input.Ditta)) {
      context.Stato = 1;
      context.Errore = Variant::String("Non è stata passata la ditta");
      result = false;
      return;
    }
    if (!IsSet(input.NumeroRegistrazione)) {
      context.Stato = 1;
      context.Errore = Variant::String("Non è stato passato il numero registrazione");
      result = false;
      return;
    }
    CreaConnessione(context);
    if (context.Stato != 0) {
      // CreaConnessione has said why (or found no connection string).
      result = false;
      return;
    }
    // Lines first, then the header, each on its own and outside any
    // transaction: a failure in between leaves a header without lines.
    context.connection().Execute(DeleteLinesSql(input), kExecuteNoRecords);
    context.connection().Execute(DeleteHeaderSql(input), kExecuteNoRecords);
  });
  return completed && result;
}

}  // namespace zelmora::movements
