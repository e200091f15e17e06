#include "telematic/submission_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_util.h"
#include "support/data_blocks.h"
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

std::string Z(long long value, size_t width) {
  std::string digits = std::to_string(value);
  return std::string(width - digits.size(), '0') + digits;
}
std::string T(std::string_view text, size_t width) {
  return std::string(text) + std::string(width - Utf8Length(text), ' ');
}
std::string Prefix(const char* submission, char type, int line) {
  return std::string("EUROX01234567890") + submission + type + Z(line, 5);
}

// A clean submission: monthly sales with one record of every type, then
// quarterly purchases with goods and a goods correction.
std::vector<std::string> CleanRecords() {
  const std::string seller = T("DE123456789", 12), buyer = T("ATU12345678", 12), service = T("FR1234567890", 12);
  return {
      std::string("ABCD") + std::string(12, ' ') + "ABCD0410.I01" + std::string(12, ' ') + "000000" + "    " +
          T("01234567890", 16) + "000" + " " + "00010",
      Prefix("000001", '0', 0) + "C24M03" + "01234567890" + "00" + "00000000000" + "00002" + Z(300, 13) + "00001" +
          "000000000005p" + "00001" + Z(200, 13) + "00001" + Z(70, 13),
      Prefix("000001", '1', 1) + "DE" + seller + Z(100, 13) + "1" + "84821090" + Z(5, 10) + Z(0, 10) + Z(100, 13) +
          "C3DEMO",
      Prefix("000001", '1', 2) + "DE" + seller + Z(200, 13) + "1" + "84821090" + Z(9, 10) + Z(0, 10) + Z(200, 13) +
          "C3DEMO",
      Prefix("000001", '2', 1) + "02024" + "DE" + seller + "-" + Z(50, 13) + "1" + "84821090" + Z(50, 13),
      Prefix("000001", '3', 1) + "FR" + service + Z(200, 13) + T("17/E", 15) + "150324" + "620100" + "IA" + "FR",
      Prefix("000001", '4', 1) + "123456" + "24" + "000017" + "00003" + "FR" + service + Z(70, 13) + T("9", 15) +
          "290224" + "620100" + "IA" + "FR",
      Prefix("000002", '0', 0) + "A24T01" + "01234567890" + "00" + "00000000000" + "00001" + Z(300, 13) + "00001" +
          Z(40, 13) + "00000" + Z(0, 13) + "00000" + Z(0, 13),
      Prefix("000002", '1', 1) + "AT" + buyer + Z(300, 13) + Z(310, 13) + "1" + "73181599",
      Prefix("000002", '2', 1) + "00123" + "AT" + buyer + "+" + Z(40, 13) + Z(40, 13) + "1" + "73181599",
  };
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
