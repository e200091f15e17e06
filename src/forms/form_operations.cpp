// The public operations of the business object that belong to printing on forms.
#include "component/clsin_intrabo.h"
#include "forms/form_procedures.h"

namespace zelmora {

void CLSIN_INTRABO::PreparaRecodsetPerStampaSuModulo() { forms::PreparaRecodsetPerStampaSuModulo(*ctx_); }
void CLSIN_INTRABO::StampaIntraSuModulo() { forms::StampaIntraSuModulo(*ctx_); }
void CLSIN_INTRABO::PreparaRecodsetPerStampaSuModuloLaser() { forms::PreparaRecodsetPerStampaSuModuloLaser(*ctx_); }

void CLSIN_INTRABO::StampaIntraSuModuloLaser() { forms::StampaIntraSuModuloLaser(*ctx_); }
void CLSIN_INTRABO::StampaFrontespizioModIntra() { forms::StampaFrontespizioModIntra(*ctx_); }

}  // namespace zelmora
