// The command line every zelmora command shares, run as a person runs it:
// one table of refused values is run against every command that takes the
// option, and each refusal is the same line with the command's own prefix,
// exit 2, nothing on standard output, nothing written and the database
// unchanged. A database that the commands cannot read names the cause and
// exits 1, in every command.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"
#include "support/file_bytes.h"
#include "support/run_zelmora.h"

namespace {

using zelmora::testing::FileBytes;
using zelmora::testing::Outcome;
using zelmora::testing::RunZelmora;

// A command as a person types it with good values: the words before the
// options, then each option and its value.
struct Command {
  std::string name;  // as the prefix of its messages, after "zelmora "
  std::vector<std::string> lead;
  std::vector<std::pair<std::string, std::string>> options;
};

void Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
}

class CommandLine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    // The edge cases: company 1 files its purchases quarterly there.
    ASSERT_EQ(RunZelmora({"db", "demo", *folder_ / "demo.db", "--movements", "600", "--edge-cases"}).code, 0);
    original_ = new std::string(FileBytes(*folder_ / "demo.db"));
    std::ofstream(*folder_ / "codes.csv") << "84821090;Ball bearings\n";
    std::ofstream(*folder_ / "file.I01") << "not a submission\r\n";
    std::ofstream(*folder_ / "text.db") << "not a database at all\n";
  }
  static void TearDownTestSuite() {
    delete folder_;
    delete original_;
  }

  static std::string db() { return *folder_ / "demo.db"; }

  // Every command that reads the host database, with good values.
  static std::vector<Command> Commands(const TempFolder& out) {
    const std::vector<std::pair<std::string, std::string>> period = {
        {"--db", db()}, {"--company", "1"}, {"--year", "2024"}, {"--period", "3"}};
    auto with = [&](std::vector<std::pair<std::string, std::string>> more) {
      std::vector<std::pair<std::string, std::string>> all = period;
      all.insert(all.end(), more.begin(), more.end());
      return all;
    };
    return {
        {"movements", {"movements"}, {{"--db", db()}, {"--company", "1"}}},
        {"declaration", {"declaration"}, with({{"--list", "sales"}})},
        {"telematic",
         {"telematic"},
         with({{"--lists", "sales"}, {"--user", "ABCD"}, {"--date", "2024-04-10"}, {"--progressive", "1"},
               {"--submission", "1"}, {"--out", out.path()}})},
        {"legacy", {"legacy"}, with({{"--lists", "sales"}, {"--submission", "1"}, {"--out", out.path()}})},
        {"french",
         {"french"},
         {{"--db", db()}, {"--company", "3"}, {"--year", "2024"}, {"--period", "3"}, {"--lists", "both"},
          {"--out", out.path()}}},
        {"print", {"print", "journal"}, with({{"--list", "sales"}, {"--out", out / "journal.pdf"}})},
        {"check", {"check"}, with({{"--lists", "sales"}})},
        {"verify", {"verify", *folder_ / "file.I01"}, period},
        {"nomenclature import",
         {"nomenclature", "import", *folder_ / "codes.csv"},
         {{"--db", db()}, {"--year", "2024"}, {"--kind", "goods"}}},
    };
  }

  static std::vector<std::string> Words(const Command& command) {
    std::vector<std::string> words = command.lead;
    for (const auto& [option, value] : command.options) {
      words.push_back(option);
      words.push_back(value);
    }
    return words;
  }

  // Refused with exactly its line and `code`, nothing on standard output,
  // nothing written into `out` or beside the database, the database as it was.
  void ExpectRefused(const std::vector<std::string>& words, const std::string& line, const TempFolder& out,
                     int code = 2) {
    std::string shown;
    for (const std::string& word : words) shown += " [" + word.substr(0, 60) + "]";
    SCOPED_TRACE(shown);
    const Outcome outcome = RunZelmora(words);
    EXPECT_EQ(outcome.code, code);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, line + "\n");
    EXPECT_TRUE(out.Entries().empty());
    EXPECT_EQ(FileBytes(db()), *original_);
    EXPECT_EQ((std::vector<std::string>{"codes.csv", "demo.db", "file.I01", "text.db"}), folder_->Entries());
  }

  static TempFolder* folder_;
  static std::string* original_;
};

TempFolder* CommandLine::folder_ = nullptr;
std::string* CommandLine::original_ = nullptr;

