// The business object's movement operations, handed to the subsystem.
#include "component/clsin_intrabo.h"
#include "movements/movement_procedures.h"

namespace zelmora {

void CLSIN_INTRABO::GeneraRecordsetIntra() { movements::GeneraRecordsetIntra(*ctx_); }
void CLSIN_INTRABO::StampaIntra() { movements::StampaIntra(*ctx_); }
bool CLSIN_INTRABO::CancellaMovimentiIntra() { return movements::CancellaMovimentiIntra(*ctx_); }
void CLSIN_INTRABO::GeneraRecordsetIntraPerInterrogazione() { movements::GeneraRecordsetIntraPerInterrogazione(*ctx_); }

}  // namespace zelmora
