#include "telematic/submission_check.h"

#include <algorithm>

namespace zelmora::telematic {

const RecordLayout& HeaderLayout2010() {
  static const RecordLayout layout{
      "header",
      75,
      {{1, 4, FieldKind::kText, "user code", ""},
       {5, 12, FieldKind::kLiteral, "reserved", "            "},
       {17, 12, FieldKind::kText, "file name", ""},
       {29, 12, FieldKind::kLiteral, "reserved", "            "},
       {41, 6, FieldKind::kDigits, "customs section", ""},
       {47, 4, FieldKind::kLiteral, "reserved", "    "},
       {51, 16, FieldKind::kText, "applicant VAT / tax code", ""},
       {67, 3, FieldKind::kDigits, "user site progressive", ""},
       {70, 1, FieldKind::kLiteral, "reserved", " "},
       {71, 5, FieldKind::kDigits, "number of records", ""}}};
  return layout;
}

// The first 28 characters every declaration record shares.
const RecordLayout& DeclarationPrefixLayout2010() {
  static const RecordLayout layout{
      "declaration",
      28,
      {{1, 5, FieldKind::kLiteral, "fixed EUROX", "EUROX"},
       {6, 11, FieldKind::kDigits, "presenter VAT", ""},
       {17, 6, FieldKind::kDigits, "list reference number", ""},
       {24, 5, FieldKind::kDigits, "line number", ""}}};
  return layout;
}

void CheckRecord(std::string_view record, size_t number, const RecordLayout& layout,
                 std::vector<Problem>& problems) {
  std::string type(layout.record_type);
  if (record.size() != layout.length) {
    problems.push_back({number, type, "record length", std::to_string(record.size()),
                        std::to_string(layout.length)});
    return;
  }
  for (const FieldRule& field : layout.fields) {
    std::string_view value = record.substr(field.start - 1, field.length);
    if (field.kind == FieldKind::kDigits) {
      bool digits = std::all_of(value.begin(), value.end(),
                                [](char c) { return c >= '0' && c <= '9'; });
      if (!digits) {
        problems.push_back({number, type, std::string(field.name), "'" + std::string(value) + "'",
                            std::to_string(field.length) + " digits"});
      }
    } else if (field.kind == FieldKind::kLiteral && value != field.literal) {
      problems.push_back({number, type, std::string(field.name), "'" + std::string(value) + "'",
                          "'" + std::string(field.literal) + "'"});
    }
  }
}

std::vector<Problem> CheckSubmission2010(std::string_view file) {
  std::vector<Problem> problems;
  std::vector<std::string_view> records;
  size_t at = 0;
  while (at < file.size()) {
    size_t lf = file.find('\n', at);
    size_t end = lf == std::string_view::npos ? file.size() : lf;
    std::string_view line = file.substr(at, end - at);
    bool crlf = lf != std::string_view::npos && !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    records.push_back(line);
    if (!crlf) {
      problems.push_back({records.size(), records.size() == 1 ? "header" : "declaration",
                          "line end", lf == std::string_view::npos ? "none" : "LF", "CR LF"});
    }
    at = lf == std::string_view::npos ? file.size() : lf + 1;
  }
  if (records.empty()) {
    problems.push_back({1, "header", "record", "empty file", "a header record"});
    return problems;
  }
  size_t before = problems.size();
  CheckRecord(records.front(), 1, HeaderLayout2010(), problems);
  if (problems.size() == before) {
    std::string_view count = records.front().substr(70, 5);
    if (std::to_string(std::stoul(std::string(count))) != std::to_string(records.size())) {
      problems.push_back({1, "header", "number of records", std::string(count),
                          std::to_string(records.size())});
    }
  }
  for (size_t i = 1; i < records.size(); ++i) {
    std::string_view record = records[i];
    if (record.size() < 28) {
      problems.push_back({i + 1, "declaration", "record length", std::to_string(record.size()),
                          "at least 28"});
      continue;
    }
    CheckRecord(record.substr(0, 28), i + 1, DeclarationPrefixLayout2010(), problems);
  }
  return problems;
}

}  // namespace zelmora::telematic
