// The connection: ADO-style connection strings, the provider table, and
// the states in which Execute and Open fail.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/sqlite/sqlite_backend.h"
#include "support/arrow_cases.h"
#include "support/database.h"
#include "support/error_of.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

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

// The host keeps its days as numbers (YYYYMMDD, the time as the fraction
// .HHMMSS) or as text in either form: each reads back as the same date; a
// number that is no day is refused.
TEST(Connection, ADayStoredAsTextOrAsANumberReadsTheSame) {
  testing::TempDatabase db("CREATE TABLE D (N INT, T DATETIME);"
                           "INSERT INTO D VALUES (1, 20240510), (2, '20240510'), (3, '2024-05-10'), (4, 20240510.123045),"
                           " (5, '20240510.123045'), (6, NULL), (7, 1234)",
                           false);
  std::string read;
  for (int n = 1; n <= 7; ++n) {
    const std::string error = testing::ErrorOf([&] {
      read += testing::ColumnText(*db.Open()->Execute("SELECT T FROM D WHERE N = " + std::to_string(n)));
    });
    read += (error == "no error" ? "" : error) + "\n";
  }
  EXPECT_EQ(read,
            "10/05/2024\n10/05/2024\n10/05/2024\n10/05/2024 12:30:45\n10/05/2024 12:30:45\n\n"
            "241: Conversion failed when converting date and/or time from character string.\n");
}

TEST(Connection, OpensOnlyProvidersItHasAndExistingFiles) {
  Connection c;
  testing::ExpectArrowCases("platform/sqlite/connection_opens.txt",
                            [&](const std::string& text) { return testing::ErrorOf([&] { c.Open(text); }); });
  EXPECT_FALSE(c.IsOpen());
  EXPECT_EQ("3704: Operation is not allowed when the object is closed.", testing::ErrorOf([&] { c.Execute("SELECT 1 AS A"); }));

  // The connection string set beforehand is used when Open is given none.
  testing::TempDatabase db("CREATE TABLE T (A INT); INSERT INTO T VALUES (7)", false);
  c.ConnectionString = "provider=sqlite; data source=" + db.path();
  c.Open();
  ASSERT_TRUE(c.IsOpen());
  EXPECT_EQ("3705: Operation is not allowed when the object is open.", testing::ErrorOf([&] { c.Open(); }));
  EXPECT_EQ("A:3\nl7\n", testing::RecordsetText(*c.Execute("SELECT A FROM T")));
  // Option 128: the command runs and no recordset comes back.
  EXPECT_EQ(nullptr, c.Execute("UPDATE T SET A = 8", kCmdText | kExecuteNoRecords));
  EXPECT_EQ("A:3\nl8\n", testing::RecordsetText(*c.Execute("SELECT A FROM T", kCmdText)));
  // A command of nothing but blanks and comments is no command.
  EXPECT_EQ("3596: Command text was not set for the command object.", testing::ErrorOf([&] { c.Execute(" -- nothing\r\n "); }));
  c.Close();
  EXPECT_EQ("3704: Operation is not allowed when the object is closed.", testing::ErrorOf([&] { c.Execute("SELECT 1 AS A"); }));
}

TEST(Connection, ACommandThatRunsTooLongTimesOut) {
  testing::TempDatabase db(
      "CREATE TABLE T (A INT);"
      "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 2000) INSERT INTO T SELECT I FROM N",
      false);
  Connection c;
  c.Open(db.ConnectionString());
  c.CommandTimeout = 1;
  EXPECT_EQ("3633: Query timeout expired", testing::ErrorOf([&] { c.Execute("SELECT COUNT(*) AS N FROM T A, T B, T C"); }));
  // The connection is still usable.
  EXPECT_EQ("N:3\nl2000\n", testing::RecordsetText(*c.Execute("SELECT COUNT(*) AS N FROM T")));
}

// Another connection holds the write lock (an exclusive transaction, as a
// writer committing does) while a reader opens the database and reads.
TEST(Connection, ALockedDatabaseIsWaitedForAMomentThenSaidToBeLocked) {
  testing::TempDatabase db("CREATE TABLE T (A INT); INSERT INTO T VALUES (7)", false);
  sqlite3* writer = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(db.path().c_str(), &writer));
  auto lock = [&] { ASSERT_EQ(SQLITE_OK, sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr)); };
  auto unlock = [&] { sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr); };
  const std::chrono::milliseconds before = SqliteLockWait();
  struct Case {
    const char* what;
    std::chrono::milliseconds wait;  // the reader's lock wait
    std::chrono::milliseconds held;  // how long the writer keeps its lock
    bool readerOpen;                 // the lock is taken after the reader opened
    std::string expected;
  } cases[] = {
      {"held shorter than the wait, at open", std::chrono::milliseconds(5000), std::chrono::milliseconds(150), false,
       "A:3\nl7\n"},
      {"held shorter than the wait, at a command", std::chrono::milliseconds(5000), std::chrono::milliseconds(150),
       true, "A:3\nl7\n"},
      {"held longer than the wait, at open", std::chrono::milliseconds(40), std::chrono::milliseconds(300), false,
       "30005: The database is locked by another connection (waited 0.04 s for it to be released; SQLite error 5): " +
           db.path()},
      {"held longer than the wait, at a command", std::chrono::milliseconds(40), std::chrono::milliseconds(300), true,
       "30005: The database is locked by another connection (waited 0.04 s for it to be released; SQLite error 5)"},
  };
  for (const Case& c : cases) {
    SetSqliteLockWait(c.wait);
    Connection reader;
    if (c.readerOpen) reader.Open(db.ConnectionString());
    lock();
    std::thread release([&] {
      std::this_thread::sleep_for(c.held);
      unlock();
    });
    std::string got;
    const std::string failure = testing::ErrorOf([&] {
      if (!c.readerOpen) reader.Open(db.ConnectionString());
      got = testing::RecordsetText(*reader.Execute("SELECT A FROM T"));
    });
    release.join();
    EXPECT_EQ(c.expected, failure == "no error" ? got : failure) << c.what;
  }
  SetSqliteLockWait(before);
  EXPECT_EQ(std::chrono::milliseconds(5000), before);
  sqlite3_close(writer);
}

}  // namespace
}  // namespace zelmora
