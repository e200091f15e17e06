// The French declaration of trade in goods between member states, for a
// company kept under the French localisation: its declaration lines as an
// editable recordset, and the country lookup its file uses (the file itself
// is written by telematic/french_file.h).
#pragma once

#include <cstdint>
#include <string>

#include "component/intra_context.h"
#include "platform/recordset.h"
#include "platform/variant.h"

namespace zelmora::declaration {

// The declaration lines of the list (or both lists) in #DATIMODULOSTAMPE3,
// behind five working columns for the host; nullptr (Stato 99) on failure.
RecordsetPtr GeneraRstDatiLocalizzazioneFrancese(IntraContext& context) noexcept;

// The two-letter ISO code of a country of the country table; "" when the
// table has no such country or the lookup fails (reported in Stato/Errore).
std::string DecodificaPaeseISO(IntraContext& context, int16_t code) noexcept;

}  // namespace zelmora::declaration
