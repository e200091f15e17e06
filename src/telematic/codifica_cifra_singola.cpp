#include <string>

#include "component/trap.h"
#include "platform/text_util.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

Variant CodificaCifraSingola(IntraContext& context, const Variant& cifra) {
  if (cifra.IsNull()) return Variant();
  Variant result = Variant::String(" ");
  Trap(context, HandlerKind::SilentStatus, "CodificaCifraSingola", [&] {
    const Decimal digit = cifra.ToDecimal();
    if (digit >= Decimal() && digit <= Decimal::FromInt(9)) {
      result = Variant::String(std::string(TrimBlanks(cifra.IsEmpty() ? std::string("0") : cifra.Text())));
    } else {
      result = Variant();
    }
  });
  return result;
}

}  // namespace zelmora::telematic
