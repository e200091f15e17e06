#include <string>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "forms/form_procedures.h"

namespace zelmora::forms {

namespace {

bool Is(const Variant& value, double number) {
  return !value.IsEmptyOrNull() && value.IsNumeric() && value.ToDouble() == number;
}

Variant QuarterEnd(const Variant& period) {
  if (period.IsEmptyOrNull()) return period;
  const double month = period.ToDouble();
  for (int last = 3; last <= 12; last += 3) {
    if (month == last - 2 || month == last - 1 || month == last) return Variant::Integer(static_cast<int16_t>(last));
  }
  return period;
}

}  // namespace

std::string FormatWholeAmount(const Variant& amount) {
  // A whole number, rounded half away from zero, its digits grouped by
  // three with the Italian thousands separator.
  const Decimal rounded = amount.ToDecimal().RoundHalfAwayFromZero(0);
  std::string digits = rounded.Abs().Normalized().ToString();
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '.';
    grouped += digits[i];
  }
  return (rounded < Decimal() ? "-" : "") + grouped;
}

void PclsRepLas_BeforePrintReport(IntraContext& context, bool& /*cancel*/, CrepReport& crepReport,
                                  const ObjectPtr& /*crepApp*/) noexcept {
  Trap(context, HandlerKind::StatusAndText, "PclsRepLas_BeforePrintReport", [&] {
    CLSIN_INPUTINTRA& input = context.in();
    const CLSIN_OUPUTINTRA& output = context.out();
    const Variant zero = Variant::Integer(0), empty = Variant::String(""), zeroText = Variant::String("0");
    const bool sales = Is(input.TipoStampa, 0);
    context.TipoDocAcqCess = Variant::Integer(sales ? 1 : 3);
    context.TipoDocRett = Variant::Integer(sales ? 2 : 4);

    // Which months of the quarter the declaration covers: a declarant who
    // changed periodicity during the quarter files it by quarter.
    int firstMonthOnly = 0, firstTwoMonths = 0, wholeQuarter = 0;
    if (input.CambioPeriodicita) {
      const Variant& period = input.PeriodoStampa;
      if (Is(period, 1) || Is(period, 4) || Is(period, 7) || Is(period, 10)) {
        firstMonthOnly = 1;
      } else {
        firstTwoMonths = 1;
      }
      input.TipoIntra = Variant::Integer(2);
      input.PeriodoStampa = QuarterEnd(input.PeriodoStampa);
    } else {
      wholeQuarter = 1;
    }

    crepReport.DeclareSubreports("CRIN_INTRAMODSUB.rpt;CRIN_RETT");
    const Variant section = input.PagineModLas;
    crepReport.BindSubreport("CRIN_INTRAMODSUB.rpt",
                             Is(section, 4) ? output.RecordsetIntraAcqCess_Ser : output.RecordsetIntraAcqCess);
    crepReport.BindSubreport("CRIN_RETT",
                             Is(section, 5) ? output.RecordsetIntraRettifiche_Ser : output.RecordsetIntraRettifiche);

    Variant month = empty;
    if (Is(input.TipoIntra, 1)) {
      month = input.PeriodoStampa;
    } else if (Is(input.TipoIntra, 2)) {
      month = Divide(input.PeriodoStampa, Variant::Integer(3));
    }
    auto text = [&](const Variant& value) { return Variant::String(SeNullo(value, empty).ToString()); };
    crepReport.SetParameterField("mese", text(month));
    crepReport.SetParameterField("anno", text(input.Anno));

    const std::pair<const char*, const Variant*> declarant[] = {
        {"Codicefiscale", &input.Codicefiscale},     {"PartitaIva", &input.PartitaIva},
        {"Telefono", &input.Telefono},               {"Cognome", &input.Cognome},
        {"Nome", &input.Nome},                       {"Sesso", &input.Sesso},
        {"DataNascita", &input.DataNascita},         {"ComuneNascita", &input.ComuneNascita},
        {"ProvNascita", &input.ProvNascita},         {"RagSocFisc", &input.RagSocFisc},
        {"IndFiscale", &input.IndFiscale},           {"CapFiscale", &input.CapFiscale},
        {"CittaFiscale", &input.CittaFiscale},       {"ProvFiscale", &input.ProvFiscale},
        {"PartitaIvaDeleg", &input.PartitaIvaDeleg}, {"CognomeDeleg", &input.CognomeDeleg},
        {"NomeDeleg", &input.NomeDeleg},             {"RagSocDeleg", &input.RagSocDeleg},
        {"IndFiscaleDeleg", &input.IndFiscaleDeleg}, {"CapFiscaleDeleg", &input.CapFiscaleDeleg},
        {"CittaFiscaleDeleg", &input.CittaFiscaleDeleg}, {"ProvFiscaleDeleg", &input.ProvFiscaleDeleg},
        {"TelefonoDeleg", &input.TelefonoDeleg},     {"TipoIntra", &input.TipoIntra}};
    for (const auto& [name, value] : declarant) crepReport.SetParameterField(name, text(*value));

    auto counter = [&](const Variant& value) { return Variant::String(SeNullo(value, zeroText).ToString()); };
    auto total = [&](const Variant& value) { return Variant::String(FormatWholeAmount(SeNullo(value, zeroText))); };
    crepReport.SetParameterField("NumPagAcqCess", counter(Variant::Long(context.NumPagineBis)));
    crepReport.SetParameterField("NumPagRett", counter(Variant::Long(context.NumPagineTer)));
    crepReport.SetParameterField("ContatoreAcqCess", counter(context.figures.goods.lines.AsVariant()));
    crepReport.SetParameterField("ContatoreRett", counter(context.figures.goodsCorrections.lines.AsVariant()));
    crepReport.SetParameterField("TotaleAcqCess", total(context.figures.goods.total.AsVariant()));
    crepReport.SetParameterField("TotaleRett", total(context.figures.goodsCorrections.total.AsVariant()));

    crepReport.SetParameterField("NumFloppy", text(input.NumFloppy));
    crepReport.SetParameterField("casella1", SeNullo(input.Casella1, empty));
    crepReport.SetParameterField("casella2", SeNullo(input.Casella2, empty));
    crepReport.SetParameterField("Tipologia",
                                 Variant::String(Is(context.TipoDocAcqCess, 1) ? "CESSIONI" : "ACQUISTI"));
    crepReport.SetParameterField("Rif_SoloPrimoMeseTrimestre", Variant::String(std::to_string(firstMonthOnly)));
    crepReport.SetParameterField("Rif_PrimoSecondoMeseTrimestre", Variant::String(std::to_string(firstTwoMonths)));
    crepReport.SetParameterField("Rif_TrimestreCompleto", Variant::String(std::to_string(wholeQuarter)));

    crepReport.SetParameterField("ContatoreServizi", counter(context.figures.services.lines.AsVariant()));
    crepReport.SetParameterField("ContatoreRettServizi", counter(context.figures.servicesCorrections.lines.AsVariant()));
    crepReport.SetParameterField("TotaleServizi", total(context.figures.services.total.AsVariant()));
    crepReport.SetParameterField("TotaleRettServizi", total(context.figures.servicesCorrections.total.AsVariant()));
  });
}

}  // namespace zelmora::forms
