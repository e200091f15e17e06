#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "declaration/declaration_statement.h"

namespace zelmora::declaration {

void DefinisciStringaPerIntraSuModulo(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "DefinisciStringaPerIntraSuModulo",
       [&] { ComposeIntoContext(context, false); });
}

}  // namespace zelmora::declaration
