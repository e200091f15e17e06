// Two zelmora telematic runs against the same database and folder at once:
// each writes through its own temporary file and renames it into place, so
// both end cleanly and the file left is one whole submission.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/temp_folder.h"
#include "support/file_bytes.h"

namespace {

TEST(ConcurrentRuns, TwoSubmissionsAtOnceBothEndWithOneWholeFile) {
  TempFolder folder;
  const std::string binary = ZELMORA_BINARY;
  ASSERT_EQ(std::system((binary + " db demo " + (folder / "demo.db") + " > /dev/null").c_str()), 0);
  const std::string job = binary + " telematic --db " + (folder / "demo.db") +
                          " --company 1 --year 2024 --period 3 --lists both --user ABCD --date 2024-04-10"
                          " --progressive 1 --submission 1 --vat 01234567890 --layout 2010 --out " + folder.path();
  ASSERT_EQ(std::system((job + " > /dev/null").c_str()), 0);
  const std::string alone = zelmora::testing::FileBytes(folder / "ABCD0410.I01");
  ASSERT_FALSE(alone.empty());

  for (int round = 0; round < 5; ++round) {
    int first = -1, second = -1;
    std::thread a([&] { first = std::system((job + " > " + (folder / "a.log") + " 2>&1").c_str()); });
    std::thread b([&] { second = std::system((job + " > " + (folder / "b.log") + " 2>&1").c_str()); });
    a.join();
    b.join();
    EXPECT_EQ(first, 0) << zelmora::testing::FileBytes(folder / "a.log");
    EXPECT_EQ(second, 0) << zelmora::testing::FileBytes(folder / "b.log");
    EXPECT_EQ(zelmora::testing::FileBytes(folder / "ABCD0410.I01"), alone);
  }
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"ABCD0410.I01", "a.log", "b.log", "demo.db"}));
}

}  // namespace
