// A wide GROUP BY groups on tsql_group_key: over rows that mix every kind
// of value the terms meet (Nulls, whole and fractional numbers at the ends
// of their ranges, text that differs in case, accents, inner and trailing
// blanks, characters below a blank, invalid bytes, blobs), grouping on the
// key gives the groups that the terms themselves give, in their order.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/data_blocks.h"
#include "support/database.h"

namespace zelmora {
namespace {

TEST(GroupKey, GivesTheGroupsOfItsTermsInTheirOrder) {
  const testing::DbPtr handle = testing::OpenDb();
  sqlite3* db = handle.get();
  const std::vector<testing::DataBlock> literals = testing::ReadBlocks("platform/sqlite/group_key_values.txt");
  ASSERT_EQ(literals.size(), 3u);
  const std::vector<std::string>& texts = literals[0].lines;
  const std::vector<std::string>& numbers = literals[1].lines;
  std::vector<std::string> mixed = texts;
  mixed.insert(mixed.end(), numbers.begin(), numbers.end());
  mixed.insert(mixed.end(), literals[2].lines.begin(), literals[2].lines.end());

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
  const std::string terms = testing::Rows(db, values + "a COLLATE TSQL, b, c, d COLLATE TSQL");
  const std::string keyed = testing::Rows(db, values + "tsql_group_key('cbbc', a, b, c, d)");
  EXPECT_GT(std::count(terms.begin(), terms.end(), '\n'), 3000);
  EXPECT_EQ(keyed, terms);
  // Each term alone, so that one kind of value cannot hide behind another.
  for (const char* pair : {"a COLLATE TSQL|'c', a", "b|'b', b", "c|'b', c", "d COLLATE TSQL|'c', d", "d|'b', d"}) {
    const std::string spec(pair);
    const size_t bar = spec.find('|');
    SCOPED_TRACE(spec);
    EXPECT_EQ(testing::Rows(db, values + "tsql_group_key(" + spec.substr(bar + 1) + ")"),
              testing::Rows(db, values + spec.substr(0, bar)));
  }
}

}  // namespace
}  // namespace zelmora
