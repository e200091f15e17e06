// The OLE DB connection strings hosts write for SQL Server, as the FreeTDS
// driver is given them, and the strings that are refused.
#include <gtest/gtest.h>

#include <string>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/odbc/odbc_connection_string.h"
#include "support/arrow_cases.h"
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
  testing::ExpectArrowCases("platform/odbc/connection_strings.txt", Mapped);
}

TEST(OdbcConnectionString, ProvidersAndPlainOdbcStringsAreRecognised) {
  testing::ExpectArrowCases("platform/odbc/providers.txt",
                            [](const std::string& name) { return IsSqlServerProvider(name) ? "true" : "false"; });
  EXPECT_TRUE(IsOdbcConnectionString(ParseConnectionString("Driver={ODBC Driver 18 for SQL Server};Server=x")));
  EXPECT_TRUE(IsOdbcConnectionString(ParseConnectionString("DSN=contab;UID=intra")));
  EXPECT_FALSE(IsOdbcConnectionString(ParseConnectionString("Provider=MSDASQL;Driver=FreeTDS")));
  EXPECT_FALSE(IsOdbcConnectionString(ParseConnectionString("Data Source=demo.db")));
  const std::string plain = "Driver=FreeTDS; Server=SRV;Port=1433;UID=intra;PWD={a;b};TDS_Version=7.4";
  EXPECT_EQ(plain, PlainOdbcTarget(plain).connectionString);
}

}  // namespace
}  // namespace zelmora
