#include "platform/report.h"

#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

namespace {

// Sets a named entry of a template list: a name set again keeps its place
// and takes the new value, as setting a template's field twice does.
template <class T>
void SetNamed(std::vector<std::pair<std::string, T>>& list, std::string_view name, T value) {
  for (auto& [existing, held] : list) {
    if (EqualsIgnoreCase(existing, name)) {
      held = std::move(value);
      return;
    }
  }
  list.emplace_back(std::string(name), std::move(value));
}

}  // namespace

void CrepReport::DeclareSubreports(std::string_view names) {
  BeforeCall("DeclareSubreports");
  job_.declaredSubreports = std::string(names);
}

void CrepReport::BindSubreport(std::string_view name, const RecordsetPtr& recordset) {
  BeforeCall("BindSubreport");
  SetNamed(job_.boundSubreports, name, recordset);
}

void CrepReport::SetParameterField(std::string_view name, const Variant& value) {
  BeforeCall("ParameterField");
  SetNamed(job_.parameters, name, value);
}

void CrepReport::SetFormula(std::string_view name, std::string_view text) {
  BeforeCall("TemplateFormula");
  SetNamed(job_.formulas, name, std::string(text));
}

ReportObject::ReportObject(std::string member) : job_(std::make_shared<PrintJob>()) {
  job_->member = std::move(member);
}

ReportObject::~ReportObject() = default;

void ReportObject::Record(std::string name, std::vector<Variant> args) {
  // A released report object is gone for its holder: anything asked of it
  // afterwards is a call through a reference that holds nothing.
  if (job_->released) throw Error::ObjectNotSet();
  if (name != "Release") BeforeCall(name);
  job_->calls.push_back({std::move(name), std::move(args)});
}

void ReportObject::SetActiveInterface(const ObjectPtr& value) {
  Record("ActiveInterface", {Variant::Obj(value)});
  activeInterface_ = value;
}

void ReportObject::SetUserObject(const Variant& value) { Record("UserObject", {value}); }

void ReportObject::SetConnection(const ConnectionPtr& value) {
  Record("Connection", {Variant::Obj(value)});
  connection_ = value;
}

void ReportObject::SetNomeServer(const std::string& value) { Record("NomeServer", {Variant::String(value)}); }

void ReportObject::SetNomeDataBase(const std::string& value) {
  Record("NomeDataBase", {Variant::String(value)});
}

void ReportObject::SetNomeUtenteDb(const std::string& value) {
  Record("NomeUtenteDb", {Variant::String(value)});
}

void ReportObject::SetNomePasswordDb(const std::string& value) {
  Record("NomePasswordDb", {Variant::String(value)});
}

void ReportObject::SetRhwndParent(int32_t value) { Record("RhwndParent", {Variant::Long(value)}); }

void ReportObject::SetSQL(const std::string& value) {
  Record("SQL", {Variant::String(value)});
  job_->sql = value;
}

void ReportObject::SetRecordset(const RecordsetPtr& value) {
  Record("Recordset", {Variant::Obj(value)});
  // The job keeps the data the report was given; setting Nothing before the
  // release (as the component does) is recorded as a call but leaves the
  // record of what was printed.
  if (value) job_->recordset = value;
}

void ReportObject::Prepare(const std::string& title, const std::string& templateFile,
                           const std::string& templateFolder, const Variant& value1, const Variant& value2) {
  Record("Prepare", {Variant::String(title), Variant::String(templateFile), Variant::String(templateFolder),
                     value1, value2});
}

void ReportObject::SetFormula(const std::string& name, const std::string& text) {
  Record("Formula", {Variant::String(name), Variant::String(text)});
  SetNamed(job_->formulas, name, text);
}

void ReportObject::Print() {
  Record("Print", {});
  bool cancel = false;
  if (beforePrint_) {
    CrepReport report(*job_, [this](std::string_view name) { BeforeCall(name); });
    try {
      beforePrint_(cancel, report, nullptr);
    } catch (const Error&) {
      // An event handler's failure is its own: the report prints with what
      // the handler set before it failed.
    }
  }
  if (!cancel) job_->printed = true;
}

void ReportObject::Release() {
  Record("Release", {});
  job_->released = true;
  activeInterface_.reset();
  connection_.reset();
  // The handler belongs to the holder that subscribed; dropping it breaks
  // any reference cycle through the holder.
  beforePrint_ = nullptr;
}

}  // namespace zelmora