TEST_F(CommandLine, EveryCommandRefusesTheSameValuesWithTheSameLine) {
  // What each probe does to the command's good values: give an option
  // this value (when the command has the option), give one again, or add
  // words at the end.
  enum class Change { Set, Repeat, Append, NoValue };
  struct Probe {
    Change change;
    std::string option;
    std::string value;
    std::string reason;
    // The commands it runs against, when not every one with the option:
    // the variants of a rule that one check applies need not run in all.
    std::set<std::string> only = {};
    std::set<std::string> except = {};
  };
  const std::set<std::string> two = {"movements", "telematic"};
  const std::string company = "--company must be a whole number from 1 to 2147483647, not ";
  const std::string year = "--year must be a whole number from 1900 to 9999, not ";
  const std::string longString = "Driver={SQLite3};Database=" + std::string(975, 'x');
  const std::vector<Probe> probes = {
      {Change::Set, "--company", "0x1", company + "'0x1'"},
      {Change::Set, "--company", " 1", company + "' 1'", two},
      {Change::Set, "--company", "+1", company + "'+1'", two},
      {Change::Set, "--company", "2147483648", company + "'2147483648'", two},
      {Change::Set, "--company", "1\x1b[31m", company + "'1\\x1b[31m'", two},
      // The whole range is taken: the largest code is looked up.
      {Change::Set, "--company", "2147483647", "company 2147483647 is not in the company table CG18_DITTE"},
      {Change::Set, "--company", "9", "company 9 is not in the company table CG18_DITTE", {"french", "check"}},
      {Change::Set, "--year", "abc", year + "'abc'"},
      {Change::Set, "--year", "1899", year + "'1899'", {"declaration", "check"}},
      {Change::Set, "--year", "10000", year + "'10000'", two},
      {Change::Set, "--period", "13", "--period must be a whole number from 1 to 12, not '13'"},
      // The legacy file takes one list at a time.
      {Change::Set, "--lists", "all", "--lists must be sales, purchases or both, not 'all'", {}, {"legacy"}},
      {Change::Set, "--lists", "all", "--lists must be sales or purchases, not 'all'", {"legacy"}},
      {Change::Set, "--period", "", "--period is given an empty value: give one, or leave the option out", two},
      {Change::Set, "--db", "", "--db is given an empty value: give one, or leave the option out", two},
      {Change::Set, "--db", "/nonexistent/host.db", "no database file at /nonexistent/host.db"},
      {Change::Set, "--db", folder_->path(), "--db names a folder, not a database file: " + folder_->path(), two},
      {Change::Set, "--db", *folder_ / "text.db",
       "cannot open the database: file is not a database (SQLite error 26): " + (*folder_ / "text.db")},
      {Change::Set, "--db", "Provider=Nowhere;Data Source=x",
       "cannot open the database: Provider cannot be found. It may not be properly installed. (Provider: Nowhere)",
       {},
       {"nomenclature import"}},
      {Change::Set, "--db", longString,
       "--db has 1001 characters, more than the 1000 a database path or connection string may have"},
      {Change::Set, "--db", "demo\n.db", "--db must not hold a control character: 'demo\\x0a.db'", two},
      {Change::Repeat, "--db", "", "--db is given 2 times: give it once", {"movements", "print", "verify"}},
      {Change::NoValue, "--db", "", "--db needs a value", {"declaration", "french", "nomenclature import"}},
      {Change::Append, "--bogus", "", "the following argument was not expected: --bogus", {"legacy", "check"}},
      {Change::Append, "--\xc2\x9b" "31m", "", "the following argument was not expected: --\\xc2\\x9b31m", two},
  };
  // Each run is a process of its own: they run three at a time.
  struct Run {
    std::unique_ptr<TempFolder> out;
    std::vector<std::string> words;
    std::string line;
  };
  std::vector<Run> runs;
  const size_t commands = Commands(TempFolder()).size();
  for (const Probe& probe : probes) {
    for (size_t i = 0; i < commands; ++i) {
      auto out = std::make_unique<TempFolder>();
      Command command = Commands(*out)[i];
      if ((!probe.only.empty() && !probe.only.count(command.name)) || probe.except.count(command.name)) continue;
      auto has = std::find_if(command.options.begin(), command.options.end(),
                              [&](const auto& option) { return option.first == probe.option; });
      if (probe.change != Change::Append && has == command.options.end()) continue;
      std::vector<std::string> tail;
      switch (probe.change) {
        case Change::Set: has->second = probe.value; break;
        case Change::Repeat: tail = {has->first, has->second}; break;
        case Change::Append: tail = {probe.option}; break;
        case Change::NoValue:
          command.options.erase(has);
          tail = {probe.option};
          break;
      }
      std::vector<std::string> words = Words(command);
      words.insert(words.end(), tail.begin(), tail.end());
      runs.push_back({std::move(out), std::move(words), "zelmora " + command.name + ": " + probe.reason});
    }
  }
  std::atomic<size_t> next{0};
  auto worker = [&] {
    for (size_t i = next++; i < runs.size(); i = next++) ExpectRefused(runs[i].words, runs[i].line, *runs[i].out);
  };
  std::vector<std::thread> workers;
  for (int i = 0; i < 3; ++i) workers.emplace_back(worker);
  for (std::thread& t : workers) t.join();
  EXPECT_GT(runs.size(), 80u);
}

