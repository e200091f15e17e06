// What the program writes and what it reads, run as a person runs it: no
// writing command renames its file over the database it reads or over
// anything that is not a regular file; a run interrupted or killed leaves
// no temporary file for long (the handler removes it, or the next run in
// the folder does), while a live run's file is never touched; the inputs
// read whole are read only from regular files or standard input, up to a
// stated size and nesting.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "cli/bounded_input.h"
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

struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
  mode_t mode = 0;
  bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return {};
  return {info.st_dev, info.st_ino, info.st_mode};
}

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

// A target of each hostile kind at `path`.
enum class Target { HardLinkToDb, SymlinkToDb, Folder, Pipe, Socket, Device, SymlinkToPipe };

void Make(Target kind, const std::string& path, const std::string& database) {
  switch (kind) {
    case Target::HardLinkToDb:
      ASSERT_EQ(link(database.c_str(), path.c_str()), 0);
      return;
    case Target::SymlinkToDb:
      ASSERT_EQ(symlink(database.c_str(), path.c_str()), 0);
      return;
    case Target::Folder:
      ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
      return;
    case Target::Pipe:
      ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
      return;
    case Target::Socket: {
      const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      ASSERT_LT(path.size(), sizeof address.sun_path);
      std::strcpy(address.sun_path, path.c_str());
      ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
      close(fd);
      return;
    }
    case Target::Device:
      // The null device's numbers, on a node of the scratch folder.
      ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0) << "mknod needs root";
      return;
    case Target::SymlinkToPipe:
      ASSERT_EQ(mkfifo((path + ".pipe").c_str(), 0644), 0);
      ASSERT_EQ(symlink((path + ".pipe").c_str(), path.c_str()), 0);
      return;
  }
}

TEST_F(OutputsAndInputs, NoWritingCommandReplacesTheDatabaseOrAnythingButARegularFile) {
  struct Command {
    const char* name;
    const char* option;  // the option the target's name came from
    std::string fileName;
    std::vector<std::string> args;  // followed by the folder or the file
  };
  const std::vector<Command> commands = {
      {"print", "--out", "x.pdf",
       {"print", "cover", "--db", db(), "--company", "1", "--year", "2024", "--period", "3", "--list", "sales", "--out"}},
      {"telematic", "--out", "ABCD0410.I01",
       {"telematic", "--db", db(), "--company", "1", "--year", "2024", "--period", "3", "--lists", "both", "--user",
        "ABCD", "--date", "2024-04-10", "--progressive", "1", "--submission", "1", "--vat", "01234567890", "--layout",
        "2010", "--out"}},
      {"legacy", "--file", "SCAMBI.CEE",
       {"legacy", "--db", db(), "--company", "1", "--year", "2024", "--period", "3", "--lists", "sales",
        "--submission", "1", "--file", "SCAMBI.CEE", "--out"}},
      {"french", "--file", "DEB202403.TXT",
       {"french", "--db", db(), "--company", "3", "--year", "2024", "--period", "3", "--out"}},
  };
  struct Case {
    Target kind;
    const char* what;  // as the refusal says it; nullptr: the database
  };
  const Case cases[] = {
      {Target::HardLinkToDb, nullptr},          {Target::SymlinkToDb, nullptr},
      {Target::Folder, "a folder"},             {Target::Pipe, "a named pipe"},
      {Target::Socket, "a socket"},             {Target::Device, "a character device"},
      {Target::SymlinkToPipe, "a named pipe"},
  };
  for (const Command& command : commands) {
    for (const Case& c : cases) {
      TempFolder out;
      const std::string target = out / command.fileName;
      Make(c.kind, target, db());
      const Identity before = IdentityOf(target);
      std::vector<std::string> args = command.args;
      args.push_back(command.name == std::string("print") ? target : out.path());
      SCOPED_TRACE(std::string(command.name) + " onto " + (c.what ? c.what : "the database") + " " +
                   std::to_string(static_cast<int>(c.kind)));
      const Outcome outcome = RunZelmora(args);
      std::string line = "zelmora " + std::string(command.name) + ": " + command.option + " " + target;
      if (c.what == nullptr) {
        line += " is the database being read (--db " + db() + ")\n";
      } else if (c.kind == Target::Folder && command.name == std::string("print")) {
        line = "zelmora print: --out names a folder: " + target + "\n";
      } else {
        line += " is " + std::string(c.what) + ", not a file that can be replaced\n";
      }
      EXPECT_EQ(outcome.code, 2);
      EXPECT_EQ(outcome.err, line);
      EXPECT_TRUE(IdentityOf(target) == before) << "the target was replaced";
      EXPECT_EQ(FileBytes(db()), *original_);
      std::vector<std::string> expected{command.fileName};
      if (c.kind == Target::SymlinkToPipe) expected.push_back(command.fileName + ".pipe");
      EXPECT_EQ(out.Entries(), expected);
    }
  }

  // The database named as the output itself.
  const std::string folder = folder_->path();
  const Outcome print = RunZelmora({"print", "cover", "--db", db(), "--company", "1", "--year", "2024", "--period", "3",
                             "--list", "sales", "--out", folder + "/./demo.db"});
  EXPECT_EQ(print.code, 2);
  EXPECT_EQ(print.err, "zelmora print: --out " + folder + "/./demo.db is the database being read (--db " + db() +
                           ")\n");
  for (const char* command : {"french", "legacy"}) {
    std::vector<std::string> args = command == std::string("french") ? commands[3].args : commands[2].args;
    if (command == std::string("legacy")) args.resize(args.size() - 3);  // drops --file SCAMBI.CEE --out
    else args.pop_back();
    args.insert(args.end(), {"--file", "demo.db", "--out", folder});
    const Outcome outcome = RunZelmora(args);
    EXPECT_EQ(outcome.code, 2) << command;
    EXPECT_EQ(outcome.err, "zelmora " + std::string(command) + ": --file " + folder +
                               "/demo.db is the database being read (--db " + db() + ")\n");
  }
  EXPECT_EQ(FileBytes(db()), *original_);
  EXPECT_EQ(folder_->Entries(), std::vector<std::string>{"demo.db"});
}

