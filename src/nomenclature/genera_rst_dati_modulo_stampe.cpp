#include "component/connection_context.h"
#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "nomenclature/form_data_statements.h"
#include "nomenclature/nomenclature_procedures.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::nomenclature {

namespace {

constexpr int32_t kCursorKeyset = 1;
constexpr int32_t kLockOptimistic = 3;

}  // namespace

RecordsetPtr GeneraRstDatiModuloStampe(IntraContext& context) noexcept {
  RecordsetPtr result;
  Trap(context, HandlerKind::StatusAndText, "GeneraRstDatiModuloStampe", [&] {
    if (!ApriOperazioneDatabase(context, true)) return;
    declaration::BuildDeclarationStatement(context);
    const int maxProgr = context.in().MaxProgrDatiInvio;
    Connection& connection = context.connection();
    connection.Execute(FormTableStatement(context.out().StringaSQLperStampaIntra.Text(), maxProgr), kCmdText);
    connection.Execute(NomenclatureYearTableStatement(context.StringaSQLModuloCompleta, maxProgr), kCmdText);

    // The check rebuilds the declaration statement; a failure there leaves
    // an empty check, which fails here.
    DefinisciStringaPerErroriNomenclatureSuModulo(context);
    connection.Execute(FlagErrorsBatch(context.out().StringaSQLErroriNomenclatura.Text()), kCmdText);

    auto rs = std::make_shared<Recordset>();
    rs->Open(FormResultQuery("", false), context.Connessione, kCursorKeyset, kLockOptimistic);
    if (!rs->EOF() && !rs->BOF()) {
      rs->MoveFirst();
      while (!rs->EOF()) {
        if (telematic::IsNumber(rs->Value("IN02_INDOPER"), 1)) telematic::CompleteMergedServiceLine(context, *rs);
        rs->MoveNext();
      }
      rs->MoveFirst();
    }
    result = rs;
  });
  return result;
}

}  // namespace zelmora::nomenclature
