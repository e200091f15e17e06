// zelmora verify on the files the demo database produces, and the check
// that zelmora telematic runs on what it has just written.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/telematic_command.h"
#include "cli/verify_command.h"
#include "support/submission_request.h"
#include "support/temp_folder.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora {
namespace {

// The demo company (seed 1, 5,000 movements) as `zelmora db demo` makes it,
// with or without --edge-cases.
void MakeDemo(const std::string& path, bool edgeCases) {
  CLI::App app;
  int exitCode = -1;
  cli::AddDbCommand(app, exitCode);
  std::ostringstream quiet;
  auto* old = std::cout.rdbuf(quiet.rdbuf());
  std::vector<std::string> args{path, "demo", "db"};
  if (edgeCases) args.insert(args.begin(), "--edge-cases");
  app.parse(args);
  std::cout.rdbuf(old);
  ASSERT_EQ(exitCode, 0);
}

// The README's main job on the demo in `folder`: March 2024, both lists,
// strict, in the layout of the period unless the caller sets one.
cli::SubmissionRequest MainJob(const TempFolder& folder) {
  cli::SubmissionRequest request = testing::MarchRequest(folder / "demo.db", folder.path());
  request.lists = "both";
  request.date = "2024-04-10";
  request.submission = "1";
  request.strict = true;
  return request;
}

// The README's main job: March 2024 in the layout of its period, strict.
TEST(VerifyCommand, TheDemoWritesAFileOfThe2022LayoutThatItsCheckFindsClean) {
  TempFolder folder;
  MakeDemo(folder / "demo.db", false);
  cli::SubmissionRequest request = MainJob(folder);
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunTelematic(request, out, err), 0) << err.str();
  EXPECT_SAME_TEXT("", err.str());
  std::string summary = out.str();
  const size_t at = summary.find(folder.path());
  if (at != std::string::npos) summary.replace(at, folder.path().size(), "OUT");
  testing::ExpectGoldenFile("telematic/golden/demo_2022_summary.txt", summary);
  std::ostringstream verified, none;
  EXPECT_EQ(cli::RunVerify({.file = folder / "ABCD0410.I01"}, verified, none), 0);
  EXPECT_SAME_TEXT("", none.str());
}

// The edge cases in the 2010 layout, which writes what the host asked.
TEST(VerifyCommand, TheDemoSubmissionIsCheckedWhenWrittenAndAgainFromItsFile) {
  TempFolder folder;
  MakeDemo(folder / "demo.db", true);
  cli::SubmissionRequest request = MainJob(folder);
  request.layout = "2010";
  // The demo holds negative lines (returns): the component writes them as
  // the host asked, the check reports the signs the format does not allow
  // and the totals that then differ from the records.
  const std::string problems = testing::TestFile("telematic/golden/demo_2010_problems.txt");
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunTelematic(request, out, err), 1);
  EXPECT_EQ(err.str(), "zelmora telematic: ABCD0410.I01 has 5 format problems (--strict); the file is kept\n");
  const std::string written = out.str();
  EXPECT_SAME_TEXT("format check: 5 problems\n" + problems, written.substr(written.find("format check")));
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"ABCD0410.I01", "demo.db"}));

  const std::string file = folder / "ABCD0410.I01";
  std::ostringstream table, csv, none;
  // A 2024 file in the 2010 layout is checked in the layout it fits, not
  // the one of its period.
  EXPECT_EQ(cli::RunVerify({.file = file}, table, none), 1);
  EXPECT_SAME_TEXT(problems + file + ": 2010 layout, 167 records, 5 problems\n", table.str());
  EXPECT_EQ(cli::RunVerify({.file = file, .csv = true, .layout = "2010"}, csv, none), 1);
  testing::ExpectGoldenFile("telematic/golden/demo_2010_problems.csv", csv.str());
  EXPECT_EQ(none.str(), "");

  // With the database, each problem of a detail record names the line it
  // was written from and the registrations of the line's movements.
  cli::VerifyRequest traced{.file = file, .layout = "2010", .database = folder / "demo.db", .company = 1, .year = 2024, .period = 3};
  std::ostringstream lines;
  EXPECT_EQ(cli::RunVerify(traced, lines, none), 1);
  std::string traces = lines.str();
  traces.replace(traces.rfind(file), file.size(), "OUT");
  testing::ExpectGoldenFile("telematic/golden/demo_2010_traced.txt", traces);
  EXPECT_EQ(none.str(), "");
  traced.company = 9;
  std::ostringstream unknownOut, unknownErr;
  EXPECT_EQ(cli::RunVerify(traced, unknownOut, unknownErr), 2);
  EXPECT_EQ(unknownErr.str(), "zelmora verify: company 9 is not in the company table CG18_DITTE\n");

  // A file that cannot be read: one line, exit 2.
  std::ostringstream missingOut, missingErr, dirErr;
  EXPECT_EQ(cli::RunVerify({.file = folder / "none.I01"}, missingOut, missingErr), 2);
  EXPECT_EQ(missingErr.str(), "zelmora verify: cannot read " + (folder / "none.I01") + ": no such file\n");
  EXPECT_EQ(missingOut.str(), "");
  EXPECT_EQ(cli::RunVerify({.file = folder.path()}, missingOut, dirErr), 2);
  EXPECT_EQ(dirErr.str(), "zelmora verify: cannot read " + folder.path() + ": not a regular file\n");
}

}  // namespace
}  // namespace zelmora
