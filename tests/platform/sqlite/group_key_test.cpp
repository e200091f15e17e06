// A wide GROUP BY groups on tsql_group_key: over rows that mix every kind
// of value the terms meet (Nulls, whole and fractional numbers at the ends
// of their ranges, text that differs in case, accents, inner and trailing
// blanks, characters below a blank, invalid bytes, blobs), grouping on the
// key gives the groups that the terms themselves give, in their order.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>
#include <string>
#include <vector>

#include "platform/sqlite/sqlite_extensions.h"

namespace zelmora {
namespace {

// Each query's rows, one text a row: what the two groupings are compared by.
std::vector<std::string> Rows(sqlite3* db, const std::string& sql) {
  std::vector<std::string> rows;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
    return rows;
  }
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const unsigned char* text = sqlite3_column_text(st, i);
      row += (text ? reinterpret_cast<const char*>(text) : "NULL") + std::string("|");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  return rows;
}

TEST(GroupKey, GivesTheGroupsOfItsTermsInTheirOrder) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  ASSERT_EQ(RegisterTsqlExtensions(db), SQLITE_OK);
  // Literals as SQLite writes them; x'..' for invalid bytes and blobs.
  const std::vector<std::string> texts = {
      "''",      "' '",       "'a'",      "'A'",     "'a '",     "'a  '",   "'ab'",    "'aB'",  "'a b'",
      "'a  b'",  "'a'||char(9)||'b'",     "'a'||char(1)",        "'a'||char(1)||' '", "'a'||char(31)",
      "'a!'",    "' a'",      "'É'",      "'é'",     "'e'",      "'f'",     "'Ä'",     "'ß'",   "'Σ'",
      "'σ'",     "'_'",       "'['",      "'1'",     "'10'",     "'9'",     "'z'",     "'Z '",
      "CAST(x'ff' AS TEXT)",  "CAST(x'61ff' AS TEXT)", "CAST(x'c3' AS TEXT)", "'a'||char(1)||'b'",
      "'a' || printf('%70s', '') || 'b'", "'a' || printf('%70s', '') || char(2)", "'a' || printf('%69s', '') || 'b'"};
  const std::vector<std::string> numbers = {
      "NULL", "0", "-0.0", "1", "1.0", "-1", "-1.5", "0.5", "0.25", "9007199254740993",
      "9223372036854775807", "-9223372036854775808", "1e19", "-1e19", "9.3e18", "-9.3e18",
      "3.25", "255", "256", "-255", "-256", "65536", "-0.5", "1.5e-300"};
  std::vector<std::string> mixed = texts;
  mixed.insert(mixed.end(), numbers.begin(), numbers.end());
  mixed.insert(mixed.end(), {"x''", "x'00'", "x'0001'", "x'01'", "x'00ff'"});

  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t (id INTEGER, a, b, c, d)", nullptr, nullptr, nullptr), SQLITE_OK);
  std::mt19937 random(20240331);
  auto pick = [&random](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
  };
  std::string insert = "BEGIN;";
  for (int id = 1; id <= 6000; ++id) {
    // Few values in the leading terms, so that rows share them and the
    // later terms decide.
    const std::string a = id % 3 ? pick(std::vector<std::string>(texts.begin(), texts.begin() + 8)) : pick(texts);
    insert += "INSERT INTO t VALUES (" + std::to_string(id) + ", " + a + ", " + pick(numbers) + ", " +
              pick(texts) + ", " + pick(mixed) + ");";
  }
  insert += "COMMIT;";
  ASSERT_EQ(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);

  // The terms: a and d under TSQL, c byte for byte; each group told by its
  // size, the sum and the least of its ids.
  const std::string values = "SELECT count(*), sum(id), min(id) FROM t GROUP BY ";
  const std::vector<std::string> terms = Rows(db, values + "a COLLATE TSQL, b, c, d COLLATE TSQL");
  const std::vector<std::string> keyed = Rows(db, values + "tsql_group_key('cbbc', a, b, c, d)");
  EXPECT_GT(terms.size(), 3000u);
  EXPECT_EQ(keyed, terms);
  // Each term alone, so that one kind of value cannot hide behind another.
  for (const char* pair : {"a COLLATE TSQL|'c', a", "b|'b', b", "c|'b', c", "d COLLATE TSQL|'c', d", "d|'b', d"}) {
    const std::string spec(pair);
    const size_t bar = spec.find('|');
    SCOPED_TRACE(spec);
    EXPECT_EQ(Rows(db, values + "tsql_group_key(" + spec.substr(bar + 1) + ")"), Rows(db, values + spec.substr(0, bar)));
  }
  sqlite3_close(db);
}

}  // namespace
}  // namespace zelmora
