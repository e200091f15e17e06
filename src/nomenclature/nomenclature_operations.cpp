// The public operations of the business object that belong to the
// nomenclature checks.
#include "component/clsin_intrabo.h"
#include "nomenclature/nomenclature_procedures.h"

namespace zelmora {

RecordsetPtr CLSIN_INTRABO::GeneraRstErroriNomenclatura() { return nomenclature::GeneraRstErroriNomenclatura(ctx_); }

}  // namespace zelmora
