#include "telematic/submission_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/golden.h"

namespace zelmora::telematic {
namespace {

std::string Report(const std::vector<Problem>& problems) {
  std::string out;
  for (const Problem& p : problems) {
    out += std::to_string(p.record) + " " + p.record_type + " " + p.field + ": " + p.holds +
           " / " + p.wants + "\n";
  }
  return out;
}

std::string Header(std::string count) {
  return std::string("UA01") + std::string(12, ' ') + "SCAMBI.CEE  " + std::string(12, ' ') +
         "012345" + std::string(4, ' ') + "01234567890     " + "001" + " " + count;
}

const std::string kDetail = "EUROX0123456789000000110000100";

TEST(SubmissionCheck, HeaderFaultsAreReportedOnePerRule) {
  EXPECT_TRUE(testing::SameText("", Report(CheckSubmission2010(Header("00002") + "\r\n" +
                                                                   kDetail + "\r\n"))));
  // A missing CR, a blank in a digits field, a wrong reserved filler, a
  // wrong count of records, a short header and an empty file.
  EXPECT_TRUE(testing::SameText("1 header line end: LF / CR LF\n",
                                Report(CheckSubmission2010(Header("00001") + "\n"))));
  std::string blanks = Header("00001");
  blanks[41] = ' ';
  EXPECT_TRUE(testing::SameText("1 header customs section: '0 2345' / 6 digits\n",
                                Report(CheckSubmission2010(blanks + "\r\n"))));
  std::string filler = Header("00001");
  filler[69] = 'X';
  EXPECT_TRUE(testing::SameText("1 header reserved: 'X' / ' '\n",
                                Report(CheckSubmission2010(filler + "\r\n"))));
  EXPECT_TRUE(testing::SameText("1 header number of records: 00003 / 2\n",
                                Report(CheckSubmission2010(Header("00003") + "\r\n" + kDetail +
                                                           "\r\n"))));
  EXPECT_TRUE(testing::SameText("1 header record length: 74 / 75\n",
                                Report(CheckSubmission2010(Header("0001") + "\r\n"))));
  EXPECT_TRUE(testing::SameText("1 header record: empty file / a header record\n",
                                Report(CheckSubmission2010(""))));
  EXPECT_TRUE(testing::SameText("2 declaration fixed EUROX: 'EUROY' / 'EUROX'\n",
                                Report(CheckSubmission2010(Header("00002") + "\r\n" + "EUROY" +
                                                           kDetail.substr(5) + "\r\n"))));
}

}  // namespace
}  // namespace zelmora::telematic
