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
#include <string>

#include "platform/recordset.h"
#include "platform/report.h"

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

// Prints one section of the laser form (CInput.PagineModLas: 1 the first
// page, 2 bis, 3 ter, 4 quater, 5 quinquies) through a new report object
// held in PclsRepLas, with the section's template, title and formulas.
void StampaIntraSuModuloLaser(IntraContext& context) noexcept;
// The laser report's BeforePrintReport: binds the line recordsets to the
// template's two subreports and sets its parameter fields (declarant,
// delegate, period, counters and totals).
void PclsRepLas_BeforePrintReport(IntraContext& context, bool& cancel, CrepReport& crepReport,
                                  const ObjectPtr& crepApp) noexcept;
// Prints the cover page of the laser form: one placeholder line, no totals.
void StampaFrontespizioModIntra(IntraContext& context) noexcept;

// The lines the laser form lays out: those with an amount (and, in a
// monthly list, a statistical value) or a correction that is not zero.
std::string LaserLinesFilter(const CLSIN_INPUTINTRA& input);

// Releases the report object held in PclsRepLas (dropping what it holds of
// ours first), then holds a new one whose event reaches the handler above,
// given the connection, the active interface, the page rows of
// RecordsetIntraModMain, the user object, the parent window and the
// database login of the input.
ReportObject& NewLaserReport(IntraContext& context);
void ReleaseLaserReport(IntraContext& context);
// A variant assigned to a text property: Empty gives "", Null fails (94).
std::string AssignedText(const Variant& value);
// A total as the forms show it: a whole number with thousands separators
// ("###,###,###,##0"), e.g. 1234567.5 gives "1.234.568".
std::string FormatWholeAmount(const Variant& amount);

// The form-lines recordset, new and open: the 40 columns of the printed
// form line, then, when `laser`, the 9 of the laser form's services data.
RecordsetPtr NewFormLines(bool laser);
// The form-pages recordset, new and open: page number and the carried
// totals of the goods and correction blocks, then, when `laser`, those of
// the services sections.
RecordsetPtr NewFormPages(bool laser);

}  // namespace zelmora::forms
