#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/database.h"
#include "support/golden.h"
#include "support/dead_process.h"
#include "support/run_zelmora.h"

namespace zelmora::testing {
namespace {

// The folder's entries, one a line.
std::string EntriesOf(const TempFolder& folder) {
  std::string text;
  for (const auto& name : folder.Entries()) text += name + "\n";
  return text;
}

// (The refusals are in tests/cli/transcripts/db_files.txt.)
TEST(DbCommandTest, InitCreatesAnEmptyHostDatabase) {
  TempFolder folder;
  const std::string path = folder / "host.db";
  // A scratch file left by a run that was killed does not stop a new one,
  // which removes it.
  std::ofstream(folder / (".host.db.zelmora-" + std::to_string(DeadProcessId()) + "-db.tmp")) << "left over";

  Outcome created = RunZelmora({"db", "init", path});
  EXPECT_EQ(0, created.code);
  EXPECT_SAME_TEXT("Created " + path + " with the host schema and no data\n", created.out);
  EXPECT_SAME_TEXT("", created.err);
  EXPECT_SAME_TEXT("host.db\n", EntriesOf(folder));
  DbPtr db = OpenDb(path);
  EXPECT_SAME_TEXT("VCG16_ANAGRALLADATA\nVIN01_INTRA\n",
                   Rows(db.get(), "SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY 1"));
  EXPECT_EQ(0, Count(db.get(), "SELECT COUNT(*) FROM IN02_RIGHEDOC"));
}

TEST(DbCommandTest, DemoFillsANewDatabaseAndSummarisesIt) {
  TempFolder folder;
  const std::string path = folder / "demo.db";
  Outcome created = RunZelmora({"db", "demo", path, "--movements", "300", "--seed", "5"});
  EXPECT_EQ(0, created.code);
  EXPECT_SAME_TEXT("", created.err);
  EXPECT_SAME_TEXT("demo.db\n", EntriesOf(folder));
  DbPtr db = OpenDb(path);
  EXPECT_SAME_TEXT("Created " + path + ": 3 companies, " + std::to_string(Count(db.get(), "SELECT COUNT(*) FROM CG44_CLIFOR")) +
                       " customers and suppliers, " + std::to_string(Count(db.get(), "SELECT COUNT(*) FROM IN01_DOCTESTA")) +
                       " documents, 300 Intrastat lines, 2023-2025 (seed 5)\n",
                   created.out);
  EXPECT_EQ(300, Count(db.get(), "SELECT COUNT(*) FROM IN02_RIGHEDOC"));
}

std::string ZelmoraTables(const std::string& path) {
  return Rows(OpenDb(path).get(), "SELECT type || ' ' || name FROM sqlite_master WHERE name LIKE '%ZL0%' ORDER BY name");
}

TEST(DbCommandTest, UpgradeAddsZelmorasTablesToAnOlderDatabaseOnce) {
  TempFolder folder;
  const std::string path = folder / "host.db";
  {
    // A database made before zelmora kept tables of its own: the host's
    // schema alone, with a line in it.
    const DbPtr db = OpenDb(path);
    Exec(db.get(), std::string(HostSchemaDdl()));
    Exec(db.get(), "INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41) VALUES (1, 10)");
  }
  EXPECT_EQ(ZelmoraTables(path), "");
  Outcome first = RunZelmora({"db", "upgrade", path});
  EXPECT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(first.out, "Added zelmora's tables ZL01_NATURAB and ZL02_CALLOFFSTOCK to " + path + "\n");
  EXPECT_EQ(ZelmoraTables(path), "index IX_ZL02_PERIODO\ntable ZL01_NATURAB\ntable ZL02_CALLOFFSTOCK\n"
                                 "index sqlite_autoindex_ZL01_NATURAB_1\nindex sqlite_autoindex_ZL02_CALLOFFSTOCK_1\n");
  Outcome again = RunZelmora({"db", "upgrade", path});
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_EQ(again.out, "Nothing to add: zelmora's tables are already in " + path + "\n");

  // A new database has them from the start.
  EXPECT_EQ(RunZelmora({"db", "init", folder / "new.db"}).code, 0);
  EXPECT_EQ(ZelmoraTables(folder / "new.db"), ZelmoraTables(path));
  EXPECT_EQ(EntriesOf(folder), "host.db\nnew.db\n");
}

}  // namespace
}  // namespace zelmora::testing
