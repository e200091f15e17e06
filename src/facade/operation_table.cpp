// The table of public operations by name, in the order of the class's
// interface: what a late-bound host (and the host harness) can call.
#include "facade/clsin_intrabo.h"

namespace zelmora {

const std::vector<CLSIN_INTRABO::Operation>& CLSIN_INTRABO::Operations() {
  static const std::vector<Operation> operations = {
      {"ShowMessage", 2, 5,
       [](CLSIN_INTRABO& object, std::vector<Variant>& args) {
         // Whatever it is given, the message kind is not even read.
         TipoMessaggio tipo = TipoMessaggio::MsgErrore;
         Variant* optional[3] = {nullptr, nullptr, nullptr};
         for (size_t i = 2; i < args.size(); ++i) optional[i - 2] = &args[i];
         return Variant::Integer(object.ShowMessage(tipo, args[1], optional[0], optional[1], optional[2]));
       }},
      {"GeneraRecordsetIntra", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.GeneraRecordsetIntra();
         return Variant();
       }},
      {"StampaIntra", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.StampaIntra();
         return Variant();
       }},
      {"PreparaTracciatoPerDischetto", 1, 1,
       [](CLSIN_INTRABO& object, std::vector<Variant>& args) {
         object.PreparaTracciatoPerDischetto(args[0]);
         return Variant();
       }},
      {"CancellaMovimentiIntra", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         return Variant::Boolean(object.CancellaMovimentiIntra());
       }},
      {"GeneraRecordsetIntraPerInterrogazione", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.GeneraRecordsetIntraPerInterrogazione();
         return Variant();
       }},
      {"PreparaTracciatoPerDischetto2010", 1, 1,
       [](CLSIN_INTRABO& object, std::vector<Variant>& args) {
         object.PreparaTracciatoPerDischetto2010(args[0]);
         return Variant();
       }},
      {"PreparaTracciatoPerInvioTelematico", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.PreparaTracciatoPerInvioTelematico();
         return Variant();
       }},
      {"PreparaTracciatoPerInvioTelematico2022", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.PreparaTracciatoPerInvioTelematico2022();
         return Variant();
       }},
      {"CreaRecordsetPerTracciato", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) { return Variant::Obj(object.CreaRecordsetPerTracciato()); }},
      {"GeneraRstDatiLocalizzazioneFrancese", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         return Variant::Obj(object.GeneraRstDatiLocalizzazioneFrancese());
       }},
      {"PreparaTracciatoPerLocalizzazioneFrancese", 1, 1,
       [](CLSIN_INTRABO& object, std::vector<Variant>& args) {
         object.PreparaTracciatoPerLocalizzazioneFrancese(args[0]);
         return Variant();
       }},
      {"GeneraRstErroriNomenclatura", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) { return Variant::Obj(object.GeneraRstErroriNomenclatura()); }},
      {"GeneraRstDatiModuloStampe", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) { return Variant::Obj(object.GeneraRstDatiModuloStampe()); }},
      {"GeneraRstErroriNomenclaturaInvioTelematico", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         return Variant::Obj(object.GeneraRstErroriNomenclaturaInvioTelematico());
       }},
      {"GeneraRstDatiNomenclaturaInvioTelematico", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         return Variant::Obj(object.GeneraRstDatiNomenclaturaInvioTelematico());
       }},
      {"PreparaRecodsetPerStampaSuModulo", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.PreparaRecodsetPerStampaSuModulo();
         return Variant();
       }},
      {"StampaIntraSuModulo", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.StampaIntraSuModulo();
         return Variant();
       }},
      {"PreparaRecodsetPerStampaSuModuloLaser", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.PreparaRecodsetPerStampaSuModuloLaser();
         return Variant();
       }},
      {"StampaIntraSuModuloLaser", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.StampaIntraSuModuloLaser();
         return Variant();
       }},
      {"StampaFrontespizioModIntra", 0, 0,
       [](CLSIN_INTRABO& object, std::vector<Variant>&) {
         object.StampaFrontespizioModIntra();
         return Variant();
       }},
  };
  return operations;
}

}  // namespace zelmora
