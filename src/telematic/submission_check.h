// A format check of a submission file in the 2010 layout: each field of a
// record is described by a table row (start, length, kind), so another
// layout is another table. Each problem names the record, the field, what
// it holds and what the layout wants.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelmora::telematic {

enum class FieldKind { kDigits, kText, kLiteral };

struct FieldRule {
  size_t start;  // 1-based
  size_t length;
  FieldKind kind;
  std::string_view name;
  std::string_view literal;  // the value a literal field must hold
};

struct RecordLayout {
  std::string_view record_type;
  size_t length;  // characters before CR LF
  std::vector<FieldRule> fields;
};

struct Problem {
  size_t record;  // 1-based record number in the file
  std::string record_type;
  std::string field;
  std::string holds;
  std::string wants;
};

// The header record of the 2010 layout.
const RecordLayout& HeaderLayout2010();

// Checks one record (without its line end) against `layout`.
void CheckRecord(std::string_view record, size_t number, const RecordLayout& layout,
                 std::vector<Problem>& problems);

// Checks the header of a whole file: CR LF line ends, the header's fields
// and its count of records; of declaration records only the shared prefix.
std::vector<Problem> CheckSubmission2010(std::string_view file);

}  // namespace zelmora::telematic
