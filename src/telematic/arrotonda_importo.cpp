#include "component/trap.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {
// The largest fractional part that is still dropped.
const Decimal kKeepThreshold = Decimal::FromParts(49, 2);
const Decimal kOne = Decimal::FromInt(1);
}  // namespace

Variant ArrotondaImporto(IntraContext& context, const Variant& importo) {
  if (importo.IsNull()) return Variant();
  Variant result = Variant::Integer(0);
  Trap(context, HandlerKind::None, "ArrotondaImporto", [&] {
    // Amounts stay exact: a Double is first taken to 15 significant digits,
    // so the double nearest 12.49 rounds as 12.49 does.
    const Decimal x = importo.ToDecimal();
    const Decimal whole = x.Truncate();
    const Decimal fraction = (x - whole).Abs();
    Decimal rounded = fraction <= kKeepThreshold ? whole : whole + Decimal::FromInt(x.Sign());
    // Any amount that is not zero is declared as at least one unit.
    const Decimal magnitude = x.Abs();
    if (!x.IsZero() && magnitude < kOne) rounded = Decimal::FromInt(x.Sign());
    result = Variant::Dec(rounded.Normalized());
  });
  return result;
}

}  // namespace zelmora::telematic
