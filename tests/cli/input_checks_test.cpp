// The values a command writes into the business object's SQL text are
// checked before the business object is called: the program, run as a
// person runs it, refuses each bad value with one line naming the option,
// exit 2, no output, no file and an unchanged database; and it takes the
// widest code and the largest number the columns hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/input_checks.h"
#include "support/temp_folder.h"
#include "support/run_zelmora.h"

namespace {

using zelmora::testing::Outcome;
using zelmora::testing::RunZelmora;

class InputChecks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    ASSERT_EQ(RunZelmora({"db", "demo", *folder_ / "demo.db"}).code, 0);
  }
  static void TearDownTestSuite() {
    delete folder_;
  }

  std::string db() const { return *folder_ / "demo.db"; }

  static TempFolder* folder_;
};

TempFolder* InputChecks::folder_ = nullptr;

// Every column the checks let a condition or an ordering name is one the
// statement can use: a single condition and ordering naming them all runs.
TEST_F(InputChecks, EveryColumnAConditionMayNameWorksInTheStatement) {
  for (bool byDocument : {false, true}) {
    std::string filter = "AND IN01_NUMREG_CG41 > 0";
    std::string order;
    for (const zelmora::FieldInfo& column :
         zelmora::cli::MovementListFields(byDocument ? zelmora::cli::MovementList::Documents
                                                     : zelmora::cli::MovementList::Lines)) {
      const std::string& name = column.name;
      const std::string value = column.type == zelmora::DataType::Integer ? "-1" : "'20240131'";
      filter += " AND (" + name + " <> " + value + " OR " + name + " = " + value + " OR IN01_NUMREG_CG41 > 0)";
      order += (order.empty() ? "" : ", ") + name + (order.size() % 2 == 0 ? " DESC" : "");
    }
    std::vector<std::string> args{"movements", "--db", db(), "--company", "1", "--csv", "--filter", filter,
                                  "--order-by", order};
    if (byDocument) args.push_back("--documents");
    const Outcome outcome = RunZelmora(args);
    SCOPED_TRACE(byDocument ? "documents" : "lines");
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.err, "");
    // The condition holds for every row the company has: the list is the
    // one without it (the ordering aside), as many rows.
    std::vector<std::string> plainArgs{"movements", "--db", db(), "--company", "1", "--csv"};
    if (byDocument) plainArgs.push_back("--documents");
    const Outcome plain = RunZelmora(plainArgs);
    auto lineCount = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    EXPECT_GT(lineCount(plain.out), 1);
    EXPECT_EQ(lineCount(outcome.out), lineCount(plain.out));
  }
}

}  // namespace
