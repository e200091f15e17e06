// The TSQL collation and the SQL functions registered on a SQLite handle,
// called directly in SQLite's own SQL.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "platform/sqlite/sqlite_extensions.h"
#include "platform/sqlite/tsql_text.h"
#include "support/arrow_cases.h"
#include "support/data_blocks.h"

namespace zelmora {
namespace {

class Extensions : public ::testing::Test {
 protected:
  Extensions() {
    sqlite3_open(":memory:", &db_);
    EXPECT_EQ(SQLITE_OK, RegisterTsqlExtensions(db_));
  }
  ~Extensions() override { sqlite3_close(db_); }

  void Run(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) ADD_FAILURE() << error;
    sqlite3_free(error);
  }

  // The value of a query's first column as "type:text", or the error message.
  std::string Value(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return sqlite3_errmsg(db_);
    std::string out;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
      static const char* kTypes[] = {"?", "integer", "real", "text", "blob", "null"};
      const int type = sqlite3_column_type(st, 0);
      char buffer[64];
      if (type == SQLITE_FLOAT) {
        std::snprintf(buffer, sizeof buffer, "%.17g", sqlite3_column_double(st, 0));
      }
      out = std::string(kTypes[type]) + ":" +
            (type == SQLITE_FLOAT ? std::string(buffer)
                                  : std::string(type == SQLITE_NULL ? "" : reinterpret_cast<const char*>(
                                                                                sqlite3_column_text(st, 0))));
    } else if (rc != SQLITE_DONE) {
      out = sqlite3_errmsg(db_);
    }
    sqlite3_finalize(st);
    return out;
  }

  sqlite3* db_ = nullptr;
};

// Each case of platform/sqlite/text_matching.txt compares or matches as written.
TEST(TsqlCollation, ComparesAndMatchesLikeTheServer) {
  testing::ExpectArrowCases("platform/sqlite/text_matching.txt", [](const std::string& line) {
    const std::string text = testing::Unescaped(line);
    if (const size_t bar = text.find(" | "); bar != std::string::npos) {
      const std::string a = text.substr(0, bar), b = text.substr(bar + 3);
      return std::to_string(tsql::CompareCollated(a, b)) + " " + std::to_string(tsql::CompareCollated(b, a));
    }
    const size_t like = text.find(" LIKE "), escape = text.find(" ESCAPE ");
    const std::string pattern = text.substr(like + 6, escape == std::string::npos ? escape : escape - like - 6);
    const char32_t with = escape == std::string::npos ? 0 : text[escape + 8];
    return std::string(tsql::LikeMatch(text.substr(0, like), pattern, with) ? "true" : "false");
  });
}

TEST_F(Extensions, CollationWorksInJoinsAndIndexes) {
  // A join on texts that differ in case and trailing blanks (SQLite's
  // Bloom filter would drop the second pair).
  Run("CREATE TABLE A (X VARCHAR(4) COLLATE TSQL); CREATE TABLE B (Y VARCHAR(4) COLLATE TSQL);"
      "INSERT INTO A VALUES ('EUR'), ('eur '), ('USD'); INSERT INTO B VALUES ('Eur'), ('usd');"
      "CREATE INDEX IA ON A (X)");
  EXPECT_EQ("integer:3", Value("SELECT count(*) FROM A JOIN B ON B.Y = A.X"));
  EXPECT_EQ("integer:2", Value("SELECT count(*) FROM A WHERE X = 'EUR   '"));
  EXPECT_EQ("integer:2", Value("SELECT count(DISTINCT X) FROM A"));
}

// Each SELECT of platform/sqlite/scalar_functions.txt (functions, exact sums
// and averages, scalar subqueries) gives its value or error.
TEST_F(Extensions, ScalarFunctions) {
  testing::ExpectArrowCases("platform/sqlite/scalar_functions.txt", [&](const std::string& sql) { return Value(sql); });
}

}  // namespace
}  // namespace zelmora
