#include "component/value_helpers.h"
#include "declaration/declaration_statement.h"
#include "declaration/declaration_procedures.h"

namespace zelmora::declaration {

void SelectListForPass(IntraContext& context, const Variant& entryTipoStampa, int pass) {
  CLSIN_INPUTINTRA& input = context.in();
  if (EqualsNumber(entryTipoStampa, 2)) input.TipoStampa = Variant::Integer(static_cast<int16_t>(pass));
  // Any other list leaves the periodicity as the host set it.
  const bool sales = EqualsNumber(input.TipoStampa, 0);
  if (!sales && !EqualsNumber(input.TipoStampa, 1)) return;
  if (!context.ClsDitta || !context.ClsDitta->ClsDatiGest) throw Error::ObjectNotSet();
  const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
  input.TipoIntra = SeNullo(sales ? management.IndIntraVen : management.IndIntraAcq, Variant::Integer(0));
}

}  // namespace zelmora::declaration