TEST_F(OutputsAndInputs, FileNamesGivenByAPersonAreBareSaneNames) {
  TempFolder out;
  const std::string longName(151, 'A');
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const std::vector<std::string> french = {"french", "--db", db(), "--company", "3", "--year", "2024", "--period", "3",
                                           "--out", out.path(), "--file"};
  const std::vector<std::string> legacy = {"legacy", "--db", db(), "--company", "1", "--year", "2024", "--period",
                                           "3", "--lists", "sales", "--submission", "1", "--out", out.path(), "--file"};
  const std::vector<std::string> print = {"print", "cover", "--db", db(), "--company", "1", "--year", "2024",
                                          "--period", "3", "--list", "sales", "--out"};
  const std::vector<std::pair<std::string, std::string>> names = {
      {"../DEB.TXT", "must be a file name, not a path: '../DEB.TXT'"},
      {"..", "must be a file name, not a path: '..'"},
      {"DEB\n202403.TXT", "'DEB\\x0a202403.TXT' holds a control character"},
      {"DEB\x1b[31m.TXT", "'DEB\\x1b[31m.TXT' holds a control character"},
      {longName, "has at most 150 bytes, not 151"},
  };
  for (const auto& [name, why] : names) {
    for (const auto& [base, command, option] : {std::tuple{&french, "french", "--file"}, {&legacy, "legacy", "--file"}}) {
      std::vector<std::string> args = *base;
      args.push_back(name);
      SCOPED_TRACE(std::string(command) + " " + name);
      const Outcome outcome = RunZelmora(args);
      EXPECT_EQ(outcome.code, 2);
      EXPECT_EQ(outcome.err, "zelmora " + std::string(command) + ": " + option + " " + why + "\n");
    }
  }
  // print --out is a path: its folders may be anything, its last part is a name.
  const std::pair<std::string, std::string> paths[] = {
      {out / "x\n.pdf", "--out '" + out.path() + "/x\\x0a.pdf' holds a control character"},
      {out / longName, "--out has at most 150 bytes, not 151"},
      {out.path() + "/", "--out '" + out.path() + "/' must end in a file name"},
      {std::string(4001, '/'), "--out has at most 4000 bytes, not 4001"},
  };
  for (const auto& [path, why] : paths) {
    std::vector<std::string> args = print;
    args.push_back(path);
    const Outcome outcome = RunZelmora(args);
    EXPECT_EQ(outcome.code, 2) << path;
    EXPECT_EQ(outcome.err, "zelmora print: " + why + "\n");
  }
  EXPECT_TRUE(out.Entries().empty());
}

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

