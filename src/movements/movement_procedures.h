// The movement subsystem: the movement list and its SQL, the browsing list,
// the movement journal print job and the deletion of one registration's
// Intrastat document. Each procedure takes the business object's state and
// reports its own failures in Stato and Errore; none throws.
#pragma once

#include "component/intra_context.h"
#include "platform/object.h"
#include "platform/report.h"

namespace zelmora::movements {

// Builds the movement list's SQL from the filters of CInput into
// COutput.StringaSQLperStampaIntra (left as it was when a filter fails).
void DefinisciStringaSQLPerIntra(IntraContext& context) noexcept;

// Runs the movement list into COutput.RecordsetIntra, with its SQL in
// COutput.StringaSQLperStampaIntra; sets CInput.TipoElaborazione to
// "Interrogazione", which lists goods and services alike.
void GeneraRecordsetIntra(IntraContext& context) noexcept;

// Runs the browsing list (one row per document) into
// COutput.RecordsetIntraInterrogazione.
void GeneraRecordsetIntraPerInterrogazione(IntraContext& context) noexcept;

// Prints the movement journal over COutput.StringaSQLperStampaIntra (built
// first when empty) through a new report object held in PclsReport.
void StampaIntra(IntraContext& context) noexcept;

// The journal report's BeforePrintReport: the template's parameter fields
// from the filters and headings of the run.
void PclsReport_BeforePrintReport(IntraContext& context, bool& cancel, CrepReport& crepReport,
                                  const ObjectPtr& crepApp) noexcept;

// Deletes the Intrastat lines, then the header, of registration
// CInput.NumeroRegistrazione; true when both statements ran.
bool CancellaMovimentiIntra(IntraContext& context) noexcept;

}  // namespace zelmora::movements
