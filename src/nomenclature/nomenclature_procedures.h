// The nomenclature checks: which declaration lines carry a goods or
// services code that the code table does not hold for the line's reference
// year. The check is derived from the complete declaration statement by
// rewriting its text, so that it groups the same lines, split again by
// accounting reason and registration, and keeps those whose code has no
// row in the code table of the year that applies.
//
// Every procedure traps its own failures with the status-and-text handler
// under its own name and returns normally.
#pragma once

#include <string>

#include "component/intra_context.h"
#include "platform/recordset.h"

namespace zelmora::nomenclature {

// The error check for the list and period of CInput into
// COutput.StringaSQLErroriNomenclatura (first the declaration statement is
// rebuilt; "" is left there when that rebuild or the rewrite fails).
void DefinisciStringaPerErroriNomenclatureSuModulo(IntraContext& context) noexcept;

// Runs the check and returns the lines in error; nullptr when the company
// or the connection string is missing (Stato 1) or after a trapped failure.
RecordsetPtr GeneraRstErroriNomenclatura(IntraContext& context) noexcept;

// The declaration lines of CInput's list and period for the host's own
// form printing, staged in session temporary tables of the component's
// connection: when some line carries a code not valid for its reference
// year only those lines come back, with ERRORE 1; otherwise every line,
// with ERRORE 0. Columns ERRORE, FAKEID, then the declaration's. An
// updatable client-side recordset on its first row; nullptr when the
// company or the connection string is missing (Stato 1) or after a trapped
// failure.
RecordsetPtr GeneraRstDatiModuloStampe(IntraContext& context) noexcept;

// For the telematic submission: the same two results for the list of
// CInput.TipoStampa (0 sales, 1 purchases) or for both lists (2), each list
// with the company's own periodicity. TipoStampa is restored on return.
// The error check is trapped silently (Stato 99); the form data with the
// status-and-text handler.
RecordsetPtr GeneraRstErroriNomenclaturaInvioTelematico(IntraContext& context) noexcept;
RecordsetPtr GeneraRstDatiNomenclaturaInvioTelematico(IntraContext& context) noexcept;


// The rewrite itself, from a complete declaration statement and the number
// the synthetic keys continue from.
std::string ErrorCheckStatement(std::string declaration, int maxProgr);

}  // namespace zelmora::nomenclature
