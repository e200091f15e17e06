// The French declaration file of a company kept under the French
// localisation: a header record, then one record per goods line of the
// sales and purchases lists (telematic/french_records.h).
#pragma once

#include "component/intra_context.h"
#include "platform/variant.h"

namespace zelmora::telematic {

// Writes the file named by FolderFileIntraWeb and PathFileIntraWeb
// (`PathFile` is accepted and not used). Does not reset Stato; failures
// are reported with the status-and-text handler. NumRecStpModIntra holds
// the line count of the last list run.
void PreparaTracciatoPerLocalizzazioneFrancese(IntraContext& context, const Variant& PathFile) noexcept;

}  // namespace zelmora::telematic
