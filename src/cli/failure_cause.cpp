#include "cli/failure_cause.h"

#include <utility>
#include <vector>

#include "cli/input_checks.h"
#include "component/connection_context.h"
#include "platform/connection.h"
#include "platform/odbc/odbc_backend.h"
#include "platform/sqlite/sqlite_backend.h"

namespace zelmora::cli {

namespace {

// A backend that notes each command that fails, and lets the failure go on.
class WatchingBackend : public DatabaseBackend {
 public:
  WatchingBackend(std::unique_ptr<DatabaseBackend> inner, std::shared_ptr<DatabaseFailures> failures)
      : inner_(std::move(inner)), failures_(std::move(failures)) {}

  RecordsetPtr Execute(std::string_view commandText, bool returnsRows, int32_t timeoutSeconds) override {
    try {
      return inner_->Execute(commandText, returnsRows, timeoutSeconds);
    } catch (const Error& error) {
      failures_->Note(error);
      throw;
    }
  }

 private:
  std::unique_ptr<DatabaseBackend> inner_;
  std::shared_ptr<DatabaseFailures> failures_;
};

class WatchingServices : public HostServices {
 public:
  WatchingServices(std::shared_ptr<HostServices> inner, std::shared_ptr<DatabaseFailures> failures)
      : inner_(std::move(inner)), failures_(std::move(failures)) {}

  ConnectionPtr NewConnection() override {
    ConnectionPtr connection = inner_->NewConnection();
    if (connection) {
      connection->AddBackendWrapper([failures = failures_](std::unique_ptr<DatabaseBackend> backend) {
        return std::unique_ptr<DatabaseBackend>(std::make_unique<WatchingBackend>(std::move(backend), failures));
      });
    }
    return connection;
  }
  std::shared_ptr<CompanyFactory> NewCompanyFactory() override { return inner_->NewCompanyFactory(); }
  std::shared_ptr<LinkedCompaniesService> NewLinkedCompaniesService() override {
    return inner_->NewLinkedCompaniesService();
  }
  ReportObjectPtr NewReport(const std::string& member) override { return inner_->NewReport(member); }
  std::shared_ptr<FileHelper> NewFileHelper() override { return inner_->NewFileHelper(); }
  Date Today() override { return inner_->Today(); }
  std::string ComponentFolder() override { return inner_->ComponentFolder(); }
  const std::vector<std::shared_ptr<PrintJob>>& PrintJobs() const override { return inner_->PrintJobs(); }

