#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/error.h"
#include "support/data_blocks.h"
#include "support/database.h"
#include "demo/demo_data.h"
#include "support/golden.h"

namespace zelmora::testing {
namespace {

std::string DumpDemo(const DemoOptions& options) {
  DbPtr db = OpenHostDb();
  const DemoSummary summary = FillDemoData(db.get(), options);
  EXPECT_EQ(options.movements, summary.lines);
  std::string dump;
  for (const char* table : {"CG18_DITTE", "CG18_DITTECOLLEGATE", "CG07_TABSTATIEST", "CG16_ANAGGEN", "CG44_CLIFOR",
                            "CG41_PRIMANOTA", "IN01_DOCTESTA", "IN02_RIGHEDOC", "CG72_NOMENCLATURE",
                            "CG7S_NOMENCLATUREVARIATE"}) {
    dump += std::string("-- ") + table + "\n" + Rows(db.get(), std::string("SELECT * FROM ") + table + " ORDER BY rowid");
  }
  return dump;
}

TEST(DemoDataTest, TheSameSeedGivesTheSameRowsAndAnotherSeedOtherRows) {
  const std::string first = DumpDemo({2000, 7});
  const std::string again = DumpDemo({2000, 7});
  const std::string other = DumpDemo({2000, 8});
  EXPECT_SAME_TEXT(first, again);
  EXPECT_TRUE(first != other) << "seeds 7 and 8 gave the same data";
}

// Each block of the data file `relative` is a query and the rows it gives.
void ExpectQueries(sqlite3* db, const std::string& relative) {
  for (const DataBlock& block : ReadBlocks(relative)) {
    std::string rows;
    for (size_t i = 1; i < block.lines.size(); ++i) rows += block.lines[i] + "\n";
    EXPECT_SAME_TEXT(rows, Rows(db, block.lines[0])) << relative << ":" << block.line;
  }
}

TEST(DemoDataTest, WithEdgeCasesHoldsEveryKindOfMovementAndMasterData) {
  DbPtr db = OpenHostDb();
  const DemoSummary summary = FillDemoData(db.get(), {4000, 1, true});
  EXPECT_EQ(summary.documents, Count(db.get(), "SELECT COUNT(*) FROM IN01_DOCTESTA"));
  EXPECT_EQ(summary.documents, Count(db.get(), "SELECT COUNT(*) FROM CG41_PRIMANOTA"));
  EXPECT_EQ(summary.parties, Count(db.get(), "SELECT COUNT(*) FROM CG44_CLIFOR"));
  ExpectQueries(db.get(), "demo/with_edge_cases.txt");
}

// Without the edge cases the data are what a company files in the 2022
// layout, and the group head files its purchases monthly.
TEST(DemoDataTest, WithoutEdgeCasesHoldsOnlyWhatA2022FileCanCarry) {
  DbPtr db = OpenHostDb();
  FillDemoData(db.get(), {4000, 1});
  ExpectQueries(db.get(), "demo/without_edge_cases.txt");
}

TEST(DemoDataTest, WithoutMovementsOnlyTheMasterDataIsWritten) {
  DbPtr db = OpenHostDb();
  const DemoSummary summary = FillDemoData(db.get(), {0, 1});
  EXPECT_EQ(0, summary.documents);
  EXPECT_EQ(0, Count(db.get(), "SELECT COUNT(*) FROM IN01_DOCTESTA"));
  EXPECT_EQ(3, Count(db.get(), "SELECT COUNT(*) FROM CG18_DITTE"));
  EXPECT_EQ(summary.parties, Count(db.get(), "SELECT COUNT(*) FROM CG44_CLIFOR"));

  try {
    FillDemoData(db.get(), {-1, 1});
    FAIL() << "a negative count was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(5, e.number());
  }
}

}  // namespace
}  // namespace zelmora::testing
