#include <string>

#include "component/trap.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

Variant CodificaCifraNegativa(IntraContext& context, const Variant& cifra) {
  if (cifra.IsNull()) return Variant();
  Variant result = Variant::String(" ");
  Trap(context, HandlerKind::SilentStatus, "CodificaCifraNegativa", [&] {
    const std::string text = cifra.Text();
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
      result = Variant::String(std::string(1, static_cast<char>('p' + (text[0] - '0'))));
    } else {
      result = Variant();
    }
  });
  return result;
}

}  // namespace zelmora::telematic
