// Printing on forms: the in-memory recordsets that the pre-printed and the
// laser forms are printed from, and the one procedure that copies a
// declaration line into a form line.
//
// The preparations keep their working state (source, lines, pages and the
// per-section counters) in the business object's FormState between their
// steps; each run starts it again. Every procedure traps its own failures
// with the status-and-text handler under its own name.
#pragma once

#include "component/intra_context.h"
#include "platform/recordset.h"

namespace zelmora::forms {

// Copies the current row of the form source into the current row of the
// form lines, renamed as the templates name the columns, with the amounts
// in whole units. Neither cursor moves.
void MemorizzaRecordModIntra(IntraContext& context) noexcept;

// The pre-printed form of COutput.StringaSQLperStampaIntra: goods lines in
// blocks of 10 (two to a page), correction lines 7 to a page, filler lines
// to complete the pages, and one page row with the carried totals; into
// COutput.RecordsetIntraModMain, RecordsetIntraAcqCess and
// RecordsetIntraRettifiche.
void PreparaRecodsetPerStampaSuModulo(IntraContext& context) noexcept;
// In the interface for the hosts that call it; it has nothing to do, as
// the host prints the pre-printed form from the recordsets above.
void StampaIntraSuModulo(IntraContext& context) noexcept;

// The laser form: every section (goods, services and their corrections)
// numbered on its own pages, and the page rows of the section that
// CInput.PagineModLas names with its totals.
void PreparaRecodsetPerStampaSuModuloLaser(IntraContext& context) noexcept;

// The form-lines recordset, new and open: the 40 columns of the printed
// form line, then, when `laser`, the 9 of the laser form's services data.
RecordsetPtr NewFormLines(bool laser);
// The form-pages recordset, new and open: page number and the carried
// totals of the goods and correction blocks, then, when `laser`, those of
// the services sections.
RecordsetPtr NewFormPages(bool laser);

}  // namespace zelmora::forms
