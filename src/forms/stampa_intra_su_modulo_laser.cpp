#include <string>

#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"
#include "declaration/declaration_procedures.h"
#include "forms/form_procedures.h"

namespace zelmora::forms {

namespace {

struct LaserTemplate {
  const char* file;
  const char* title;
  int32_t kind;  // 1 the declaration's first page, 2 a section's pages
};

// The template of one list (0 sales, 1 purchases) and section (1 first
// page, 2 bis, 3 ter, 4 quater, 5 quinquies); the forms before 2010 have
// no services sections.
const LaserTemplate* TemplateFor(bool from2010, int32_t list, int32_t section) {
  static const LaserTemplate kFrom2010[2][5] = {
      {{"CRIN_INTRA1_LAS_2010.rpt", "Modello Intra1 - Laser", 1},
       {"CRIN_INTRA1_BIS_LAS_2010.rpt", "Modello Intra1 Bis - Laser", 2},
       {"CRIN_INTRA1_TER_LAS_2010.rpt", "Modello Intra1 Ter - Laser", 2},
       {"CRIN_INTRA1_QUATER_LAS_2010.rpt", "Modello Intra1 Quater - Laser", 2},
       {"CRIN_INTRA1_QUINQUIES_LAS_2010.rpt", "Modello Intra1 Quinquies - Laser", 2}},
      {{"CRIN_INTRA2_LAS_2010.rpt", "Modello Intra2 - Laser", 1},
       {"CRIN_INTRA2_BIS_LAS_2010.rpt", "Modello Intra2 Bis - Laser", 2},
       {"CRIN_INTRA2_TER_LAS_2010.rpt", "Modello Intra2 Ter - Laser", 2},
       {"CRIN_INTRA2_QUATER_LAS_2010.rpt", "Modello Intra2 Quater - Laser", 2},
       {"CRIN_INTRA2_QUINQUIES_LAS_2010.rpt", "Modello Intra2 Quinquies - Laser", 2}}};
  static const LaserTemplate kBefore2010[2][3] = {
      {{"CRIN_INTRA1_LAS.rpt", "Modello Intra1 - Laser", 1},
       {"CRIN_INTRA1_BIS_LAS.rpt", "Modello Intra1 Bis - Laser", 2},
       {"CRIN_INTRA1_TER_LAS.rpt", "Modello Intra1 Ter - Laser", 2}},
      {{"CRIN_INTRA2_LAS.rpt", "Modello Intra2 - Laser", 1},
       {"CRIN_INTRA2_BIS_LAS.rpt", "Modello Intra2 Bis - Laser", 2},
       {"CRIN_INTRA2_TER_LAS.rpt", "Modello Intra2 Ter - Laser", 2}}};
  if (list != 0 && list != 1) return nullptr;
  if (from2010) return section >= 1 && section <= 5 ? &kFrom2010[list][section - 1] : nullptr;
  return section >= 1 && section <= 3 ? &kBefore2010[list][section - 1] : nullptr;
}

// The section's name as the form heads it.
std::string SectionLabel(int32_t list, int32_t section) {
  static const char* const kSuffix[] = {"", " Bis", " Ter", " Quater", " Quinquies"};
  if ((list != 0 && list != 1) || section < 1 || section > 5) return "";
  return std::string(list == 0 ? "INTRA-1" : "INTRA-2") + kSuffix[section - 1];
}

bool Is(const Variant& value, double number) {
  return !value.IsEmptyOrNull() && value.IsNumeric() && value.ToDouble() == number;
}

// The declarant or the delegate as the form names them: the company name,
// or surname and first name.
std::string Person(const Variant& company, const Variant& surname, const Variant& name) {
  const Variant empty = Variant::String("");
  const std::string text = SeNullo(company, empty).ToString();
  if (!text.empty()) return text;
  return SeNullo(surname, empty).ToString() + " " + SeNullo(name, empty).ToString();
}

}  // namespace

void StampaIntraSuModuloLaser(IntraContext& context) noexcept {
  Trap(context, HandlerKind::SilentStatus, "StampaIntraSuModuloLaser", [&] {
    // The print leaves the previous status in place when it succeeds.
    if (!ApriOperazioneDatabase(context, false)) return;
    const CLSIN_INPUTINTRA& input = context.in();
    CLSIN_OUPUTINTRA& output = context.out();
    const Variant zero = Variant::Integer(0);
    if (SeNullo(input.CheckPiuAttivita, zero).ToDouble() == 0) {
      declaration::DefinisciStringaPerIntraSuModulo(context);
    } else {
      declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(context);
    }
    PreparaRecodsetPerStampaSuModuloLaser(context);

    // A preparation that found nothing to lay out leaves the page rows of
    // the last one in place, and those are printed.
    if (!output.RecordsetIntraModMain) {
      context.Stato = 1;
      context.Errore = Variant::String("Non ci sono record");
      return;
    }
    const int32_t pages = output.RecordsetIntraModMain->RecordCount();
    context.NumRecStpModIntra = Variant::Long(pages);
    if (pages == 0) return;

    ReportObject& report = NewLaserReport(context);

    const int32_t list = SeNullo(input.TipoStampa, zero).ToLong();
    const int32_t section = SeNullo(input.PagineModLas, zero).ToLong();
    const bool from2010 = input.AnnoRiferimentoIntra != AnnoRiferimentoIntraEnum{};
    if (const LaserTemplate* chosen = TemplateFor(from2010, list, section)) {
      report.Prepare(chosen->title, chosen->file, context.services->ComponentFolder(), zero,
                     Variant::Long(chosen->kind));
    }

    report.SetFormula("ANNOFISC", SeNullo(input.Anno, zero).ToString());
    if (Is(input.TipoIntra, 1)) {
      report.SetFormula("RIFMESE", SeNullo(input.PeriodoStampa, zero).ToString());
    } else if (Is(input.TipoIntra, 2)) {
      report.SetFormula("RIFTRIMES", "Trimetre: " + Divide(input.PeriodoStampa, Variant::Integer(3)).Text());
    }
    report.SetFormula("SOGGOBBL", Person(input.RagSocFisc, input.Cognome, input.Nome));
    report.SetFormula("SOGGDEL", Person(input.RagSocDeleg, input.CognomeDeleg, input.NomeDeleg));
    report.SetFormula("TIPO", SectionLabel(list, section));

    report.Print();
    if (report.CompletionFlag() != 0) ReleaseLaserReport(context);
  });
}

}  // namespace zelmora::forms
