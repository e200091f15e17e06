// One contract for every database backend: the same plain statements run on
// the SQLite backend, on the ODBC backend over the SQLite ODBC driver (the
// whole ODBC path: wide text, decimals as text, dates, diagnostics), and on
// a SQL Server named by ZELMORA_TEST_MSSQL when it is set.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "platform/connection.h"
#include "platform/error.h"
#include "support/error_of.h"
#include "support/recordset_text.h"
#include "support/temp_folder.h"

namespace zelmora {
namespace {

using testing::ErrorOf;

// Whether unixODBC has the SQLite3 driver registered (odbcinst -q -d lists
// the drivers by name, "[SQLite3]" among them).
bool SqliteOdbcDriverRegistered() {
  FILE* pipe = popen("odbcinst -q -d 2>/dev/null", "r");
  if (pipe == nullptr) return false;
  std::string drivers;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) drivers += buffer;
  pclose(pipe);
  return drivers.find("[SQLite3]\n") != std::string::npos;
}

enum class Backend { Sqlite, OdbcSqlite, SqlServer };

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  switch (info.param) {
    case Backend::Sqlite: return "Sqlite";
    case Backend::OdbcSqlite: return "OdbcOverSqliteDriver";
    case Backend::SqlServer: return "SqlServer";
  }
  return "?";
}

class BackendContract : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    const std::string path = folder_ / "contract.db";
    std::ofstream{path};  // the SQLite backend opens existing files only
    std::string text;
    switch (GetParam()) {
      case Backend::Sqlite: text = "Provider=SQLite;Data Source=" + path; break;
      case Backend::OdbcSqlite:
        if (!SqliteOdbcDriverRegistered()) GTEST_SKIP() << "odbcinst lists no SQLite3 ODBC driver";
        text = "Driver=SQLite3;Database=" + path;
        break;
      case Backend::SqlServer: {
        const char* named = std::getenv("ZELMORA_TEST_MSSQL");
        if (!named || !*named) {
          GTEST_SKIP() << "ZELMORA_TEST_MSSQL is not set: no SQL Server to run the contract on (set it to a "
                          "connection string, e.g. Provider=SQLOLEDB;Data Source=HOST,1433;Initial Catalog=DB;"
                          "User ID=U;Password=P)";
        }
        text = named;
        break;
      }
    }
    connection_.Open(text);
    Run("DROP TABLE IF EXISTS ZCONTRACT");
  }
  void TearDown() override {
    if (connection_.IsOpen()) ErrorOf([&] { Run("DROP TABLE ZCONTRACT"); });
  }
  void Run(const std::string& sql) { connection_.Execute(sql, kCmdText | kExecuteNoRecords); }
  std::string Rows(const std::string& sql) { return testing::RecordsetText(*connection_.Execute(sql)); }
  bool OverSqliteDriver() const { return GetParam() == Backend::OdbcSqlite; }

  TempFolder folder_;
  Connection connection_;
};

TEST_P(BackendContract, TypedColumnsKeepTheirValues) {
  Run("CREATE TABLE ZCONTRACT (I INTEGER, D DECIMAL(18,2), N NUMERIC(9,3), V VARCHAR(20), W NVARCHAR(20), "
      "T DATETIME)");
  Run("INSERT INTO ZCONTRACT (I, D, N, V, W, T) VALUES (1, 1234567890.25, 1.5, 'città', 'perché 5 €', "
      "'2024-03-31 10:20:30')");
  Run("INSERT INTO ZCONTRACT (I, D, N, V, W, T) VALUES (2, -0.10, 0, '', 'Ünïcode', '2024-01-02 00:00:00')");
  Run("INSERT INTO ZCONTRACT (I, D, N, V, W, T) VALUES (3, NULL, NULL, NULL, NULL, NULL)");
  const std::string expected =
      OverSqliteDriver()
          // The SQLite driver describes DECIMAL and NVARCHAR columns as
          // VARCHAR and NUMERIC as DOUBLE, and the values follow. It has no
          // wide entry points: the driver manager hands it Latin-1, so the
          // euro sign, outside Latin-1, does not reach it.
          ? "I:3 | D:200(18) | N:5 | V:200(20) | W:200(20) | T:135\n"
            "l1 | s'1234567890.25' | f1.5 | s'città' | s'perché 5 ' | t2024-03-31\n"
            "l2 | s'-0.1' | f0 | s'' | s'Ünïcode' | t2024-01-02\n"
            "l3 | n | n | n | n | n\n"
          : "I:3 | D:14(18,2) | N:14(9,3) | V:200(20) | W:202(20) | T:135\n"
            "l1 | d1234567890.25 | d1.500 | s'città' | s'perché 5 €' | t2024-03-31\n"
            "l2 | d-0.10 | d0.000 | s'' | s'Ünïcode' | t2024-01-02\n"
            "l3 | n | n | n | n | n\n";
  EXPECT_EQ(expected, Rows("SELECT I, D, N, V, W, T FROM ZCONTRACT ORDER BY I"));
  // The time of day is kept.
  const RecordsetPtr first = connection_.Execute("SELECT T FROM ZCONTRACT WHERE I = 1");
  EXPECT_EQ("31/03/2024 10:20:30", first->Value(size_t{0}).AsDate().ToDayMonthYear());

  // A query that finds nothing still describes its fields.
  EXPECT_EQ(OverSqliteDriver() ? "I:3 | V:200(20)\n" : "I:3 | V:200(20)\n",
            Rows("SELECT I, V FROM ZCONTRACT WHERE I > 99"));
  EXPECT_EQ("K:3\nl3\n", Rows("SELECT COUNT(*) AS K FROM ZCONTRACT"));
}

TEST_P(BackendContract, FailuresAreErrorsAndTheConnectionGoesOn) {
  const std::string failure = ErrorOf([&] { Rows("SELECT X FROM ZCONTRACT_NONE"); });
  switch (GetParam()) {
    case Backend::Sqlite: EXPECT_EQ("208: Invalid object name 'ZCONTRACT_NONE'.", failure); break;
    case Backend::OdbcSqlite: EXPECT_EQ("30001: [SQLite]no such table: ZCONTRACT_NONE (1)", failure); break;
    case Backend::SqlServer: EXPECT_EQ(208, std::stoi(failure)) << failure; break;
  }
  EXPECT_EQ("3596: Command text was not set for the command object.", ErrorOf([&] { Rows("  -- nothing\r\n"); }));
  EXPECT_EQ("A:3\nl1\n", Rows("SELECT 1 AS A"));
  EXPECT_EQ(nullptr, connection_.Execute("SELECT 1 AS A", kCmdText | kExecuteNoRecords));
}

INSTANTIATE_TEST_SUITE_P(Backends, BackendContract,
                         ::testing::Values(Backend::Sqlite, Backend::OdbcSqlite, Backend::SqlServer), BackendName);

}  // namespace
}  // namespace zelmora
