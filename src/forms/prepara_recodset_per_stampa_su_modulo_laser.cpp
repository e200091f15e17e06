#include <string>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "forms/form_procedures.h"
#include "platform/connection.h"

namespace zelmora::forms {

namespace {

// One section of the laser form: which declaration lines it takes, how many
// fit a page, its figures and page count, and its page-total fields.
struct Section {
  int operation;         // IN02_INDOPER: 0 goods, 1 services
  bool corrections;      // document kinds 2 and 4 rather than 1 and 3
  int32_t perPage;
  SectionFigures* figures;
  int32_t* pages;
  const char* endTotal;
  const char* carriedTotal;
};

bool Is(const Variant& value, double number) { return !value.IsEmptyOrNull() && value.ToDouble() == number; }

bool Belongs(const Section& section, const Variant& operation, const Variant& kind) {
  if (!Is(operation, section.operation)) return false;
  return section.corrections ? (Is(kind, 2) || Is(kind, 4)) : (Is(kind, 1) || Is(kind, 3));
}

std::string SectionFilter(const Variant& code, int operation) {
  return "INDTIPODOC = " + code.ToString() + " AND IN02_INDOPER = " + std::to_string(operation);
}

void CollectSection(IntraContext& context, const Section& section, const Variant& code) {
  Recordset& source = *context.RstSorgenteModulo;
  Recordset& lines = *context.RstRigheModulo;
  const CLSIN_INPUTINTRA& input = context.in();
  const Variant zero = Variant::Integer(0), empty = Variant::String("");
  const bool services = section.operation == 1;
  int32_t count = 0;
  for (source.MoveFirst(); !source.EOF(); source.MoveNext()) {
    const Variant operation = SeNullo(source.Value("IN02_INDOPER"), zero);
    if (!Belongs(section, operation, source.Value("IN01_INDTIPODOC"))) continue;
    lines.AddNew();
    section.figures->lines.SetCount(++count);
    lines.SetValue("PROGRESSIVO", Variant::Long(count));
    lines.SetValue("RIGA", Variant::Long((count + section.perPage - 1) / section.perPage));
    lines.SetValue("FOGLIO", zero);
    MemorizzaRecordModIntra(context);
    // A services correction declares the corrected amounts themselves.
    if (services && section.corrections) {
      lines.SetValue("IMPORTO", source.Value("RETTIFICA"));
      lines.SetValue("IMPORTOVAL", source.Value("RETTIFICAVAL"));
    }
    lines.SetValue("IN02_INDOPER", operation);
    if (services) {
      // Merged lines already carry the invoice data their movements share.
      if (!input.AccorpaArt23) {
        lines.SetValue("IN02_NUMDOCORIG", SeNullo(source.Value("IN02_NUMDOCORIG"), empty));
        lines.SetValue("IN02_DATADOCORIG", source.Value("IN02_DATADOCORIG"));
        lines.SetValue("IN02_CODICE_IN03", SeNullo(source.Value("IN02_CODICE_IN03"), empty));
        lines.SetValue("IN02_CODICE_IN04", SeNullo(source.Value("IN02_CODICE_IN04"), empty));
      }
      lines.SetValue("CODISOPAG", SeNullo(source.Value("CG07_CODISOPAG"), empty));
      lines.SetValue("IN02_SEZDOG", source.Value("IN02_SEZDOG"));
      lines.SetValue("IN02_PROTDICH", source.Value("IN02_PROTDICH"));
      lines.SetValue("IN02_PROGRSEZ3", source.Value("IN02_PROGRSEZ3"));
    }
    // No default here: a line without an amount leaves the total empty.
    section.figures->total.AddAmount(lines.Value("IMPORTO"));
  }
  const int32_t lastPage = (count + section.perPage - 1) / section.perPage;
  if (count % section.perPage != 0) {
    for (int32_t i = count % section.perPage; i < section.perPage; ++i) {
      lines.AddNew();
      lines.SetValue("INDTIPODOC", code);
      lines.SetValue("IN02_INDOPER", Variant::Long(section.operation));
      lines.SetValue("RIGA", Variant::Long(lastPage));
      lines.SetValue("FOGLIO", zero);
    }
  }
  *section.pages = lastPage;
}

// The section's page totals: each page's own amounts, then carried forward.
void TotalSection(IntraContext& context, const Section& section, const Variant& code) {
  Recordset& lines = *context.RstRigheModulo;
  Recordset& pages = *context.RstPagineModulo;
  const Variant zero = Variant::Integer(0);
  pages.SetFilter("");
  lines.SetFilter(SectionFilter(code, section.operation));
  if (lines.RecordCount() > 0) {
    for (lines.MoveFirst(); !lines.EOF(); lines.MoveNext()) {
      pages.SetFilter("RIGA = " + lines.Value("RIGA").ToString());
      pages.SetValue(section.endTotal,
                     Add(SeNullo(pages.Value(section.endTotal), zero), SeNullo(lines.Value("IMPORTO"), zero)));
    }
  }
  pages.SetFilter("");
  Variant carried = zero;
  for (pages.MoveFirst(); !pages.EOF(); pages.MoveNext()) {
    const Variant end = Add(SeNullo(pages.Value(section.endTotal), zero), carried);
    pages.SetValue(section.endTotal, end);
    pages.SetValue(section.carriedTotal, carried);
    carried = end;
  }
}

}  // namespace

std::string LaserLinesFilter(const CLSIN_INPUTINTRA& input) {
  return Is(input.TipoIntra, 1)
             ? "IMPORTO <> 0 OR IMPORTOVAL <> 0 OR VALSTAT <> 0 OR RETTIFICA <> 0 OR RETTIFICAVAL <> 0"
             : "IMPORTO <> 0 OR IMPORTOVAL <> 0 OR RETTIFICA <> 0 OR RETTIFICAVAL <> 0";
}

void PreparaRecodsetPerStampaSuModuloLaser(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "PreparaRecodsetPerStampaSuModuloLaser", [&] {
    const Variant zero = Variant::Integer(0);
    DeclarationFigures& figures = context.figures;
    for (SectionFigures* each : {&figures.goods, &figures.goodsCorrections, &figures.services, &figures.servicesCorrections}) {
      each->lines.Reset();
    }
    CLSIN_OUPUTINTRA& output = context.out();
    const CLSIN_INPUTINTRA& input = context.in();
    // The forms from 2010 on have room for ten corrections a page.
    const int32_t correctionsPerPage = input.AnnoRiferimentoIntra != AnnoRiferimentoIntraEnum{} ? 10 : 7;
    const std::string sql = output.StringaSQLperStampaIntra.IsEmptyOrNull()
                                ? std::string()
                                : output.StringaSQLperStampaIntra.ToString();
    if (sql.empty()) return;

    context.RstSorgenteModulo.reset();
    context.RstSorgenteModulo = context.connection().Execute(sql, kCmdText);
    Recordset& source = *context.RstSorgenteModulo;
    source.SetFilter(LaserLinesFilter(input));
    if (source.RecordCount() == 0) return;

    context.RstRigheModulo = NewFormLines(true);
    context.RstPagineModulo = NewFormPages(true);
    const bool sales = Is(input.TipoStampa, 0);
    context.TipoDocAcqCess = Variant::Integer(sales ? 1 : 3);
    context.TipoDocRett = Variant::Integer(sales ? 2 : 4);
    for (SectionFigures* each : {&figures.goods, &figures.goodsCorrections, &figures.services, &figures.servicesCorrections}) {
      each->total.Reset();
    }

    const Section goods{0, false, 10, &figures.goods, &context.NumPagineBis, "TOTALEAC", "TOTPRECAC"};
    const Section services{1, false, 10, &figures.services, &context.NumPagineQuater, "TOTALEAC_SER",
                           "TOTPRECAC_SER"};
    const Section goodsCorrections{0, true, correctionsPerPage, &figures.goodsCorrections, &context.NumPagineTer,
                                   "TOTRETT", "TOTRETTPREC"};
    const Section servicesCorrections{1, true, correctionsPerPage, &figures.servicesCorrections,
                                      &context.NumPagineQuinquies, "TOTRETT_SER", "TOTRETTPREC_SER"};
    CollectSection(context, goods, context.TipoDocAcqCess);
    CollectSection(context, services, context.TipoDocAcqCess);
    CollectSection(context, goodsCorrections, context.TipoDocRett);
    CollectSection(context, servicesCorrections, context.TipoDocRett);

    // The page rows are those of the one section about to be printed.
    const int32_t printed = SeNullo(input.PagineModLas, zero).ToLong();
    const Section* section = nullptr;
    switch (printed) {
      case 1: context.NumPagineModulo = 1; break;
      case 2: context.NumPagineModulo = context.NumPagineBis; section = &goods; break;
      case 3: context.NumPagineModulo = context.NumPagineTer; section = &goodsCorrections; break;
      case 4: context.NumPagineModulo = context.NumPagineQuater; section = &services; break;
      case 5: context.NumPagineModulo = context.NumPagineQuinquies; section = &servicesCorrections; break;
      default: break;
    }
    if (context.NumPagineModulo == 0) return;
    Recordset& pages = *context.RstPagineModulo;
    for (int32_t page = 1; page <= context.NumPagineModulo; ++page) {
      pages.AddNew();
      pages.SetValue("RIGA", Variant::Long(page));
      for (size_t field = 1; field < pages.FieldCount(); ++field) pages.SetValue(field, zero);
    }
    output.RecordsetIntraModMain = context.RstPagineModulo;
    if (section != nullptr) {
      TotalSection(context, *section, section->corrections ? context.TipoDocRett : context.TipoDocAcqCess);
    }

    Recordset& lines = *context.RstRigheModulo;
    lines.SetFilter("");
    pages.SetFilter("");
    auto publish = [&](const Variant& code, int operation) {
      RecordsetPtr clone = lines.Clone();
      clone->SetFilter(SectionFilter(code, operation));
      return clone;
    };
    output.RecordsetIntraAcqCess = publish(context.TipoDocAcqCess, 0);
    output.RecordsetIntraRettifiche = publish(context.TipoDocRett, 0);
    output.RecordsetIntraAcqCess_Ser = publish(context.TipoDocAcqCess, 1);
    output.RecordsetIntraRettifiche_Ser = publish(context.TipoDocRett, 1);
  });
  context.RstRigheModulo.reset();
  context.RstPagineModulo.reset();
  context.RstSorgenteModulo.reset();
}

}  // namespace zelmora::forms
