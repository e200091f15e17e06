// The host's active interface object as the commands build it for the
// component: the current company's localisation, which the declaration
// statement reads through ClsGlobal.Gcls_DittaCorrente.IndLocalizzazione,
// and its Intrastat indicators (ClsDatiGest.IndIntraVen and IndIntraAcq),
// which the journal prints.
#pragma once

#include "component/intra_context.h"
#include "platform/object.h"

namespace zelmora::cli {

// From the company objects the context holds (Null localisation when the
// registry data are missing, no indicators without the management data).
ObjectPtr ActiveInterfaceFor(const IntraContext& context);

// The object itself: ClsGlobal.Gcls_DittaCorrente with IndLocalizzazione
// (0 Italian, 2 French) and, when given, ClsDatiGest.
ObjectPtr ActiveInterface(const Variant& localisation, const ObjectPtr& management = nullptr);

}  // namespace zelmora::cli
