#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "platform/error.h"
#include "platform/linked_companies.h"

namespace zelmora::declaration {

Variant GetDitteCollegate(IntraContext& context) noexcept {
  Variant list;
  Trap(context, HandlerKind::StatusAndText, "GetDitteCollegate", [&] {
    if (!context.services) throw Error::ObjectNotSet();
    std::shared_ptr<LinkedCompaniesService> service = context.services->NewLinkedCompaniesService();
    if (!service) throw Error::ObjectNotSet();
    CLSIN_INPUTINTRA& in = context.in();
    LinkedCompaniesService::Input& request = service->input();
    request.Connessione = in.Connessione;
    request.StringaDiConnessione = in.StringaDiConnessione.ToString();
    request.Ditta = in.Ditta;
    request.Anno = in.Anno;
    service->Run();
    if (service->Status() != 0) {
      // The service's own text is what the host gets to read; the status
      // stays clear, and the empty list fails when the statement runs.
      context.Stato = 0;
      context.Errore = Variant::String(service->ErrorText());
      return;
    }
    list = service->output().ListaDitte;
  });
  return list;
}

}  // namespace zelmora::declaration
