#include "telematic/submission_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_util.h"
#include "support/data_blocks.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora::telematic {
namespace {

std::string Report(const std::vector<Problem>& problems) {
  std::string out;
  for (const Problem& p : problems) {
    out += std::to_string(p.record) + " " + p.record_type + " " + p.field + ": " + p.holds + " / " + p.wants + "\n";
  }
  return out;
}

// A clean submission (clean_2010.I01): monthly sales with one record of
// every type, then quarterly purchases with goods and a goods correction.
std::vector<std::string> CleanRecords() {
  std::vector<std::string> records;
  std::istringstream file(testing::TestFile("telematic/clean_2010.I01"));
  for (std::string record; std::getline(file, record);) records.push_back(record.substr(0, record.size() - 1));
  return records;
}

std::string File(const std::vector<std::string>& records) {
  std::string file;
  for (const std::string& record : records) file += record + "\r\n";
  return file;
}

// The clean file with the characters from `start` (1-based, a character
// position) of record `number` replaced by `value`.
std::string Planted(size_t number, size_t start, std::string_view value) {
  std::vector<std::string> records = CleanRecords();
  std::string& record = records[number - 1];
  record = Utf8Left(record, start - 1) + std::string(value) + Utf8Mid(record, start + Utf8Length(value));
  return File(records);
}

TEST(SubmissionCheck, ACleanFileHasNoProblemAndEachPlantedFaultIsReportedOnce) {
  EXPECT_SAME_TEXT("", Report(CheckSubmission2010(File(CleanRecords()))));

  // The faults of the data file: a text written over one record.
  for (const testing::DataBlock& c : testing::ReadBlocks("telematic/planted_2010.txt")) {
    const std::string& spec = c.lines[0];
    const size_t quote = spec.find('\'');
    size_t record = 0, start = 0;
    std::istringstream(spec.substr(0, quote)) >> record >> start;
    const std::string text = testing::Unescaped(spec.substr(quote + 1, spec.size() - quote - 2));
    std::string report;
    for (size_t i = 1; i < c.lines.size(); ++i) report += c.lines[i] + "\n";
    EXPECT_SAME_TEXT(report, Report(CheckSubmission2010(Planted(record, start, text)))) << spec;
  }

  // Faults that are not a text written over a record.
  struct Case {
    std::string file;
    std::string report;
  } cases[] = {
      // Line ends.
      {[] {
         std::string f = File(CleanRecords());
         return f.erase(f.find("\r\n", 80), 1);
       }(),
       "2 declaration line end: LF / CR LF\n"},
      // Record lengths by type and periodicity: a monthly goods record
      // without its statistical block.
      {[] {
         std::vector<std::string> r = CleanRecords();
         r[2].resize(64);
         return File(r);
       }(),
       "3 1 goods record length: 64 / 103\n"},
      {File({CleanRecords()[0].substr(0, 70) + "00002", CleanRecords()[2]}),
       "2 declaration frontispiece: none before this record / a frontispiece record before its details\n"},
      {"", "1 header record: empty file / a header record\n"},
      // An accented letter still counts as one character for the fields
      // after it.
      {[] {
         std::vector<std::string> r = CleanRecords();
         r[5] = Utf8Left(r[5], 57) + "È" + Utf8Mid(r[5], 59, 12) + "310224" + Utf8Mid(r[5], 77);
         return File(r);
       }(),
       "6 3 services invoice date: '310224' / a day DDMMYY or 6 blanks\n"
       "6 3 services bytes 58-59 (invoice number): '\\xC3\\x88' / printable ASCII characters (0x20 to 0x7E)\n"},
      // A lone continuation byte is no character: the record is one short.
      {[] {
         std::vector<std::string> r = CleanRecords();
         r[2] = r[2].substr(0, 30) + "\x80" + r[2].substr(31);
         return File(r);
       }(),
       "3 1 goods record length: 102 / 103\n"
       "3 1 goods byte 31 (party VAT): '\\x80' / printable ASCII characters (0x20 to 0x7E)\n"},
  };
  for (const Case& c : cases) EXPECT_SAME_TEXT(c.report, Report(CheckSubmission2010(c.file)));
}

}  // namespace
}  // namespace zelmora::telematic
