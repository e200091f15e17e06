// The public operations of the business object that belong to the
// nomenclature checks and the form data.
#include "component/clsin_intrabo.h"
#include "nomenclature/nomenclature_procedures.h"

namespace zelmora {

RecordsetPtr CLSIN_INTRABO::GeneraRstErroriNomenclatura() { return nomenclature::GeneraRstErroriNomenclatura(*ctx_); }

RecordsetPtr CLSIN_INTRABO::GeneraRstDatiModuloStampe() { return nomenclature::GeneraRstDatiModuloStampe(*ctx_); }

RecordsetPtr CLSIN_INTRABO::GeneraRstErroriNomenclaturaInvioTelematico() {
  return nomenclature::GeneraRstErroriNomenclaturaInvioTelematico(*ctx_);
}

RecordsetPtr CLSIN_INTRABO::GeneraRstDatiNomenclaturaInvioTelematico() {
  return nomenclature::GeneraRstDatiNomenclaturaInvioTelematico(*ctx_);
}

}  // namespace zelmora