// A quarterly period is named by the quarter's last month in every
// command, whether the command line or the company says quarterly: any
// other month would select nothing and is refused.
TEST_F(CommandLine, AQuarterlyPeriodIsTheQuartersLastMonthEverywhere) {
  const std::string rule = "--period must be the last month of a quarter (3, 6, 9 or 12) ";
  const std::string given = rule + "for a quarterly declaration, not 2";
  const std::string company = rule + "as company 1 files its purchases list quarterly, not 2";
  struct Case {
    std::string name;
    std::vector<std::string> more;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"declaration", {"--list", "sales", "--quarterly"}, given},
      {"print", {"--list", "sales", "--quarterly"}, given},
      {"telematic", {"--lists", "sales", "--periodicity", "quarterly"}, given},
      {"legacy", {"--lists", "sales", "--periodicity", "quarterly"}, given},
      {"telematic", {"--lists", "purchases"}, company},
      {"telematic", {"--lists", "both"}, company},
      {"legacy", {"--lists", "purchases"}, company},
      {"check", {"--lists", "purchases"}, company},
  };
  for (const Case& c : cases) {
    TempFolder out;
    std::vector<std::string> words{c.name};
    if (c.name == "print") words.push_back("journal");
    const std::vector<std::string> period = {"--db", db(), "--company", "1", "--year", "2024", "--period", "2"};
    words.insert(words.end(), period.begin(), period.end());
    words.insert(words.end(), c.more.begin(), c.more.end());
    std::vector<std::string> rest;
    if (c.name == "telematic" || c.name == "legacy") rest = {"--submission", "1", "--out", out.path()};
    if (c.name == "telematic") rest.insert(rest.end(), {"--user", "ABCD", "--progressive", "1"});
    if (c.name == "print") rest = {"--out", out / "x.pdf"};
    words.insert(words.end(), rest.begin(), rest.end());
    ExpectRefused(words, "zelmora " + c.name + ": " + c.reason, out);
  }
}

