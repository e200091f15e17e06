#include "component/connection_context.h"
#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "declaration/declaration_statement.h"
#include "declaration/french_procedures.h"
#include "declaration/french_statements.h"

namespace zelmora::declaration {

namespace {

constexpr int32_t kCursorKeyset = 1;
constexpr int32_t kLockOptimistic = 3;

}  // namespace

RecordsetPtr GeneraRstDatiLocalizzazioneFrancese(IntraContext& context) noexcept {
  RecordsetPtr result;
  Trap(context, HandlerKind::SilentStatus, "GeneraRstDatiLocalizzazioneFrancese", [&] {
    CLSIN_INPUTINTRA& input = context.in();
    input.MaxProgrDatiInvio = 0;
    if (!ApriOperazioneDatabase(context, true)) return;
    CreaClasseDittaBase(context);
    const Variant entryTipoStampa = input.TipoStampa;
    const bool both = EqualsNumber(entryTipoStampa, 2);
    Connection& connection = context.connection();
    const int32_t noRecords = kCmdText | kExecuteNoRecords;
    for (int list = 0; list < (both ? 2 : 1); ++list) {
      SelectListForPass(context, entryTipoStampa, list);
      BuildDeclarationStatement(context);
      connection.Execute(DropFrenchResultStatement(), noRecords);
      connection.Execute(FrenchLinesStatement(context.out().StringaSQLperStampaIntra.Text()), noRecords);
      if (!both) {
        connection.Execute(FrenchNumberedStatement(false), noRecords);
      } else if (list == 0) {
        connection.Execute(FrenchGatherFirstStatement(), noRecords);
      } else {
        connection.Execute(FrenchGatherSecondStatement(), noRecords);
        connection.Execute(FrenchNumberedStatement(true), noRecords);
      }
    }
    auto rs = std::make_shared<Recordset>();
    rs->Open(FrenchResultQuery(), context.Connessione, kCursorKeyset, kLockOptimistic);
    input.TipoStampa = entryTipoStampa;
    result = rs;
  });
  return result;
}

}  // namespace zelmora::declaration
