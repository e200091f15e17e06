#include "platform/error.h"
#include "platform/report_pdf/report_templates.h"
#include "platform/text_util.h"

namespace zelmora::pdf {

ReportView::ReportView(const PrintJob& job) : job_(job) {
  for (const PrintJob::Call& call : job.calls) {
    if (call.name == "Prepare" && call.args.size() >= 2) {
      title_ = call.args[0].Text();
      templateFile_ = call.args[1].Text();
    }
  }
}

std::string ReportView::Parameter(std::string_view name) const {
  for (const auto& [field, value] : job_.parameters) {
    if (EqualsIgnoreCase(field, name)) return CellText(value);
  }
  return "";
}

std::string ReportView::Formula(std::string_view name) const {
  for (const auto& [formula, text] : job_.formulas) {
    if (EqualsIgnoreCase(formula, name)) return text;
  }
  return "";
}

RecordsetPtr ReportView::Subreport(std::string_view name) const {
  for (const auto& [subreport, recordset] : job_.boundSubreports) {
    if (EqualsIgnoreCase(subreport, name)) return recordset;
  }
  return nullptr;
}

std::string CellText(const Variant& value) {
  if (value.IsEmptyOrNull() || value.IsObject()) return "";
  if (value.type() == VarType::Boolean) return value.AsBoolean() ? "Sì" : "No";
  return value.ToString();
}

}  // namespace zelmora::pdf
