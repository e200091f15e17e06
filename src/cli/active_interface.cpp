#include "cli/active_interface.h"

#include <memory>

#include "platform/dispatch_object.h"

namespace zelmora::cli {

ObjectPtr ActiveInterfaceFor(const IntraContext& context) {
  auto management = std::make_shared<DispatchObject>();
  if (context.ClsDitta && context.ClsDitta->ClsDatiGest) {
    management->SetMember("IndIntraVen", context.ClsDitta->ClsDatiGest->IndIntraVen);
    management->SetMember("IndIntraAcq", context.ClsDitta->ClsDatiGest->IndIntraAcq);
  }
  return ActiveInterface(context.ClsDitta && context.ClsDitta->ClsDatiAnagrafici
                             ? context.ClsDitta->ClsDatiAnagrafici->IndLocalizzazione
                             : Variant::Null(),
                         management);
}

ObjectPtr ActiveInterface(const Variant& localisation, const ObjectPtr& management) {
  auto current = std::make_shared<DispatchObject>();
  current->SetMember("IndLocalizzazione", localisation);
  if (management) current->SetMember("ClsDatiGest", Variant::Obj(management));
  auto global = std::make_shared<DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(current));
  auto root = std::make_shared<DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  return root;
}

}  // namespace zelmora::cli
