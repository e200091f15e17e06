// The database connection and the company context of the business object,
// and the opening steps shared by the operations that read the database.
#pragma once

#include "component/intra_context.h"

namespace zelmora {

// Opens the component's connection, or adopts the one the host passed in
// CInput.Connessione; once a connection is held (even one that failed to
// open) it is reused for the life of the object.
void CreaConnessione(IntraContext& context) noexcept;

// Rebuilds the company objects from the host framework's company factory:
// the company data object (kind 4) with the objects of kinds 18 and 5
// attached to it.
void CreaClasseDittaBase(IntraContext& context) noexcept;

// The opening of every public operation that reads the database: Stato := 0
// (when `resetStato`), then Stato := 1 and false when the company code or
// the connection string is empty, else CreaConnessione and true.
bool ApriOperazioneDatabase(IntraContext& context, bool resetStato);

}  // namespace zelmora
