#include "component/trap.h"
#include "component/value_helpers.h"
#include "movements/movement_procedures.h"
#include "platform/dispatch_object.h"

namespace zelmora::movements {

namespace {

// The last month of the quarter a month falls in; other values stay.
Variant QuarterEnd(const Variant& period) {
  if (period.IsEmptyOrNull()) return period;
  const double month = period.ToDouble();
  for (int last = 3; last <= 12; last += 3) {
    if (month == last - 2 || month == last - 1 || month == last) return Variant::Integer(static_cast<int16_t>(last));
  }
  return period;
}

}  // namespace

void PclsReport_BeforePrintReport(IntraContext& context, bool& /*cancel*/, CrepReport& crepReport,
                                  const ObjectPtr& /*crepApp*/) noexcept {
  Trap(context, HandlerKind::StatusAndText, "PclsReport_BeforePrintReport", [&] {
    CLSIN_INPUTINTRA& input = context.in();
    if (input.CambioPeriodicita) {
      // A declarant who changed periodicity during the year prints the
      // journal by quarter.
      input.TipoIntra = Variant::Integer(2);
      input.PeriodoStampa = QuarterEnd(input.PeriodoStampa);
    }

    const Variant empty = Variant::String("");
    auto text = [&](const Variant& value) { return Variant::String(SeNullo(value, empty).ToString()); };
    const Variant host = Variant::Obj(context.ActiveInterface);
    // The user's print options live on the journal's report object.
    auto report = [&context]() -> const ReportObject& {
      if (!context.PclsReport) throw Error::ObjectNotSet();
      return *context.PclsReport;
    };

    crepReport.SetParameterField("ditta", text(input.Ditta));
    crepReport.SetParameterField("ragionesociale", text(input.RagioneSociale));
    crepReport.SetParameterField("tipomov", text(input.TipoMovimento));
    crepReport.SetParameterField("conto", text(input.Conto));
    crepReport.SetParameterField("descconto", text(input.DescrizioneConto));
    crepReport.SetParameterField("numdoc", text(input.NumeroDocumento));
    crepReport.SetParameterField("dadatadoc", text(input.DataDocumentoIniziale));
    crepReport.SetParameterField("adatadoc", text(input.DataDocumentoFinale));
    crepReport.SetParameterField("dameserif", text(input.MeseRiferimentoIniziale));
    crepReport.SetParameterField("ameserif", text(input.MeseRiferimentoFinale));
    crepReport.SetParameterField("daannorif", text(input.AnnoRiferimentoIniziale));
    crepReport.SetParameterField("aannorif", text(input.AnnoRiferimentoFinale));
    crepReport.SetParameterField("dadatareg", text(input.DataRegistrazioneIniziale));
    crepReport.SetParameterField("adatareg", text(input.DataRegistrazioneFinale));
    crepReport.SetParameterField("IndIntraVen",
                                 ReadMemberPath(host, "ClsGlobal.Gcls_DittaCorrente.ClsDatiGest.IndIntraVen"));
    crepReport.SetParameterField("IndIntraAcq",
                                 ReadMemberPath(host, "ClsGlobal.Gcls_DittaCorrente.ClsDatiGest.IndIntraAcq"));
    crepReport.SetParameterField("Sezionale", text(input.CodiceSezionale));
    crepReport.SetParameterField("Protocollo", text(input.Protocollo));
    crepReport.SetParameterField("StampaTotaliDocumento", text(input.StampaTotaliDocumento));
    crepReport.SetParameterField("DaNomenclatura", text(input.NomenclaturaIniziale));
    crepReport.SetParameterField("ANomenclatura", text(input.NomenclaturaFinale));
    crepReport.SetParameterField("OperazioneRif", text(input.OperazioneRif));
    crepReport.SetParameterField("StampaChkPaginaIni", Variant::Boolean(report().FirstPageOption));
    crepReport.SetParameterField("StampaChkNote", Variant::Boolean(report().NotesOption));
    crepReport.SetParameterField("StampaChkLimiti", Variant::Boolean(report().LimitsOption));
    crepReport.SetParameterField("destinato", Variant::String(report().RecipientText));
    crepReport.SetParameterField("eseguito", Variant::String(report().PreparedByText));
    crepReport.SetParameterField("note", Variant::String(report().NotesText));
  });
}

}  // namespace zelmora::movements
