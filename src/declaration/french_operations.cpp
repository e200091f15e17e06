// The public operations of the business object that belong to the French
// declaration.
#include "component/clsin_intrabo.h"
#include "declaration/french_procedures.h"

namespace zelmora {

RecordsetPtr CLSIN_INTRABO::GeneraRstDatiLocalizzazioneFrancese() {
  return declaration::GeneraRstDatiLocalizzazioneFrancese(*ctx_);
}

}  // namespace zelmora
