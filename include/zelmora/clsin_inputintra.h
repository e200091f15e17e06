// The parameter object a host fills before calling an operation of the
// business object. A plain holder of properties, in the order of its
// interface; the business object also uses some of them as working storage
// between the steps of an operation (TipoElaborazione, TipoIntra,
// TipoStampa, PeriodoStampa, StrWherePeriodo, MaxProgrDatiInvio, NumFloppy
// and the RaggIn02 properties), so a host that reuses one input object sees
// what the last operation left there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zelmora/enums.h"
#include "zelmora/connection.h"
#include "zelmora/object.h"
#include "zelmora/variant.h"

namespace zelmora {

// Every property as X(name, type) in interface order. Types: VARIANT,
// BOOLEAN, STRING, INT16, ANNO_ENUM, INVIO_ENUM, CONNECTION.
#define ZELMORA_CLSIN_INPUTINTRA_PROPERTIES(X) \
  X(Connessione, CONNECTION) \
  X(NumeroRegistrazione, VARIANT) \
  X(StringaDiConnessione, VARIANT) \
  X(Ditta, VARIANT) \
  X(RagioneSociale, VARIANT) \
  X(TipoMovimento, VARIANT) \
  X(Conto, VARIANT) \
  X(DescrizioneConto, VARIANT) \
  X(NumeroDocumento, VARIANT) \
  X(DataDocumentoIniziale, VARIANT) \
  X(DataDocumentoFinale, VARIANT) \
  X(DataRegistrazioneIniziale, VARIANT) \
  X(DataRegistrazioneFinale, VARIANT) \
  X(MeseRiferimentoIniziale, VARIANT) \
  X(MeseRiferimentoFinale, VARIANT) \
  X(AnnoRiferimentoIniziale, VARIANT) \
  X(AnnoRiferimentoFinale, VARIANT) \
  X(TipoCF, VARIANT) \
  X(TipoIntra, VARIANT) \
  X(TipoStampa, VARIANT) \
  X(PeriodoStampa, VARIANT) \
  X(Anno, VARIANT) \
  X(NumFloppy, VARIANT) \
  X(AccorpaArt23, BOOLEAN) \
  X(SoloObbligatori, BOOLEAN) \
  X(StrWherePeriodo, STRING) \
  X(RaggIn02CodiceIn03, STRING) \
  X(RaggIn02CodiceIn04, STRING) \
  X(RaggIn02NumDocOrig, STRING) \
  X(RaggIn02DataDocOrig, VARIANT) \
  X(RaggIn02SezOrig, STRING) \
  X(Codicefiscale, VARIANT) \
  X(PartitaIva, VARIANT) \
  X(Telefono, VARIANT) \
  X(Fax, VARIANT) \
  X(LivObbligo, INT16) \
  X(GestioneErrori, BOOLEAN) \
  X(Cognome, VARIANT) \
  X(Nome, VARIANT) \
  X(Sesso, VARIANT) \
  X(DataNascita, VARIANT) \
  X(ComuneNascita, VARIANT) \
  X(ProvNascita, VARIANT) \
  X(RagSocFisc, VARIANT) \
  X(IndFiscale, VARIANT) \
  X(CapFiscale, VARIANT) \
  X(CittaFiscale, VARIANT) \
  X(ProvFiscale, VARIANT) \
  X(PartitaIvaDeleg, VARIANT) \
  X(CognomeDeleg, VARIANT) \
  X(NomeDeleg, VARIANT) \
  X(RagSocDeleg, VARIANT) \
  X(IndFiscaleDeleg, VARIANT) \
  X(CapFiscaleDeleg, VARIANT) \
  X(CittaFiscaleDeleg, VARIANT) \
  X(ProvFiscaleDeleg, VARIANT) \
  X(TelefonoDeleg, VARIANT) \
  X(Casella1, VARIANT) \
  X(Casella2, VARIANT) \
  X(NomeServer, VARIANT) \
  X(NomeDataBase, VARIANT) \
  X(NomeUtenteDb, VARIANT) \
  X(NomePasswordDb, VARIANT) \
  X(RhwndParent, VARIANT) \
  X(UserObject, VARIANT) \
  X(CodiceSezionale, VARIANT) \
  X(Protocollo, VARIANT) \
  X(CheckPiuAttivita, VARIANT) \
  X(PagineModLas, VARIANT) \
  X(NomenclaturaIniziale, VARIANT) \
  X(NomenclaturaFinale, VARIANT) \
  X(StampaTotaliDocumento, VARIANT) \
  X(OperazioneRif, VARIANT) \
  X(ServizioIniziale, VARIANT) \
  X(ServizioFinale, VARIANT) \
  X(CambioPeriodicita, BOOLEAN) \
  X(CasiParticolari, VARIANT) \
  X(AnnoRiferimentoIntra, ANNO_ENUM) \
  X(TipoInvioTelematico, INVIO_ENUM) \
  X(CodiceSezioneDoganale, VARIANT) \
  X(ProgressivoSedeUtente, VARIANT) \
  X(DataInvioTelematico, VARIANT) \
  X(ProgressivoInvioTelematico, VARIANT) \
  X(CodiceUtenteInvioTelematico, VARIANT) \
  X(ENHFiltro, VARIANT) \
  X(MaxProgrDatiInvio, INT16) \
  X(TipoElaborazione, STRING) \
  X(Pbol_Dettaglio, BOOLEAN) \
  X(ENHOrdinamentoMovIntra, VARIANT)


namespace input_property_types {
using VARIANT = Variant;
using BOOLEAN = bool;
using STRING = std::string;
using INT16 = int16_t;
using ANNO_ENUM = AnnoRiferimentoIntraEnum;
using INVIO_ENUM = TipoInvioTelematicoIntraEnum;
using CONNECTION = ConnectionPtr;
}  // namespace input_property_types

// The parameters of the business object's next operation (company, period,
// lists, filters, declarant and connection data), set by the host.
class CLSIN_INPUTINTRA : public Object {
 public:
  CLSIN_INPUTINTRA() = default;
  ~CLSIN_INPUTINTRA() override;
  std::string_view Kind() const override { return "CLSIN_INPUTINTRA"; }

#define ZELMORA_DECLARE_PROPERTY(name, type) input_property_types::type name{};
  ZELMORA_CLSIN_INPUTINTRA_PROPERTIES(ZELMORA_DECLARE_PROPERTY)
#undef ZELMORA_DECLARE_PROPERTY

  // Late-bound access by property name (case-insensitive), with the
  // conversions of a host's assignment; an unknown name is error 438.
  Variant GetMember(std::string_view name) override;
  void SetMember(std::string_view name, const Variant& value) override;
  // The property names in interface order.
  static const std::vector<std::string_view>& PropertyNames();
};

}  // namespace zelmora
