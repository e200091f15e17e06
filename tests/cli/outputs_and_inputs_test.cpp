// What a run leaves behind: a run interrupted or killed leaves no temporary
// file for long (the handler removes it, or the next run in the folder
// does), while a live run's file is never touched; and the host script's
// bounds. (The refused targets and inputs are in transcripts/hostile_files.txt.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/host_harness.h"
#include "cli/json_values.h"
#include "support/temp_folder.h"
#include "platform/temp_files.h"
#include "platform/text_file.h"
#include "support/dead_process.h"
#include "support/file_bytes.h"
#include "support/run_zelmora.h"

namespace {

using zelmora::testing::DeadProcessId;
using zelmora::testing::FileBytes;

using zelmora::testing::Outcome;
using zelmora::testing::RunZelmora;

class OutputsAndInputs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    ASSERT_EQ(RunZelmora({"db", "demo", *folder_ / "demo.db"}).code, 0);
    original_ = new std::string(FileBytes(*folder_ / "demo.db"));
  }
  static void TearDownTestSuite() {
    delete folder_;
    delete original_;
  }
  static std::string db() { return *folder_ / "demo.db"; }

  static TempFolder* folder_;
  static std::string* original_;
};

TempFolder* OutputsAndInputs::folder_ = nullptr;
std::string* OutputsAndInputs::original_ = nullptr;

// Waits until `folder` holds a temporary file; false after ten seconds.
bool TemporaryFileAppears(const TempFolder& folder) {
  for (int i = 0; i < 1000; ++i) {
    for (const std::string& name : folder.Entries()) {
      if (zelmora::TemporaryNameOwner(name) > 0) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(OutputsAndInputs, AnInterruptedRunRemovesItsTemporaryFile) {
  // A demo database large enough to be caught while it is being filled.
  for (int signal : {SIGTERM, SIGINT}) {
    TempFolder out;
    TempFolder scratch;
    const pid_t pid = zelmora::testing::SpawnZelmora(scratch, {"db", "demo", out / "big.db", "--movements", "400000"}, "");
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(TemporaryFileAppears(out));
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the signal: " << FileBytes(scratch / "stderr");
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_TRUE(out.Entries().empty()) << out.Entries().front();
  }

  // The library's file writer lists its temporary file for the handler: a
  // process stopped by a signal while the file is half written leaves none.
  TempFolder out;
  const pid_t child = fork();
  if (child == 0) {
    zelmora::InstallTemporaryFileCleanup();
    auto file = zelmora::NewLocalFileHelper()->Open(std::make_shared<zelmora::Folder>(out.path()), "A.I01", 1, "", -1, -1);
    file->Write(std::string(100000, 'x'));
    file->Flush();
    raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(out.Entries().empty());
}

TEST_F(OutputsAndInputs, TheNextRunSweepsTheTemporaryFilesOfRunsThatAreGone) {
  TempFolder out;
  const std::string dead = std::to_string(DeadProcessId());
  const std::string alive = std::to_string(getpid());  // this test: a writer still running
  const std::vector<std::string> swept = {
      ".ABCD0410.I01.zelmora-" + dead + "-123456.tmp",
      ".DEB202403.TXT.zelmora-" + dead + "-staging.tmp",
      "..DEB202403.TXT.zelmora-" + dead + "-staging.tmp.zelmora-" + dead + "-42.tmp",
  };
  const std::vector<std::string> kept = {
      ".ABCD0410.I01.zelmora-" + alive + "-99.tmp",  // a live run's
      ".SCAMBI.CEE.zelmora-" + dead + "-7.tmp",      // held by its writer's lock (another pid namespace)
      "ABCD0410.I01.zelmora-" + dead + "-1.tmp",     // not hidden: not a name the program makes
      ".x.zelmora-" + dead + "-1.tmp-journal",
      ".x.zelmora-12a-1.tmp",
      ".x.zelmora-" + dead + "-.tmp",
      "notes.tmp",
  };
  for (const auto& list : {swept, kept}) {
    for (const std::string& name : list) std::ofstream(out / name) << "left over";
  }
  const int locked = open((out / kept[1]).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(locked, LOCK_EX), 0);
  // A symbolic link of the pattern is not followed, nor removed.
  ASSERT_EQ(symlink(db().c_str(), (out / (".demo.db.zelmora-" + dead + "-1.tmp")).c_str()), 0);

  const Outcome run = RunZelmora({"telematic", "--db", db(), "--company", "1", "--year", "2024", "--period", "3", "--lists",
                           "both", "--user", "ABCD", "--date", "2024-04-10", "--progressive", "1", "--submission",
                           "1", "--vat", "01234567890", "--layout", "2010", "--out", out.path()});
  close(locked);
  EXPECT_EQ(run.code, 0) << run.err;
  std::vector<std::string> expected = kept;
  expected.push_back("ABCD0410.I01");
  expected.push_back(".demo.db.zelmora-" + dead + "-1.tmp");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(out.Entries(), expected);
  EXPECT_EQ(FileBytes(db()), *original_);
}

TEST(ScriptBounds, NestingUpToTheLimitIsReadAndManyKeysAreReadInLinearTime) {
  using zelmora::cli::kMaxScriptDepth;
  using zelmora::cli::ValidateHostScript;
  // The script's object and the active interface are two levels.
  auto nested = [](size_t levels) {
    std::string tree;
    for (size_t i = 0; i < levels; ++i) tree += "{\"a\": ";
    tree += "1" + std::string(levels, '}');
    return "{\"ActiveInterface\": " + tree + "}";
  };
  EXPECT_EQ(ValidateHostScript(nested(kMaxScriptDepth - 1)).exitCode, 0);
  EXPECT_EQ(ValidateHostScript(nested(kMaxScriptDepth)).error, "the script nests objects and lists more than 100 deep");
  EXPECT_EQ(ValidateHostScript("[" + std::string(200, '[')).error,
            "the script nests objects and lists more than 100 deep");

  // 100,000 members: about a second here; read in quadratic time they took
  // 36 s of CPU. Names that differ only in case are one member.
  std::string many = "{\"ActiveInterface\": {";
  for (int i = 0; i < 100000; ++i) many += "\"Member" + std::to_string(i) + "\": " + std::to_string(i) + ", ";
  many += "\"member0\": {\"date\": \"2024-01-01\"}, \"ClsGlobal\": {\"Gcls_DittaCorrente\": {\"IndLocalizzazione\": 2}}}}";
  const auto start = std::chrono::steady_clock::now();
  const auto checked = ValidateHostScript(many);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(checked.exitCode, 0) << checked.error;
  EXPECT_LT(seconds, 10.0);
  EXPECT_EQ(ValidateHostScript("{\"ActiveInterface\": {\"a\": 1, \"b\": 2, \"a\": 3}}").error,
            "the key \"a\" appears twice in one object");
}

}  // namespace
