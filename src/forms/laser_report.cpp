// The laser forms' report object: one per print, held in PclsRepLas with
// its BeforePrintReport handled by the business object.
#include "forms/form_procedures.h"

namespace zelmora::forms {

void ReleaseLaserReport(IntraContext& context) {
  if (!context.PclsRepLas) return;
  ReportObject& report = *context.PclsRepLas;
  report.SetConnection(nullptr);
  report.SetActiveInterface(nullptr);
  report.SetRecordset(nullptr);
  report.Release();
  context.PclsRepLas.reset();
}

ReportObject& NewLaserReport(IntraContext& context) {
  ReleaseLaserReport(context);
  context.PclsRepLas = context.services->NewReport("PclsRepLas");
  IntraContext* owner = &context;
  context.PclsRepLas->OnBeforePrintReport([owner](bool& cancel, CrepReport& crepReport, const ObjectPtr& crepApp) {
    PclsRepLas_BeforePrintReport(*owner, cancel, crepReport, crepApp);
  });
  ReportObject& report = *context.PclsRepLas;
  const CLSIN_INPUTINTRA& input = context.in();
  report.SetConnection(context.Connessione);
  report.SetActiveInterface(context.ActiveInterface);
  report.SetRecordset(context.out().RecordsetIntraModMain);
  report.SetUserObject(input.UserObject);
  report.SetRhwndParent(input.RhwndParent.ToLong());
  report.SetNomeServer(AssignedText(input.NomeServer));
  report.SetNomeDataBase(AssignedText(input.NomeDataBase));
  report.SetNomeUtenteDb(AssignedText(input.NomeUtenteDb));
  report.SetNomePasswordDb(AssignedText(input.NomePasswordDb));
  return report;
}

std::string AssignedText(const Variant& value) {
  // Assigning a variant to a text property: Empty is "", Null fails.
  if (value.IsNull()) throw Error::InvalidUseOfNull();
  return value.Text();
}

}  // namespace zelmora::forms
