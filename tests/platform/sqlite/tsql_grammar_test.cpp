// The hand-written T-SQL of the construct tests is SQL Server's own syntax,
// as sqlfluff's T-SQL grammar reads it, so that the SQLite backend is
// never tested on text the server would refuse.
#include <gtest/gtest.h>

#include "construct_texts.h"
#include "support/sqlfluff.h"

namespace zelmora {
namespace {

TEST(TsqlGrammar, ConstructTextsParse) {
  for (const char* sql : {testing::kMovementListing, testing::kStagingBatch, testing::kGroupedCorrelated,
                          testing::kSharedCorrelated, testing::kDeleteLines}) {
    const testing::TsqlGrammarCheck check = testing::CheckTsqlGrammar(sql);
    ASSERT_TRUE(check.ran) << "sqlfluff did not run: " << check.output;
    EXPECT_EQ("", check.violations) << sql;
    EXPECT_EQ(check.exitCode, 0) << check.output;
  }
  // The check does fail on text that is not T-SQL.
  const testing::TsqlGrammarCheck broken = testing::CheckTsqlGrammar("SELECT FROM WHERE ((\n");
  ASSERT_TRUE(broken.ran);
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_EQ("L:   1 | P:   1 |  PRS | Line 1, Position 1: Found unparsable section: 'SELECT FROM WHERE\n"
            "                       | (('",
            broken.violations);
}

}  // namespace
}  // namespace zelmora
