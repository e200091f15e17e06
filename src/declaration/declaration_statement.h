// The text of the declaration-lines statement, composed from settings that
// were read from the input object beforehand: a pure function, shared by the
// single-company and the multi-activity builders.
//
// Shape of the statement: an outer aggregation over the UNION ALL of
//   branch A, lines with a partner (IN02_INDTIPODATI <> 2), with the
//     corrected value of service corrections (RETTIFICA, RETTIFICAVAL);
//   branch B, statistical-only lines without a partner (IN02_INDTIPODATI = 2);
// the outer query merges the journal sections and orders the lines.
// Later rewrites search the text for exact pieces (the reference-year column
// and its CR, "SELECT IN01_DITTA_CG18,", "GROUP BY IN01_DITTA_CG18,",
// "AS IN01_DITTA_CG18,", "AS RETTIFICAVAL", "MAX(RETTIFICAVAL) AS
// RETTIFICAVAL", "ORDER BY"), so those pieces are kept exactly.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "component/intra_context.h"

namespace zelmora::declaration {

struct DeclarationSettings {
  std::string company;              // text of CInput.Ditta
  int periodKind = 0;               // 1 monthly, 2 quarterly, 3 annual, 0 any other
  int year = 0;                     // Anno; read for kinds 1 to 3 only
  int period = 0;                   // PeriodoStampa, the month that ends the period
  bool changedPeriodicity = false;  // CambioPeriodicita
  bool purchases = false;           // TipoStampa = 1
  bool mergeServices = false;       // AccorpaArt23
  bool french = false;              // the current company has the French localisation
  bool errorKeys = false;           // French and GestioneErrori: one line per movement line
  // The value after " AND IN02_INDOPER = ", or nothing for no operation filter.
  std::optional<std::string> operationFilter;
  // The 2022 writer's statement: each line also gives the nature's column B
  // of its movements (ZL01_NATURAB, '?' when they disagree).
  bool natureColumnB = false;
  // Multi-activity: gives the IN list of the companies, asked once per
  // inner branch. Empty function for a single company.
  std::function<std::string()> linkedCompanies;
};

struct DeclarationStatement {
  std::string complete;      // with NOMENCLATURA_ANNORIF (StringaSQLModuloCompleta)
  std::string published;     // without it (COutput.StringaSQLperStampaIntra)
  std::string wherePeriodo;  // the period condition alone (CInput.StrWherePeriodo)
};

// Reads the settings from CInput and from the current company's
// localisation on the active interface. Throws the runtime's errors for
// values that do not convert (and 91 when the active interface is missing).
DeclarationSettings ReadDeclarationSettings(IntraContext& context);

// Composes the statement. Throws only when a period date does not exist
// (a year outside 100..9999).
DeclarationStatement ComposeDeclarationStatement(const DeclarationSettings& settings);

// The runtime's comparison of a Variant with an integer literal: Null is
// never equal, Empty is 0, text is converted to a number (error 13 when it
// is not one).
bool EqualsNumber(const Variant& value, int number);

// Reads the settings, composes the statement and publishes it in the
// context; `linked` makes it the multi-activity statement.
void ComposeIntoContext(IntraContext& context, bool linked);

}  // namespace zelmora::declaration