// The values of the telematic header, the demo database's sizes and the
// command line itself.
TEST_F(CommandLine, CommandsOwnValuesAndTheCommandLineItself) {
  TempFolder out;
  const std::vector<std::string> telematic = {"telematic", "--db", db(), "--company", "1", "--year", "2024",
                                              "--period", "3", "--lists", "sales", "--progressive", "1",
                                              "--submission", "1", "--out", out.path()};
  struct Case {
    std::vector<std::string> words;
    std::string line;
  };
  auto plus = [](std::vector<std::string> words, const std::vector<std::string>& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
  };
  const std::string demo = *folder_ / "new.db";
  const std::vector<Case> cases = {
      {plus(telematic, {"--user", "ABCDE"}), "zelmora telematic: --user must be 1 to 4 letters or digits, not 'ABCDE'"},
      {plus(telematic, {"--user", "AB-1"}), "zelmora telematic: --user must be 1 to 4 letters or digits, not 'AB-1'"},
      {plus(telematic, {"--user", "ABCD", "--date", ""}),
       "zelmora telematic: --date is given an empty value: give one, or leave the option out"},
      {plus(telematic, {"--user", "ABCD", "--date", "2024-02-30"}),
       "zelmora telematic: --date must be a day YYYY-MM-DD, not '2024-02-30'"},
      {{"db", "demo", demo, "--movements", "10000001"},
       "zelmora db demo: --movements must be a whole number from 0 to 10000000, not '10000001'"},
      {{"db", "demo", demo, "--movements", "2147483648"},
       "zelmora db demo: --movements must be a whole number from 0 to 10000000, not '2147483648'"},
      {{"db", "demo", demo, "--seed", "-1"},
       "zelmora db demo: --seed must be a whole number from 0 to 9223372036854775807, not '-1'"},
      {{"db", "demo", demo, "--seed", ""}, "zelmora db demo: --seed is given an empty value: give one, or leave the option out"},
      {{"db", "init", db()}, "zelmora db init: " + db() + " already exists"},
      {{}, "zelmora: a command is required: see --help"},
      {{"nomenclature"}, "zelmora nomenclature: a command is required: see --help"},
      {{"ledger"}, "zelmora: 'ledger' is not a command: see --help"},
      {{"movements", "--db", db(), "--company", "1", "--csv", "extra"},
       "zelmora movements: the following argument was not expected: extra"},
      {{"declaration", "--db", db(), "--company", "1", "--year", "2024", "--period", "3", "--list", "sales",
        "--quarterly", "--annual"},
       "zelmora declaration: --quarterly excludes --annual"},
      {{"verify", *folder_ / "file.I01", "--company", "1"},
       "zelmora verify: --company, --year and --period go with --db"},
      {{"nomenclature", "import", *folder_ / "codes.csv", "--db", "Provider=SQLite;Data Source=x", "--year", "2024",
        "--kind", "goods"},
       "zelmora nomenclature import: --db of nomenclature import is a SQLite file, not a connection string"},
      {{"movements", "--db", db(), "--company", std::string(10001, '1')},
       "zelmora movements: --company has 10001 characters, more than the 10000 a value may have"},
  };
  for (const Case& c : cases) ExpectRefused(c.words, c.line, out);

  // Help is an answer, not a refusal.
  for (const std::vector<std::string>& words : {std::vector<std::string>{"--help"}, {"telematic", "--help"}}) {
    const Outcome help = RunZelmora(words);
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("Usage: zelmora"), std::string::npos) << help.out;
  }

  // The user code is written in capitals into both the file's name and
  // the header record, which agree.
  const Outcome sent = RunZelmora(plus(telematic, {"--user", "ab1", "--date", "2024-04-10"}));
  ASSERT_EQ(sent.code, 0) << sent.err;
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"AB10410.I01"});
  EXPECT_EQ(FileBytes(out / "AB10410.I01").substr(0, 28), "AB1             AB10410.I01 ");
}

// A database the commands cannot read: each says what is missing or which
// stored value it cannot take, where, and exits 1, leaving no file.
TEST_F(CommandLine, ADatabaseThatCannotBeReadNamesTheCause) {
  const std::string view = "Invalid object name 'VIN01_INTRA'.";
  const std::string table = "Invalid object name 'IN02_RIGHEDOC'.";
  const std::string value =
      "registration 84, column IN02_INDTRASP: Conversion failed when converting the varchar value 'x' to data type ";
  struct Damage {
    std::string sql;
    std::map<std::string, std::string> lines;  // by command
  };
  const std::vector<Damage> damages = {
      {"DROP VIEW VIN01_INTRA; DROP TABLE IN02_RIGHEDOC",
       {{"movements", "the movements could not be read: " + table},
        {"declaration", view},
        {"telematic", view},
        {"legacy", view},
        {"french", view},
        {"print", table},
        {"check", "cannot read the movements: no such table: IN02_RIGHEDOC"}}},
      // A transport code that is no number, in a sale of March 2024.
      {"UPDATE IN02_RIGHEDOC SET IN02_INDTRASP = 'x' WHERE IN02_DITTA_CG18 = 1 AND IN02_NUMREG_CG41 = 84",
       {{"movements", "the movements could not be read: " + value + "tinyint."},
        {"declaration", value + "int."},
        {"telematic", value + "int."},
        {"legacy", value + "int."},
        {"print", value + "tinyint."}}},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.sql);
    TempFolder copy;
    const std::string damaged = copy / "damaged.db";
    std::ofstream(damaged, std::ios::binary) << *original_;
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(damaged.c_str(), &handle), SQLITE_OK);
    Exec(handle, damage.sql);
    sqlite3_close(handle);
    for (size_t i = 0; i < Commands(copy).size(); ++i) {
      TempFolder out;
      Command command = Commands(out)[i];
      auto line = damage.lines.find(command.name);
      if (line == damage.lines.end()) continue;
      for (auto& [option, setting] : command.options) {
        if (option == "--db") setting = damaged;
      }
      SCOPED_TRACE(command.name);
      const Outcome outcome = RunZelmora(Words(command));
      EXPECT_EQ(outcome.code, 1);
      EXPECT_EQ(outcome.out, "");
      EXPECT_EQ(outcome.err, "zelmora " + command.name + ": " + line->second + "\n");
      EXPECT_TRUE(out.Entries().empty());
    }
  }
}

}  // namespace