 private:
  std::shared_ptr<HostServices> inner_;
  std::shared_ptr<DatabaseFailures> failures_;
};

// The error text without the name of the procedure that trapped it: the
// person reads what failed, not where inside the component.
std::string WithoutProcedure(std::string text) {
  const size_t in = text.rfind(" in ");
  if (in != std::string::npos && text.find(' ', in + 4) == std::string::npos) text.erase(in);
  return text;
}

}  // namespace

std::shared_ptr<HostServices> WatchedServices(std::shared_ptr<HostServices> services,
                                              std::shared_ptr<DatabaseFailures> failures) {
  if (!services) services = std::make_shared<DefaultHostServices>();
  return std::make_shared<WatchingServices>(std::move(services), std::move(failures));
}

bool OpensNothing(const Error& error) {
  switch (error.number()) {
    case 3706:                     // no provider this program has
    case kBadConnectionString:     // a string that cannot be used as written
    case kSqliteErrorBase + 14:    // SQLite cannot open the file
    case kSqliteErrorBase + 26:    // a file that is not a database
    case 4060:                     // SQL Server: no such database for the login
    case 18456:                    // SQL Server: the login failed
      return true;
    case kOdbcFailure: {
      // The driver manager finds no such driver or data source, or the
      // client no such server.
      const std::string& text = error.description();
      for (const char* state : {"(SQLSTATE IM002", "(SQLSTATE IM003", "(SQLSTATE 08001"}) {
        if (text.find(state) != std::string::npos) return true;
      }
      return false;
    }
    default:
      return false;
  }
}

void OpenCompany(IntraContext& context, const DatabaseFailures& failures, const std::string& company) {
  CreaConnessione(context);
  if (context.Stato != 0) {
    const Error failure(context.Stato, WithoutProcedure(context.Errore.Text()));
    const std::string why = failure.description().empty() ? "status " + std::to_string(context.Stato)
                                                          : failure.description();
    throw Refusal{"cannot open the database: " + why, OpensNothing(failure) ? 2 : 1};
  }
  CreaClasseDittaBase(context);
  // The company's row is missing: no current record, 3021.
  if (context.Stato == 3021) throw Refusal{"company " + company + " is not in the company table CG18_DITTE"};
  if (context.Stato != 0) throw Refusal{FailureCause(context, failures), 1};
  if (!context.ClsDitta || !context.ClsDitta->ClsDatiGest || !context.ClsDitta->ClsDatiAnagrafici) {
    throw Refusal{"the company objects of company " + company + " could not be made", 1};
  }
}

namespace {

// Whether the database failed to read a stored value as its column's type.
bool IsConversion(const Error& error) {
  switch (error.number()) {
    case 241:   // a text that is no date
    case 242:   // a date out of range
    case 245:   // a text that is no whole number
    case 8114:  // a text that is no number
    case 8115:  // a number too large for its type
      return true;
    default:
      return false;
  }
}

// The registration and column of the company's movements whose stored
// value the database cannot read: each column of the movement view is read
// alone, and the registrations of a column that fails are halved until one
// is left. Empty when none is found (the value is elsewhere).
std::string UnreadableValue(Connection& connection, const std::string& company) {
  const std::string from = " FROM VIN01_INTRA WITH(NOLOCK) WHERE IN01_DITTA_CG18 = " + company;
  RecordsetPtr shape = connection.Execute("SELECT *" + from + " AND 1 = 0", kCmdText);
  RecordsetPtr numbers =
      connection.Execute("SELECT DISTINCT IN01_NUMREG_CG41" + from + " ORDER BY IN01_NUMREG_CG41", kCmdText);
  std::vector<std::string> registrations;
  for (const Row* row : numbers->VisibleRows()) registrations.push_back((*row)[0].Text());
  auto reads = [&](const std::string& column, size_t first, size_t last) {
    try {
      connection.Execute("SELECT " + column + from + " AND IN01_NUMREG_CG41 BETWEEN " + registrations[first] +
                             " AND " + registrations[last],
                         kCmdText);
      return true;
    } catch (const Error& error) {
      if (!IsConversion(error)) throw;
      return false;
    }
  };
  if (registrations.empty()) return {};
  for (size_t i = 0; i < shape->FieldCount(); ++i) {
    const std::string column = shape->Field(i).name;
    size_t first = 0, last = registrations.size() - 1;
    if (reads(column, first, last)) continue;
    while (first < last) {
      const size_t middle = first + (last - first) / 2;
      if (!reads(column, first, middle)) {
        last = middle;
      } else {
        first = middle + 1;
      }
    }
    return "registration " + registrations[first] + ", column " + column;
  }
  return {};
}

}  // namespace

std::string DatabaseCause(const DatabaseFailures& failures, const ConnectionPtr& connection, const std::string& company,
                          const std::string& otherwise) {
  if (!failures.first()) return otherwise;
  const Error& first = *failures.first();
  if (IsConversion(first) && connection && connection->IsOpen() && !company.empty()) {
    // Where the value is, when the database's message does not say.
    try {
      const std::string where = UnreadableValue(*connection, company);
      if (!where.empty()) return where + ": " + first.description();
    } catch (const Error&) {
    }
  }
  return first.description();
}

std::string FailureCause(const IntraContext& context, const DatabaseFailures& failures) {
  std::string text = WithoutProcedure(context.Errore.Text());
  if (text.empty()) text = "the business object failed with status " + std::to_string(context.Stato) + " and no message";
  // The object's message when it is the database's, with what to do added.
  if (failures.first() && text.size() > failures.first()->description().size() &&
      text.starts_with(failures.first()->description())) {
    return text;
  }
  return DatabaseCause(failures, context.Connessione, context.CInput ? context.CInput->Ditta.Text() : "", text);
}

}  // namespace zelmora::cli
