#include "component/connection_context.h"
#include "component/trap.h"
#include "component/value_helpers.h"
#include "movements/movement_procedures.h"

namespace zelmora::movements {

namespace {

const Variant& EmptyText() {
  static const Variant empty = Variant::String("");
  return empty;
}

// Drops what a report object holds of ours, then the object itself.
void ReleaseReport(ReportObjectPtr& report) {
  report->SetConnection(nullptr);
  report->SetActiveInterface(nullptr);
  report->SetRecordset(nullptr);
  report->Release();
  report.reset();
}

}  // namespace

void StampaIntra(IntraContext& context) noexcept {
  Trap(context, HandlerKind::SilentStatus, "StampaIntra", [&] {
    // The journal leaves the previous status in place when it succeeds.
    if (!ApriOperazioneDatabase(context, false)) return;
    const CLSIN_INPUTINTRA& input = context.in();

    // A text already there (the host's own, or the one GeneraRecordsetIntra
    // left) is printed as it is, whatever the filters say now.
    const Variant& stored = context.out().StringaSQLperStampaIntra;
    if (stored.IsEmpty() || (stored.type() == VarType::String && stored.AsString().empty())) {
      DefinisciStringaSQLPerIntra(context);
    }

    if (context.PclsReport) ReleaseReport(context.PclsReport);
    context.PclsReport = context.services->NewReport("PclsReport");
    ReportObject& report = *context.PclsReport;
    IntraContext* owner = &context;
    report.OnBeforePrintReport([owner](bool& cancel, CrepReport& crepReport, const ObjectPtr& crepApp) {
      PclsReport_BeforePrintReport(*owner, cancel, crepReport, crepApp);
    });

    report.SetActiveInterface(context.ActiveInterface);
    report.SetUserObject(input.UserObject);
    report.SetConnection(context.Connessione);
    report.SetNomeServer(SeNullo(input.NomeServer, EmptyText()).ToString());
    report.SetNomeDataBase(SeNullo(input.NomeDataBase, EmptyText()).ToString());
    report.SetNomeUtenteDb(SeNullo(input.NomeUtenteDb, EmptyText()).ToString());
    report.SetNomePasswordDb(SeNullo(input.NomePasswordDb, EmptyText()).ToString());
    // An empty window handle does not convert: the print stops here.
    report.SetRhwndParent(SeNullo(input.RhwndParent, EmptyText()).ToLong());
    report.SetSQL(context.out().StringaSQLperStampaIntra.ToString());
    report.Prepare("Stampa Brogliaccio Movimenti Intra ", "CRIN_INTRA.rpt", context.services->ComponentFolder(),
                   Variant::Integer(0), Variant::Long(2));
    report.Print();

    // A report that has finished needs nothing more of ours; one that has
    // not is kept until the next print or the end of the business object.
    if (report.CompletionFlag() != 0) ReleaseReport(context.PclsReport);
  });
}

}  // namespace zelmora::movements
