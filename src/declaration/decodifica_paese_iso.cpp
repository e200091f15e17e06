#include <string>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "declaration/french_procedures.h"
#include "platform/text_util.h"

namespace zelmora::declaration {

std::string DecodificaPaeseISO(IntraContext& context, int16_t code) noexcept {
  std::string iso;
  Trap(context, HandlerKind::StatusAndText, "DecodificaPaeseISO", [&] {
    RecordsetPtr rs = context.connection().Execute(
        "SELECT CG07_CODISO FROM CG07_TABSTATIEST WITH(NOLOCK) \r\n WHERE CG07_CODICE = " + std::to_string(code),
        kCmdText);
    if (rs->EOF()) return;
    // Always two characters once the country is known.
    iso = Utf8Left(SeNullo(rs->Value("CG07_CODISO"), Variant::String("")).Text() + "  ", 2);
  });
  return iso;
}

}  // namespace zelmora::declaration
