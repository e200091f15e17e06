#include "component/connection_context.h"
#include "component/trap.h"

namespace zelmora {

void CreaClasseDittaBase(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "CreaClasseDittaBase", [&] {
    if (context.ClsFactoryDitta) context.ClsFactoryDitta->SetConnection(nullptr);
    context.ClsFactoryDitta.reset();
    context.ClsDitta.reset();

    context.ClsFactoryDitta = context.services->NewCompanyFactory();
    context.ClsFactoryDitta->SetConnection(context.Connessione);
    const Variant& ditta = context.in().Ditta;
    context.ClsDitta = std::dynamic_pointer_cast<CompanyData>(context.ClsFactoryDitta->GetObject(ditta, 4));
    if (!context.ClsDitta) throw Error::TypeMismatch();
    context.ClsDitta->ClsDatiAnagrafici =
        std::dynamic_pointer_cast<CompanyRegistryData>(context.ClsFactoryDitta->GetObject(ditta, 18));
    context.ClsDitta->ClsDatiGest =
        std::dynamic_pointer_cast<CompanyManagementData>(context.ClsFactoryDitta->GetObject(ditta, 5));
  });
}

}  // namespace zelmora
