// The host framework's report object. A print operation sets it up (active
// interface, user object, connection, log-on data, parent window, SQL text
// or recordset), prepares it with a title and a template, and prints. Just
// before printing it raises BeforePrintReport(Cancel, CrepReport, CrepApp)
// once; the handler fills the template's parameter fields and subreports
// through CrepReport.
//
// Everything asked of a report object is recorded in its PrintJob, in
// order, so that a caller (the host, its report engine, a test) sees
// exactly what would be printed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "zelmora/connection.h"
#include "zelmora/object.h"
#include "zelmora/recordset.h"
#include "zelmora/variant.h"

namespace zelmora {

// Everything asked of one report object, in order: what a host prints.
struct PrintJob {
  struct Call {  // one operation asked of the report object, with its arguments
    std::string name;
    std::vector<Variant> args;
  };
  std::string member;                                    // "PclsReport" or "PclsRepLas"
  std::vector<Call> calls;                               // every operation, in order
  std::vector<std::pair<std::string, std::string>> formulas;    // in the order set
  std::vector<std::pair<std::string, Variant>> parameters;      // in the order set
  std::string declaredSubreports;                        // as given ("A;B")
  std::vector<std::pair<std::string, RecordsetPtr>> boundSubreports;
  RecordsetPtr recordset;
  std::string sql;
  bool printed = false;
  bool released = false;
};

// The template's report handed to BeforePrintReport.
class CrepReport : public Object {
 public:
  // `beforeCall` is told the name of each operation before it is made (it
  // may fail it, as the host's template object can fail any of them).
  explicit CrepReport(PrintJob& job, std::function<void(std::string_view)> beforeCall = nullptr)
      : job_(job), beforeCall_(std::move(beforeCall)) {}
  std::string_view Kind() const override { return "CrepReport"; }
  void DeclareSubreports(std::string_view names);  // names separated by ";"
  void BindSubreport(std::string_view name, const RecordsetPtr& recordset);
  void SetParameterField(std::string_view name, const Variant& value);
  void SetFormula(std::string_view name, std::string_view text);

 private:
  void BeforeCall(std::string_view name) {
    if (beforeCall_) beforeCall_(name);
  }
  PrintJob& job_;
  std::function<void(std::string_view)> beforeCall_;
};

// The report object of one print job, set up and printed by the business
// object; a host derives from it to print or to watch what is printed.
class ReportObject : public Object {
 public:
  explicit ReportObject(std::string member);
  ~ReportObject() override;
  std::string_view Kind() const override { return "ClsReport"; }

  using BeforePrintHandler = std::function<void(bool& cancel, CrepReport& report, const ObjectPtr& app)>;
  // The business object subscribes here (the event of a WithEvents member).
  void OnBeforePrintReport(BeforePrintHandler handler) { beforePrint_ = std::move(handler); }

  // Property setters, recorded as calls ("ActiveInterface", "UserObject", ...).
  void SetActiveInterface(const ObjectPtr& value);
  void SetUserObject(const Variant& value);
  void SetConnection(const ConnectionPtr& value);
  void SetNomeServer(const std::string& value);
  void SetNomeDataBase(const std::string& value);
  void SetNomeUtenteDb(const std::string& value);
  void SetNomePasswordDb(const std::string& value);
  void SetRhwndParent(int32_t value);
  void SetSQL(const std::string& value);
  void SetRecordset(const RecordsetPtr& value);
  // prepare(title, template file, template folder, value, value)
  void Prepare(const std::string& title, const std::string& templateFile, const std::string& templateFolder,
               const Variant& value1, const Variant& value2);
  // A formula of the template, set by name after prepare.
  void SetFormula(const std::string& name, const std::string& text);
  // Raises BeforePrintReport once, then prints unless the handler cancelled.
  void Print();
  // Completion flag: non-zero when the print has finished and the object
  // may be released at once. The in-process report prints synchronously.
  int32_t CompletionFlag() const { return job_->printed ? 1 : 0; }
  // The release the component makes; recorded in the print job.
  void Release();

  // Options the user sets on the report object, read back by the handlers.
  bool FirstPageOption = false;
  bool NotesOption = false;
  bool LimitsOption = false;
  std::string RecipientText;
  std::string PreparedByText;
  std::string NotesText;

  const ConnectionPtr& connection() const { return connection_; }
  const std::shared_ptr<PrintJob>& job() const { return job_; }

 protected:
  // Called with the operation's name before each operation asked of the
  // report object or of the template's report during BeforePrintReport,
  // the release excepted. The host's report object is out of process and
  // can fail any of them; this one fails none, a test's may.
  virtual void BeforeCall(std::string_view /*name*/) {}

 private:
  void Record(std::string name, std::vector<Variant> args);
  std::shared_ptr<PrintJob> job_;
  BeforePrintHandler beforePrint_;
  ObjectPtr activeInterface_;
  ConnectionPtr connection_;
};

using ReportObjectPtr = std::shared_ptr<ReportObject>;

}  // namespace zelmora
