#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"
#include "forms/form_procedures.h"

namespace zelmora::forms {

void StampaFrontespizioModIntra(IntraContext& context) noexcept {
  RecordsetPtr pages, lines;
  Trap(context, HandlerKind::StatusAndText, "StampaFrontespizioModIntra", [&] {
    if (!ApriOperazioneDatabase(context, false)) return;
    const CLSIN_INPUTINTRA& input = context.in();
    CLSIN_OUPUTINTRA& output = context.out();
    const Variant zero = Variant::Integer(0), one = Variant::Integer(1);

    // One page with nothing carried, and one placeholder line: the template
    // prints the sheet of the declarant's data and no line data.
    pages = NewFormPages(false);
    pages->AddNew();
    pages->SetValue("RIGA", one);
    for (size_t field = 1; field < pages->FieldCount(); ++field) pages->SetValue(field, zero);
    output.RecordsetIntraModMain = pages;

    lines = NewFormLines(false);
    lines->AddNew();
    lines->SetValue("RIGA", one);
    lines->SetValue("FOGLIO", zero);
    lines->SetValue("IMPORTO", zero);
    lines->SetValue("INDTIPODOC", zero);
    lines->SetValue("PROGRESSIVO", one);
    output.RecordsetIntraAcqCess = lines;
    lines->MoveFirst();
    lines->SetValue("RIGA", one);
    lines->SetValue("FOGLIO", one);
    lines->SetValue("IMPORTO", zero);
    lines->SetValue("INDTIPODOC", zero);
    lines->SetValue("PROGRESSIVO", one);
    output.RecordsetIntraRettifiche = lines;

    ReportObject& report = NewLaserReport(context);

    const Variant list = SeNullo(input.TipoStampa, zero);
    const bool from2010 = input.AnnoRiferimentoIntra == AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
    const bool before2010 = input.AnnoRiferimentoIntra == AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
    const char* file = nullptr;
    const char* title = nullptr;
    if (list.ToDouble() == 0) {
      title = "Modello Ministeriale Intra1 - Laser";
      file = from2010 ? "CRIN_INTRA1_LAS_2010.rpt" : before2010 ? "CRIN_INTRA1_LAS.rpt" : nullptr;
    } else if (list.ToDouble() == 1) {
      title = "Modello Ministeriale Intra2 - Laser";
      file = from2010 ? "CRIN_INTRA2_LAS_2010.rpt" : before2010 ? "CRIN_INTRA2_LAS.rpt" : nullptr;
    }
    // Another list prepares nothing; the print is asked for all the same.
    if (file != nullptr) {
      report.Prepare(title, file, context.services->ComponentFolder(), zero, Variant::Long(1));
    }
    report.Print();
    if (report.CompletionFlag() != 0) ReleaseLaserReport(context);
  });
  // The output object keeps the two recordsets; these references go.
  pages.reset();
  lines.reset();
}

}  // namespace zelmora::forms
