// Two zelmora telematic runs against the same database and folder at once:
// each writes through its own temporary file and renames it into place, so
// both end cleanly and the file left is one whole submission.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/file_bytes.h"
#include "support/run_zelmora.h"
#include "support/temp_folder.h"

namespace {

using zelmora::testing::Outcome;
using zelmora::testing::RunZelmora;

TEST(ConcurrentRuns, TwoSubmissionsAtOnceBothEndWithOneWholeFile) {
  TempFolder folder;
  ASSERT_EQ(RunZelmora({"db", "demo", folder / "demo.db"}).code, 0);
  const std::vector<std::string> job = {"telematic", "--db", folder / "demo.db", "--company", "1", "--year", "2024",
                                        "--period", "3", "--lists", "both", "--user", "ABCD", "--date", "2024-04-10",
                                        "--progressive", "1", "--submission", "1", "--vat", "01234567890", "--layout",
                                        "2010", "--out", folder.path()};
  ASSERT_EQ(RunZelmora(job).code, 0);
  const std::string alone = zelmora::testing::FileBytes(folder / "ABCD0410.I01");
  ASSERT_FALSE(alone.empty());

  for (int round = 0; round < 5; ++round) {
    Outcome first, second;
    std::thread a([&] { first = RunZelmora(job); });
    std::thread b([&] { second = RunZelmora(job); });
    a.join();
    b.join();
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(zelmora::testing::FileBytes(folder / "ABCD0410.I01"), alone);
  }
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"ABCD0410.I01", "demo.db"}));
}

}  // namespace
