#include <string>

#include "component/trap.h"
#include "platform/text_util.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

Variant CodificaCifraSingola(IntraContext& context, const Variant& cifra) {
  if (cifra.IsNull()) return Variant();
  if (cifra.type() == VarType::Integer || cifra.type() == VarType::Long) {
    const int32_t digit = cifra.type() == VarType::Integer ? cifra.AsInteger() : cifra.AsLong();
    if (digit >= 0 && digit <= 9) return Variant::String(std::string(1, static_cast<char>('0' + digit)));
    return Variant();
  }
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
