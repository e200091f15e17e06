// The T-SQL constructs of tsql_constructs.txt, each section on a fresh
// copy of its small database, through a connection of the SQLite backend.
#include <gtest/gtest.h>

#include "platform/connection.h"
#include "support/construct_file.h"
#include "support/database.h"
#include "support/error_of.h"
#include "support/golden.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

using testing::ErrorOf;

TEST(TsqlConstructs, EachBlockGivesWhatTheServerGives) {
  const testing::ConstructFile file = testing::ReadConstructFile();
  ASSERT_FALSE(file.sections.empty());
  for (const testing::ConstructSection& section : file.sections) {
    testing::TempDatabase db(file.setup, false);
    ConnectionPtr connection = db.Open();
    for (const testing::ConstructBlock& block : section.blocks) {
      SCOPED_TRACE(section.name + ", tsql_constructs.txt line " + std::to_string(block.line));
      if (block.kind == "query") {
        std::string rows;
        const std::string failure = ErrorOf([&] { rows = testing::RecordsetText(*connection->Execute(block.sql)); });
        EXPECT_EQ(failure, "no error");
        EXPECT_SAME_TEXT(block.expected, rows);
      } else if (block.kind == "error") {
        EXPECT_EQ(block.expected, ErrorOf([&] { connection->Execute(block.sql); }) + "\n");
      } else if (block.kind == "statement") {
        RecordsetPtr none;
        EXPECT_EQ("no error", ErrorOf([&] { none = connection->Execute(block.sql, kCmdText | kExecuteNoRecords); }));
        EXPECT_EQ(nullptr, none);
      } else if (block.kind == "closed") {
        RecordsetPtr closed;
        EXPECT_EQ("no error", ErrorOf([&] { closed = connection->Execute(block.sql); }));
        ASSERT_NE(nullptr, closed);
        EXPECT_FALSE(closed->IsOpen());
      } else {
        ADD_FAILURE() << "unknown kind " << block.kind;
      }
    }
  }
}

// Session tables belong to their connection.
TEST(TsqlConstructs, AnotherConnectionHasItsOwnSession) {
  testing::TempDatabase db("CREATE TABLE T (A INT); INSERT INTO T VALUES (1);", false);
  ConnectionPtr first = db.Open(), second = db.Open();
  first->Execute("SELECT A INTO #STAGE FROM T", kCmdText | kExecuteNoRecords);
  EXPECT_SAME_TEXT("A:3\nl1\n", testing::RecordsetText(*first->Execute("SELECT A FROM #STAGE")));
  EXPECT_EQ("208: Invalid object name '#STAGE'.", ErrorOf([&] { second->Execute("SELECT * FROM #STAGE"); }));
}

}  // namespace
}  // namespace zelmora
