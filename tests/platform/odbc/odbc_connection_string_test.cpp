// The OLE DB connection strings hosts write for SQL Server, as the FreeTDS
// driver is given them, and the strings that are refused.
#include <gtest/gtest.h>

#include <string>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/odbc/odbc_connection_string.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

// The FreeTDS string and login timeout, or the error.
std::string Mapped(const std::string& oleDb) {
  std::string mapped;
  const std::string error = testing::ErrorOf([&] {
    const OdbcTarget t = SqlServerOdbcTarget(ParseConnectionString(oleDb));
    mapped = t.connectionString + " [" + std::to_string(t.loginTimeoutSeconds) + "s]";
  });
  return error == "no error" ? mapped : error;
}

TEST(OdbcConnectionString, SqlServerProvidersBecomeFreeTdsStrings) {
  struct Case {
    const char* oleDb;
    const char* expected;
  };
  const Case cases[] = {
      {"Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=Segreto1;Initial Catalog=CONTAB;"
       "Data Source=SRVDATI",
       "Driver=FreeTDS;Server=SRVDATI;Port=1433;Database=CONTAB;UID=sa;PWD=Segreto1;TDS_Version=7.4 [15s]"},
      {"Provider=MSOLEDBSQL;Data Source=SRVDATI\\SQLEXPRESS;Initial Catalog=CONTAB;User ID=intra;Password=x",
       "Driver=FreeTDS;Server=SRVDATI\\SQLEXPRESS;Database=CONTAB;UID=intra;PWD=x;TDS_Version=7.4 [15s]"},
      {"Provider=SQLNCLI11;Data Source=tcp:10.1.2.3,14330;Initial Catalog=CONTAB;User ID=intra;Password=x;"
       "Connect Timeout=40",
       "Driver=FreeTDS;Server=10.1.2.3;Port=14330;Database=CONTAB;UID=intra;PWD=x;TDS_Version=7.4 [40s]"},
      // A port given with an instance is where the instance listens.
      {"provider=sqlncli;server=(local)\\PROD,1500;database=CONTAB;uid=intra;pwd=x",
       "Driver=FreeTDS;Server=localhost;Port=1500;Database=CONTAB;UID=intra;PWD=x;TDS_Version=7.4 [15s]"},
      // No catalog: the login's default database. Integrated Security off is no obstacle.
      {"Provider=MSOLEDBSQL19;Data Source=.;User ID=intra;Password=;Integrated Security=False;"
       "Workstation ID=CASSA2;Encrypt=yes",
       "Driver=FreeTDS;Server=localhost;Port=1433;UID=intra;PWD=;TDS_Version=7.4;WSID=CASSA2;Encryption=require "
       "[15s]"},
      // Values that hold separators or braces are braced for ODBC.
      {"Provider=SQLOLEDB;Data Source=SRV;Initial Catalog=\"Ditta; 2024\";User ID=intra;Password='p;w}d'",
       "Driver=FreeTDS;Server=SRV;Port=1433;Database={Ditta; 2024};UID=intra;PWD={p;w}}d};TDS_Version=7.4 [15s]"},
      {"Provider=SQLOLEDB;Data Source=SRV;Integrated Security=SSPI;Initial Catalog=CONTAB",
       "3699: The connection string cannot be used: Integrated Security (Windows sign-in) is not available on this "
       "system; give the SQL Server login in User ID and Password instead."},
      {"Provider=SQLNCLI11;Server=SRV;Trusted_Connection=yes;User ID=intra",
       "3699: The connection string cannot be used: Integrated Security (Windows sign-in) is not available on this "
       "system; give the SQL Server login in User ID and Password instead."},
      {"Provider=SQLOLEDB;Initial Catalog=CONTAB;User ID=intra",
       "3699: The connection string cannot be used: it names no Data Source (the SQL Server host)."},
      {"Provider=SQLOLEDB;Data Source=SRV;Initial Catalog=CONTAB",
       "3699: The connection string cannot be used: it names no User ID; a SQL Server login (User ID and Password) "
       "is needed on this system."},
      {"Provider=SQLOLEDB;Data Source=SRV,99999;User ID=intra",
       "3699: The connection string cannot be used: the port of the Data Source 'SRV,99999' is not a number from 1 "
       "to 65535."},
      {"Provider=SQLOLEDB;Data Source=np:\\\\SRV\\pipe\\sql\\query;User ID=intra",
       "3699: The connection string cannot be used: the Data Source 'np:\\\\SRV\\pipe\\sql\\query' asks for named "
       "pipes, shared memory or the admin connection; only TCP reaches a server from here (write the host name, or "
       "host,port)."},
      {"Provider=MSOLEDBSQL;Data Source=(localdb)\\MSSQLLocalDB;User ID=intra",
       "3699: The connection string cannot be used: LocalDB ('(localdb)\\MSSQLLocalDB') runs only on Windows."},
      {"Provider=SQLOLEDB;Data Source=SRV;User ID=intra;Connect Timeout=soon",
       "3699: The connection string cannot be used: Connect Timeout 'soon' is not a number of seconds."},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, Mapped(c.oleDb)) << c.oleDb;
}

TEST(OdbcConnectionString, ProvidersAndPlainOdbcStringsAreRecognised) {
  for (const char* name : {"SQLOLEDB", "sqloledb.1", "MSOLEDBSQL", "MSOLEDBSQL19", "SQLNCLI", "SQLNCLI11", "SQLNCLI11.1",
                           " SQLNCLI10 "}) {
    EXPECT_TRUE(IsSqlServerProvider(name)) << name;
  }
  for (const char* name : {"", "SQLite", "SQLOLEDBX", "SQLNCLI11b", "MSDASQL", "Microsoft.Jet.OLEDB.4.0", "SQLOLEDB."}) {
    EXPECT_FALSE(IsSqlServerProvider(name)) << name;
  }
  EXPECT_TRUE(IsOdbcConnectionString(ParseConnectionString("Driver={ODBC Driver 18 for SQL Server};Server=x")));
  EXPECT_TRUE(IsOdbcConnectionString(ParseConnectionString("DSN=contab;UID=intra")));
  EXPECT_FALSE(IsOdbcConnectionString(ParseConnectionString("Provider=MSDASQL;Driver=FreeTDS")));
  EXPECT_FALSE(IsOdbcConnectionString(ParseConnectionString("Data Source=demo.db")));
  const std::string plain = "Driver=FreeTDS; Server=SRV;Port=1433;UID=intra;PWD={a;b};TDS_Version=7.4";
  EXPECT_EQ(plain, PlainOdbcTarget(plain).connectionString);
}

}  // namespace
}  // namespace zelmora
