// The connection: ADO-style connection strings, the provider table, and
// the states in which Execute and Open fail.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "platform/connection.h"
#include "platform/error.h"
#include "sqlite_test_db.h"

namespace zelmora {
namespace {

std::string Failure(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return std::to_string(e.number()) + ": " + e.description();
  }
  return "no error";
}

TEST(ConnectionString, KeysAreLowerCaseAndValuesKeepTheirText) {
  const std::map<std::string, std::string> expected = {
      {"provider", "SQLite"},
      {"data source", "C:\\Dati\\demo;1.db"},
      {"user id", "sa"},
      {"password", "a'b"},
      {"persist security info", ""},
  };
  EXPECT_EQ(expected, ParseConnectionString(" Provider = SQLite ;DATA SOURCE=\"C:\\Dati\\demo;1.db\"; User ID=sa;"
                                            "Password='a''b';Persist Security Info;;"));
  EXPECT_EQ((std::map<std::string, std::string>{}), ParseConnectionString("   "));
}

TEST(Connection, OpensOnlyProvidersItHasAndExistingFiles) {
  Connection c;
  // A SQL Server provider is opened over ODBC: without a login it is refused before any driver is asked.
  EXPECT_EQ("3699: The connection string cannot be used: it names no User ID; a SQL Server login (User ID and "
            "Password) is needed on this system.",
            Failure([&] { c.Open("Provider=SQLOLEDB.1;Data Source=SERVER;Initial Catalog=HOST"); }));
  EXPECT_EQ("3706: Provider cannot be found. It may not be properly installed. (Provider: Microsoft.Jet.OLEDB.4.0)",
            Failure([&] { c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\dati.mdb"); }));
  EXPECT_EQ("3706: Provider cannot be found. It may not be properly installed. (The connection string names no "
            "provider.)",
            Failure([&] { c.Open("   "); }));
  EXPECT_EQ("30014: unable to open database file (SQLite error 14): /tmp/zelmora-no-such-dir/none.db",
            Failure([&] { c.Open("Provider=SQLite;Data Source=/tmp/zelmora-no-such-dir/none.db"); }));
  EXPECT_FALSE(c.IsOpen());
  EXPECT_EQ("3704: Operation is not allowed when the object is closed.", Failure([&] { c.Execute("SELECT 1 AS A"); }));

  // The connection string set beforehand is used when Open is given none.
  testing::ScratchDatabase db("CREATE TABLE T (A INT); INSERT INTO T VALUES (7)");
  c.ConnectionString = "provider=sqlite; data source=" + db.path();
  c.Open();
  ASSERT_TRUE(c.IsOpen());
  EXPECT_EQ("3705: Operation is not allowed when the object is open.", Failure([&] { c.Open(); }));
  EXPECT_EQ("A:3\nl7\n", testing::RecordsetText(*c.Execute("SELECT A FROM T")));
  // Option 128: the command runs and no recordset comes back.
  EXPECT_EQ(nullptr, c.Execute("UPDATE T SET A = 8", kCmdText | kExecuteNoRecords));
  EXPECT_EQ("A:3\nl8\n", testing::RecordsetText(*c.Execute("SELECT A FROM T", kCmdText)));
  // A command of nothing but blanks and comments is no command.
  EXPECT_EQ("3596: Command text was not set for the command object.", Failure([&] { c.Execute(" -- nothing\r\n "); }));
  c.Close();
  EXPECT_EQ("3704: Operation is not allowed when the object is closed.", Failure([&] { c.Execute("SELECT 1 AS A"); }));
}

TEST(Connection, ACommandThatRunsTooLongTimesOut) {
  testing::ScratchDatabase db(
      "CREATE TABLE T (A INT);"
      "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 2000) INSERT INTO T SELECT I FROM N");
  Connection c;
  c.Open(db.ConnectionString());
  c.CommandTimeout = 1;
  EXPECT_EQ("3633: Query timeout expired", Failure([&] { c.Execute("SELECT COUNT(*) AS N FROM T A, T B, T C"); }));
  // The connection is still usable.
  EXPECT_EQ("N:3\nl2000\n", testing::RecordsetText(*c.Execute("SELECT COUNT(*) AS N FROM T")));
}

}  // namespace
}  // namespace zelmora
