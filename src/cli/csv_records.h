// The records of a CSV text as a spreadsheet saves it: lines end in LF,
// CR LF or a lone CR (as older Mac spreadsheets write them), and a field in
// double quotes may hold the separator, a doubled quote standing for one,
// and line breaks, kept as written. A quote that is never closed, or a NUL
// byte (never part of a spreadsheet's text), is an error naming its line.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelmora::cli {

struct CsvRecord {
  int line = 0;      // the line the record starts on, from 1
  std::string text;  // the record as written, without its line end
};

// A text that cannot be split into records: the line and what is wrong there.
struct CsvError {
  int line = 0;
  std::string what;
};

// Reads `text` (which must outlive it) one record at a time, a last line
// without a line end included.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}
  // The next record; false at the end. Throws CsvError.
  bool Next(CsvRecord& record);

 private:
  std::string_view text_;
  size_t at_ = 0;
  int line_ = 1;
};

// One record's fields, split at `separator` outside double quotes.
std::vector<std::string> CsvFields(std::string_view record, char separator);

}  // namespace zelmora::cli
