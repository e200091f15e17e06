// A format check of a telematic submission file: each record's fields are
// described by a table row (start, length, kind), and the file's structure
// (which record says the list and periodicity, where the counts and totals
// of each section sit) by a SubmissionFormat, so another layout is another
// set of tables. Each problem names the record, the field, what it holds and
// what the layout wants. Positions and lengths count characters (UTF-8);
// every byte outside printable ASCII is a problem of its own, by byte
// position.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelmora::telematic {

enum class FieldKind {
  kDigits,   // 0-9 only
  kText,     // anything
  kLiteral,  // one of the values in `literal`, separated by '|'
  kLetter,   // digits, the last one possibly p-y standing for a negative 0-9
  kDate,     // DDMMYY of a real day, or all blanks
};

// One-letter names of the kinds, for the layout tables.
namespace field_kinds {
constexpr FieldKind D = FieldKind::kDigits;
constexpr FieldKind X = FieldKind::kText;
constexpr FieldKind L = FieldKind::kLiteral;
constexpr FieldKind Z = FieldKind::kLetter;
constexpr FieldKind T = FieldKind::kDate;
}  // namespace field_kinds

struct FieldRule {
  size_t start;  // 1-based
  size_t length;
  FieldKind kind;
  std::string_view name;
  std::string_view literal = "";  // kLiteral: the values allowed, '|' apart
  int low = 0;                    // kDigits with high > 0: the value's range
  int high = 0;
};

struct RecordLayout {
  std::string_view record_type;
  size_t length;  // characters before CR LF
  std::vector<FieldRule> fields;
};

// One detail record type of one list and periodicity.
struct DetailLayout {
  char type;         // the record type character
  char list;         // the frontispiece's list character
  char periodicity;  // the frontispiece's periodicity character; 0: either
  RecordLayout layout;
  size_t amount_start;  // the amount that adds up into its section's total
  size_t amount_length;
  size_t sign_start;  // 0: no sign field; else '-' makes the amount negative
};

// Where the frontispiece keeps one section's count of records and total.
struct SectionTotal {
  char type;  // the detail record type counted
  std::string_view name;
  size_t count_start, count_length;
  size_t total_start, total_length;
  bool letter_coded;  // a negative total is written with a letter last
  char list = 0;      // the list whose frontispiece has the section; 0: every list
};

struct SubmissionFormat {
  RecordLayout header;
  size_t header_count_start, header_count_length;  // records incl. header
  RecordLayout prefix;            // what every declaration record starts with
  size_t type_position;           // the record type character
  size_t line_start, line_length; // line number within its record type
  size_t shared_start, shared_length;  // the characters details repeat from their frontispiece
  char frontispiece_type;
  RecordLayout frontispiece;
  // When a layout's frontispiece differs by list: the layout of each list
  // (by the character at list_position); `frontispiece` serves the others.
  std::vector<std::pair<char, RecordLayout>> list_frontispieces;
  size_t list_position, periodicity_position;
  size_t period_start, period_length;
  std::vector<SectionTotal> sections;
  std::vector<DetailLayout> details;
};

const SubmissionFormat& Format2010();

struct Problem {
  size_t record;  // 1-based record number in the file
  std::string record_type;
  std::string field;
  std::string holds;
  std::string wants;
  // Which declaration of the file (1-based, 0: the header or no
  // declaration) and which detail record of it (1-based position among its
  // detail records, 0: not one detail record); `section` is the record type
  // whose count or total is wrong in a frontispiece problem, else 0.
  size_t declaration = 0;
  size_t detail = 0;
  char section = 0;
};

// Printable ASCII as it is (a backslash doubled), any other byte as \xHH:
// a value shown in a problem never carries a control character or a
// broken character to the terminal.
std::string Escaped(std::string_view value);

// Checks one record (without its line end) against `layout`: its length in
// characters, then each field.
void CheckRecord(std::string_view record, size_t number, const RecordLayout& layout,
                 std::vector<Problem>& problems);

// Checks a whole file: CR LF line ends, the header and its count of records,
// every frontispiece and detail record against its layout, line numbers in
// sequence within each record type, and each frontispiece's counts and
// totals against the detail records that follow it.
std::vector<Problem> CheckSubmission(std::string_view file, const SubmissionFormat& format);
inline std::vector<Problem> CheckSubmission2010(std::string_view file) {
  return CheckSubmission(file, Format2010());
}

}  // namespace zelmora::telematic
