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
#include "support/file_bytes.h"
#include "support/run_zelmora.h"

namespace {

using zelmora::testing::FileBytes;
using zelmora::testing::Outcome;
using zelmora::testing::RunZelmora;

class InputChecks : public ::testing::Test {
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

  std::string db() const { return *folder_ / "demo.db"; }

  // Each case refused with exactly its line and exit 2, nothing on
  // standard output, nothing written into `out`, the database as it was.
  void ExpectRefused(const std::vector<std::string>& args, const std::string& line, const TempFolder& out) {
    std::string shown;
    for (const std::string& arg : args) shown += " [" + arg + "]";
    SCOPED_TRACE(shown);
    const Outcome outcome = RunZelmora(args);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, line + "\n");
    EXPECT_TRUE(out.Entries().empty());
    EXPECT_EQ(FileBytes(db()), *original_);
    EXPECT_EQ((std::vector<std::string>{"demo.db"}), folder_->Entries());
  }

  static TempFolder* folder_;
  static std::string* original_;
};

TempFolder* InputChecks::folder_ = nullptr;
std::string* InputChecks::original_ = nullptr;

const std::string kInjection = "1'; DROP TABLE IN01_DOCTESTA; --";

TEST_F(InputChecks, MovementsRefusesEveryValueThatWouldChangeItsStatement) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const std::string m = "zelmora movements: ";
  const std::vector<Case> cases = {
      {{"--company", "1", "--doc-number", kInjection}, m + "--doc-number must not hold a quote: '" + kInjection + "'"},
      {{"--company", "1", "--doc-number", "FT/2024/0001-A-BIS-22"},
       m + "--doc-number has at most 20 characters, not 21: 'FT/2024/0001-A-BIS-22'"},
      {{"--company", "1", "--doc-number", "FT1\n2"}, m + "--doc-number must not hold a control character: 'FT1\\x0a2'"},
      {{"--company", "1", "--doc-number", "12--3"}, m + "--doc-number must not hold ';' or '--': '12--3'"},
      {{"--company", "1", "--documents", "--section", "A;"}, m + "--section must not hold ';' or '--': 'A;'"},
      {{"--company", "1", "--documents", "--section", "ABCD"},
       m + "--section has at most 3 characters, not 4: 'ABCD'"},
      {{"--company", "1", "--documents", "--protocol", "1 OR 1=1"},
       m + "--protocol must be a whole number from 0 to 2147483647, not '1 OR 1=1'"},
      {{"--company", "1", "--account", "000123", "--party-kind", "0 OR 1=1"},
       m + "--party-kind must be a whole number from 0 to 255, not '0 OR 1=1'"},
      {{"--company", "1", "--account", "000123", "--party-kind", "256"},
       m + "--party-kind must be a whole number from 0 to 255, not '256'"},
      {{"--company", "1", "--goods-from", "0' OR '1"}, m + "--goods-from must be letters and digits, not '0' OR '1'"},
      {{"--company", "1", "--services-to", "123456789"},
       m + "--services-to has at most 8 characters, not 9: '123456789'"},
      {{"--company", "1", "--doc-from", "20240101'--"},
       m + "--doc-from is not a date (YYYY-MM-DD, YYYYMMDD or DD/MM/YYYY): \"20240101'--\""},
      {{"--company", "1", "--filter", "OR 1 = 1"}, m + "--filter must start with AND: it is added to the list's own conditions"},
      {{"--company", "1", "--filter", "AND IN02_INDOPER = 0; DROP TABLE IN01_DOCTESTA"},
       m + "--filter is not a condition on the line list: Filter \"IN02_INDOPER = 0; DROP TABLE IN01_DOCTESTA\": "
           "expected a value (a number, 'text' or #date#) at \"0; DROP TABLE IN01_DOCTESTA\""},
      {{"--company", "1", "--filter", "AND IN02_INDOPER = 0 OR IN01_DITTA_CG18 = 2"},
       m + "--filter is not a condition on the line list: an OR must stand inside parentheses, or it would reach "
           "other companies' movements"},
      {{"--company", "1", "--filter", "AND NOT_A_COLUMN = 1"},
       m + "--filter is not a condition on the line list: Filter \"NOT_A_COLUMN = 1\": no field named \"NOT_A_COLUMN\""},
      {{"--company", "1", "--filter", "AND IN02_INDOPER = 'goods'"},
       m + "--filter is not a condition on the line list: Filter \"IN02_INDOPER = 'goods'\": the value \"goods\" "
           "cannot be compared with field \"IN02_INDOPER\""},
      {{"--company", "1", "--filter", "AND CG41_DATADOC >= #2024-01-01#"},
       m + "--filter is not a condition on the line list: a date is written as text, '20240131', not between #"},
      {{"--company", "1", "--filter", "AND CG41_NUMDOCORIG = 'A\tB'"},
       m + "--filter must not hold a control character: 'AND CG41_NUMDOCORIG = 'A\\x09B''"},
      {{"--company", "1", "--documents", "--filter", "AND IN02_INDOPER = 0"},
       m + "--filter is not a condition on the document list: Filter \"IN02_INDOPER = 0\": no field named "
           "\"IN02_INDOPER\""},
      {{"--company", "1", "--order-by", "CG41_DATAREG; DROP TABLE IN01_DOCTESTA"},
       m + "--order-by takes columns of the line list, each with ASC or DESC at most, separated by commas: "
           "'CG41_DATAREG; DROP TABLE IN01_DOCTESTA' is not one"},
      {{"--company", "1", "--order-by", "CG41_DATAREG DESC, (SELECT 1)"},
       m + "--order-by takes columns of the line list, each with ASC or DESC at most, separated by commas: "
           "'(SELECT 1)' is not one"},
  };
  TempFolder none;
  for (const Case& c : cases) {
    std::vector<std::string> args{"movements", "--db", db()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ExpectRefused(args, c.line, none);
  }
}

TEST_F(InputChecks, TakesTheWidestCodesAndTheLargestNumbers) {
  const std::string emptyDocuments =
      "Kind  Reg.  Doc. no.  Doc. date  Sect.  Prot.  Reg. date  Competence  Party  Name  Reason  Cur.  Lines\n"
      "----  ----  --------  ---------  -----  -----  ---------  ----------  -----  ----  ------  ----  -----\n"
      "\n"
      "0 documents\n";
  const Outcome widest = RunZelmora({"movements", "--db", db(), "--company", "1", "--documents",
                                       "--doc-number", "FT/2024/0001-A-BIS-2", "--section", "ABC", "--protocol",
                                       "2147483647", "--account", "999999", "--party-kind", "255", "--goods-from",
                                       "00000000", "--goods-to", "ZZZZZZZZ"});
  EXPECT_EQ(widest.code, 0) << widest.err;
  EXPECT_EQ(widest.err, "");
  EXPECT_EQ(widest.out, emptyDocuments);
}

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