TEST_F(OutputsAndInputs, InputsReadWholeComeFromAFileOrStandardInputAndAreBounded) {
  TempFolder in;
  ASSERT_EQ(mknod((in / "zero").c_str(), S_IFCHR | 0444, makedev(1, 5)), 0) << "mknod needs root";
  ASSERT_EQ(mkfifo((in / "pipe").c_str(), 0644), 0);
  // Larger than the limit on disk (a sparse file) and on standard input.
  const size_t limit = zelmora::cli::kMaxScriptBytes;
  ASSERT_EQ(zelmora::cli::kMaxCsvBytes, limit);
  {
    std::ofstream(in / "huge");
    ASSERT_EQ(truncate((in / "huge").c_str(), static_cast<off_t>(limit + 1)), 0);
    std::ofstream brackets(in / "brackets");
    brackets << std::string(limit + 1, '[');
  }
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "{\"a\": ";
  deep += "1" + std::string(20000, '}');
  std::ofstream(in / "deep.json") << "{\"ActiveInterface\": " << deep << "}";

  const std::vector<std::string> csv = {"--db", db(), "--year", "2025", "--kind", "goods"};
  struct Case {
    std::vector<std::string> args;
    std::string input;  // standard input
    std::string line;
  };
  const std::string h = "zelmora host: ", n = "zelmora nomenclature import: ";
  const std::vector<Case> cases = {
      {{"host", in / "zero"}, "", h + "the script " + in / "zero" + " is a character device: it is read from a file, or from standard input as -"},
      {{"host", "--check", in / "pipe"}, "", h + "the script " + in / "pipe" + " is a named pipe: it is read from a file, or from standard input as -"},
      {{"host", in.path()}, "", h + "the script " + in.path() + " is a folder: it is read from a file, or from standard input as -"},
      {{"host", in / "huge"}, "", h + "the script " + in / "huge" + " is larger than 16 MiB, the most that is read"},
      {{"host"}, in / "brackets", h + "the script on standard input is larger than 16 MiB, the most that is read"},
      {{"host", "-"}, in / "zero", h + "the script on standard input is larger than 16 MiB, the most that is read"},
      {{"host", in / "deep.json"}, "", h + "the script nests objects and lists more than 100 deep"},
      {{"host", "--check", in / "deep.json"}, "", h + "the script nests objects and lists more than 100 deep"},
      {{"host", "--check"}, in / "deep.json", h + "the script nests objects and lists more than 100 deep"},
      {{"nomenclature", "import", in / "zero"}, "", n + "the CSV file " + in / "zero" + " is a character device: it is read from a file, or from standard input as -"},
      {{"nomenclature", "import", in / "pipe"}, "", n + "the CSV file " + in / "pipe" + " is a named pipe: it is read from a file, or from standard input as -"},
      {{"nomenclature", "import", in / "huge"}, "", n + "the CSV file " + in / "huge" + " is larger than 16 MiB, the most that is read"},
      {{"nomenclature", "import", "-"}, in / "zero", n + "the CSV file on standard input is larger than 16 MiB, the most that is read"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    if (args[0] == "nomenclature") args.insert(args.end(), csv.begin(), csv.end());
    SCOPED_TRACE(args.back() + " < " + c.input);
    const Outcome outcome = RunZelmora(args, c.input);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.line + "\n");
  }
  EXPECT_EQ(FileBytes(db()), *original_);

  // Standard input is read for the CSV file too, and its lines are named so.
  std::ofstream(in / "codes.csv") << "84821010;Cuscinetti\n8482109X;Altri\n";
  const Outcome bad = RunZelmora({"nomenclature", "import", "-", "--db", db(), "--year", "2025", "--kind", "goods"},
                          in / "codes.csv");
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.err, n + "standard input line 2: code \"8482109X\" is not all digits\n");
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
