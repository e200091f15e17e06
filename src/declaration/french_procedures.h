// The French declaration of trade in goods between member states, for a
// company kept under the French localisation: the fixed-width file (a
// header record, then one record per goods line of the sales and purchases
// lists) and the same declaration lines as an editable recordset.
#pragma once

#include <cstdint>
#include <string>

#include "component/intra_context.h"
#include "platform/recordset.h"
#include "platform/variant.h"

namespace zelmora::declaration {

// Writes the file named by FolderFileIntraWeb and PathFileIntraWeb
// (`PathFile` is accepted and not used). Does not reset Stato; failures
// are reported with the status-and-text handler. NumRecStpModIntra holds
// the line count of the last list run.
void PreparaTracciatoPerLocalizzazioneFrancese(IntraContext& context, const Variant& PathFile) noexcept;

// The declaration lines of the list (or both lists) in #DATIMODULOSTAMPE3,
// behind five working columns for the host; nullptr (Stato 99) on failure.
RecordsetPtr GeneraRstDatiLocalizzazioneFrancese(IntraContext& context) noexcept;

// The two-letter ISO code of a country of the country table; "" when the
// table has no such country or the lookup fails (reported in Stato/Errore).
std::string DecodificaPaeseISO(IntraContext& context, int16_t code) noexcept;

}  // namespace zelmora::declaration
