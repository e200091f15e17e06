#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "declaration/declaration_statement.h"

namespace zelmora::declaration {

// The same statement as for one company, over the companies that
// GetDitteCollegate lists; a failed list leaves "IN()" in the text, which
// fails when the consumer runs it.
void DefinisciStringaPerIntraSuModuloPiuAttivita(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "DefinisciStringaPerIntraSuModuloPiuAttivita",
       [&] { ComposeIntoContext(context, true); });
}

}  // namespace zelmora::declaration
