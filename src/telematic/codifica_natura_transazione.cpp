#include <string>

#include "component/trap.h"
#include "platform/text_util.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

Variant CodificaNaturaTransazione(IntraContext& context, const Variant& natura) {
  if (natura.IsNull()) return Variant();
  if (natura.type() == VarType::Integer || natura.type() == VarType::Long) {
    // The codes as the database gives them.
    const int32_t code = natura.type() == VarType::Integer ? natura.AsInteger() : natura.AsLong();
    if (code == 0 || code == 10) return Variant::String(" ");
    if (code >= 1 && code <= 9) return Variant::String(std::string(1, static_cast<char>('0' + code)));
    if (code >= 21 && code <= 29) return Variant::String(std::string(1, static_cast<char>('A' + code - 21)));
    return Variant();
  }
  Variant result = Variant::String(" ");
  Trap(context, HandlerKind::SilentStatus, "CodificaNaturaTransazione", [&] {
    const Decimal code = natura.ToDecimal();
    if (code.IsZero() || code == Decimal::FromInt(10)) {
      result = Variant::String(" ");
    } else if (code >= Decimal::FromInt(1) && code <= Decimal::FromInt(9)) {
      result = Variant::String(std::string(TrimBlanks(natura.Text())));
    } else if (code.IsInteger() && code >= Decimal::FromInt(21) && code <= Decimal::FromInt(29)) {
      const int offset = static_cast<int>(code.Normalized().mantissa()) - 21;
      result = Variant::String(std::string(1, static_cast<char>('A' + offset)));
    } else {
      result = Variant();
    }
  });
  return result;
}

}  // namespace zelmora::telematic
