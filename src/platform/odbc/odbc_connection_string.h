// The connection strings that hosts write for SQL Server's OLE DB providers
// (SQLOLEDB, MSOLEDBSQL, SQLNCLI), turned into the ODBC connection string of
// the FreeTDS driver, and plain ODBC strings ("Driver=...;", "DSN=...;")
// recognised so that they reach the driver manager as they were written.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace zelmora {

// What the ODBC backend is opened with.
struct OdbcTarget {
  std::string connectionString;
  // Seconds the driver may take to sign in (the OLE DB default is 15).
  int32_t loginTimeoutSeconds = 15;
};

// SQLOLEDB, MSOLEDBSQL, MSOLEDBSQL19, SQLNCLI, SQLNCLI11 and so on, with or
// without a version suffix (".1"); case-insensitive.
bool IsSqlServerProvider(std::string_view provider);

// A parsed connection string (lower-case keys) that names no provider but
// an ODBC driver or data source.
bool IsOdbcConnectionString(const std::map<std::string, std::string>& settings);

// The FreeTDS string for an OLE DB one: Data Source (host, host\instance,
// host,port, tcp:host,port; "." and "(local)" are this machine), Initial
// Catalog, User ID, Password, Connect Timeout, Workstation ID, Encrypt.
// Persist Security Info and the provider's other tuning keys are ignored.
// What FreeTDS cannot do here (Integrated Security, named pipes, shared
// memory, LocalDB) or a string that names no server or no user fails with
// kBadConnectionString and says why.
OdbcTarget SqlServerOdbcTarget(const std::map<std::string, std::string>& settings);

// A plain ODBC string goes to the driver manager unchanged.
OdbcTarget PlainOdbcTarget(std::string_view connectionString);

}  // namespace zelmora
