// The declaration lines: the statement that groups a company's Intrastat
// movements of one period into the lines of the INTRA-1 (sales) or INTRA-2
// (purchases) list, with the corrected values of service corrections, and
// its twin over a group of linked companies declared under one code.
//
// The builders run no SQL. Each leaves the statement without the
// reference-year column in COutput.StringaSQLperStampaIntra, the complete
// statement (with NOMENCLATURA_ANNORIF) in the private member
// StringaSQLModuloCompleta, and the period condition alone in
// CInput.StrWherePeriodo. Failures are trapped with the status-and-text
// handler under each procedure's own name.
#pragma once

#include "component/intra_context.h"
#include "platform/variant.h"

namespace zelmora::declaration {

// The statement for the company CInput.Ditta alone.
void DefinisciStringaPerIntraSuModulo(IntraContext& context) noexcept;

// The statement over the company's linked companies, every line carrying
// the declaring company's code. Asks GetDitteCollegate once per branch.
void DefinisciStringaPerIntraSuModuloPiuAttivita(IntraContext& context) noexcept;

// The codes of the companies that make up the declaration, as the text that
// goes between the parentheses of an IN list, from the host's
// linked-companies service. Empty when the service fails: Stato is then 0
// and Errore the service's own text.
Variant GetDitteCollegate(IntraContext& context) noexcept;

// What every consumer of the declaration lines does: the single-company
// builder when SeNullo(CInput.CheckPiuAttivita, 0) is 0, the multi-activity
// one otherwise. Throws only when CInput is missing or CheckPiuAttivita is a
// text that is not a number (the consumer's handler reports it).
void BuildDeclarationStatement(IntraContext& context);

// One pass of the operations that cover the sales list, the purchases list
// or both: with TipoStampa 2 on entry, pass 0 selects sales and pass 1
// purchases; then TipoIntra takes the company's periodicity of the selected
// list (0 when the company has none). Any other list leaves TipoIntra alone.
void SelectListForPass(IntraContext& context, const Variant& entryTipoStampa, int pass);

}  // namespace zelmora::declaration
