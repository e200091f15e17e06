// The ODBC backend of a connection: a driver reached through the unixODBC
// driver manager (FreeTDS for SQL Server), given the component's T-SQL as it
// is written. Each Execute runs its batch as one statement and keeps the
// last result that has columns, as a disconnected snapshot; decimals are read
// as text into exact decimals, text as UTF-16.
#pragma once

#include <memory>

#include "platform/connection.h"
#include "platform/odbc/odbc_connection_string.h"

namespace zelmora {

// Connects (within the target's login timeout). Throws Error with the
// driver's message when the driver or the server refuses.
std::unique_ptr<DatabaseBackend> OpenOdbcBackend(const OdbcTarget& target);

// A failure with no number of the server's own (the driver manager's, a lost
// link): the low word of the database client's generic 0x80004005.
constexpr int32_t kOdbcFailure = 0x4005;

}  // namespace zelmora
