#include "component/trap.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

Variant ArrotondaImporto(IntraContext& context, const Variant& importo) {
  if (importo.IsNull()) return Variant();
  Variant result = Variant::Integer(0);
  Trap(context, HandlerKind::None, "ArrotondaImporto", [&] {
    // Amounts stay exact: a Double is first taken to 15 significant digits,
    // so the double nearest 12.49 rounds as 12.49 does.
    result = Variant::Dec(RoundToWhole(importo.ToDecimal()));
  });
  return result;
}

}  // namespace zelmora::telematic
