#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"

namespace zelmora {

void CreaConnessione(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "CreaConnessione", [&] {
    if (context.Connessione) return;
    const CLSIN_INPUTINTRA& input = context.in();
    if (input.Connessione) {
      // The host's own connection, shared as it is.
      context.Connessione = input.Connessione;
      return;
    }
    if (SeNullo(input.StringaDiConnessione, Variant::String("")).Text().empty()) {
      context.Stato = 1;
      return;
    }
    ConnectionPtr connection = context.services->NewConnection();
    connection->ConnectionString = input.StringaDiConnessione.ToString();
    connection->IsolationLevel = kIsolationSerializable;
    connection->CommandTimeout = 100;
    connection->CursorLocation = kUseClient;
    // Kept even when opening fails: the next command on it fails and is
    // reported by the operation that sends it.
    context.Connessione = connection;
    connection->Open({}, "", "", -1);
  });
}

bool ApriOperazioneDatabase(IntraContext& context, bool resetStato) {
  if (resetStato) context.Stato = 0;
  const CLSIN_INPUTINTRA& input = context.in();
  const Variant empty = Variant::String("");
  if (SeNullo(input.Ditta, empty).Text().empty() || SeNullo(input.StringaDiConnessione, empty).Text().empty()) {
    context.Stato = 1;
    return false;
  }
  CreaConnessione(context);
  return true;
}

}  // namespace zelmora
