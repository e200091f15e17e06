// Why a command's business object failed, in words a person can act on.
// The business object's error trap keeps the last failure only, and a step
// that fails leaves the next one to fail on what it did not make ("Object
// variable or With block variable not set" for a missing table), or reports
// a status without a text. The commands therefore watch the database
// commands their business object sends and keep the first that failed: its
// message names the table, the column or the value the database could not
// take. The business object itself is left as it is.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "component/intra_context.h"
#include "platform/error.h"
#include "platform/host_services.h"

namespace zelmora::cli {

// The first database command that failed since the last Clear.
class DatabaseFailures {
 public:
  void Note(const Error& error) {
    if (!first_) first_ = error;
  }
  const std::optional<Error>& first() const { return first_; }
  void Clear() { first_.reset(); }

 private:
  std::optional<Error> first_;
};

// `services` (the program's own when nullptr) with every connection they
// make watched: each failing command is noted in `failures`.
std::shared_ptr<HostServices> WatchedServices(std::shared_ptr<HostServices> services,
                                              std::shared_ptr<DatabaseFailures> failures);

// Whether a failure to open a database says that the --db value names
// nothing that can be opened (no such provider, driver, server, login or
// database, a file that is not a database): the person's to fix, exit 2.
// Any other (a lock, an I/O error, a fault) is a failure while working.
bool OpensNothing(const Error& error);

// Opens the connection and the company as the operations do. A database
// that cannot be opened (OpensNothing) or a company that is not in the
// company table is refused with exit 2; any other failure is exit 1; each
// with its cause.
void OpenCompany(IntraContext& context, const DatabaseFailures& failures, const std::string& company);

// The cause of an operation that set Stato: the first database failure
// noted while it ran, else its Errore, else its status.
std::string FailureCause(const IntraContext& context, const DatabaseFailures& failures);

// The first database failure noted, else `otherwise`. A stored value the
// database could not convert ("Error converting data type varchar to
// numeric.") is looked for among the company's movements on `connection`,
// and the registration and column that hold it are named.
std::string DatabaseCause(const DatabaseFailures& failures, const ConnectionPtr& connection, const std::string& company,
                          const std::string& otherwise);

}  // namespace zelmora::cli
