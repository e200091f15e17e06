#include "cli/csv_records.h"

namespace zelmora::cli {

bool CsvReader::Next(CsvRecord& record) {
  if (at_ >= text_.size()) return false;
  record.line = line_;
  record.text.clear();
  int quoteOpened = 0;  // the line of the quote still open, 0 when none
  while (at_ < text_.size()) {
    const char c = text_[at_];
    if (c == '\0') throw CsvError{line_, "holds a NUL byte"};
    if (c == '\r' || c == '\n') {
      const size_t end = c == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n' ? at_ + 2 : at_ + 1;
      ++line_;
      if (quoteOpened == 0) {
        at_ = end;
        return true;
      }
      record.text.append(text_.substr(at_, end - at_));
      at_ = end;
      continue;
    }
    // A doubled quote inside quotes closes and opens again: the state is
    // the same as with the pair read as one quote character.
    if (c == '"') quoteOpened = quoteOpened != 0 ? 0 : line_;
    record.text += c;
    ++at_;
  }
  if (quoteOpened != 0) throw CsvError{quoteOpened, "opens a quoted field that is never closed"};
  return true;
}

std::vector<std::string> CsvFields(std::string_view record, char separator) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < record.size(); ++i) {
    const char c = record[i];
    if (quoted) {
      if (c == '"' && i + 1 < record.size() && record[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace zelmora::cli
