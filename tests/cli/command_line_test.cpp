// The command line every zelmora command shares, run as a person runs it:
// one table of refused values is run against every command that takes the
// option, and each refusal is the same line with the command's own prefix,
// exit 2, nothing on standard output, nothing written and the database
// unchanged. (The commands' own values are in transcripts/.)
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
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

}  // namespace
