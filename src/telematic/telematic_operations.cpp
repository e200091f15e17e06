// The public operations of the business object that belong to the
// telematic submission.
#include "component/clsin_intrabo.h"
#include "telematic/french_file.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {

void CLSIN_INTRABO::PreparaTracciatoPerDischetto(const Variant& PathFile) {
  telematic::PreparaTracciatoPerDischetto(*ctx_, PathFile);
}

void CLSIN_INTRABO::PreparaTracciatoPerDischetto2010(const Variant& PathFile) {
  telematic::PreparaTracciatoPerDischetto2010(*ctx_, PathFile);
}

void CLSIN_INTRABO::PreparaTracciatoPerInvioTelematico() { telematic::PreparaTracciatoPerInvioTelematico(*ctx_); }

void CLSIN_INTRABO::PreparaTracciatoPerInvioTelematico2022() {
  telematic::PreparaTracciatoPerInvioTelematico2022(*ctx_);
}

RecordsetPtr CLSIN_INTRABO::CreaRecordsetPerTracciato() { return telematic::CreaRecordsetPerTracciato(*ctx_); }

void CLSIN_INTRABO::PreparaTracciatoPerLocalizzazioneFrancese(const Variant& PathFile) {
  telematic::PreparaTracciatoPerLocalizzazioneFrancese(*ctx_, PathFile);
}

}  // namespace zelmora
