// Recordset filter criteria: "Field op value" comparisons joined by AND and
// OR (AND binds tighter), with parentheses. A criterion is parsed once into a
// small tree whose field names are then bound to field positions, so that
// evaluating it over many rows neither re-reads the text nor looks names up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/decimal.h"
#include "platform/recordset.h"
#include "platform/variant.h"

namespace zelmora {

enum class CompareOp : uint8_t { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like };

// A literal of a criterion in every form a field may ask for: a number
// literal also has its text; a 'text' literal also has a number or a date
// when it reads as one; a #date# has its text between the marks.
struct FilterLiteral {
  enum class Kind : uint8_t { Number, Text, Date };
  Kind kind = Kind::Text;
  std::string text;
  std::optional<Decimal> number;
  double numberAsDouble = 0;
  std::optional<Date> date;
};

struct FilterComparison {
  std::string field;  // as written, brackets removed
  size_t fieldIndex = 0;
  CompareOp op = CompareOp::Equal;
  FilterLiteral value;

  // True when the value satisfies the comparison. Null (and Empty) never do.
  bool Matches(const Variant& fieldValue) const;
};

class FilterCriteria {
 public:
  // Parses a whole criterion. Fails with error 3001 naming the part that
  // could not be read.
  static FilterCriteria Parse(std::string_view criteria);
  // Parses a criterion that must be exactly one comparison (Find).
  static FilterCriteria ParseSingle(std::string_view criterion);

  // Resolves the field names against the fields (first match, ignoring
  // case) and checks that each literal can be compared with its field's
  // type. Fails with 3001 naming the field or the literal.
  void Bind(const std::vector<FieldInfo>& fields);

  // Evaluates the bound criterion on one row.
  bool Matches(const Row& row) const;

  size_t ComparisonCount() const { return comparisons_.size(); }

 private:
  friend class FilterParser;
  enum class NodeKind : uint8_t { Compare, And, Or };
  struct Node {
    NodeKind kind;
    uint32_t a;  // Compare: index into comparisons_; And/Or: left node
    uint32_t b;  // And/Or: right node
  };
  bool Eval(uint32_t node, const Row& row) const;

  std::string text_;
  std::vector<FilterComparison> comparisons_;
  std::vector<Node> nodes_;
  uint32_t root_ = 0;
};

// Text comparison ignoring case (ASCII and the accented Latin letters),
// without building folded copies: negative, 0 or positive.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);
// LIKE pattern match ignoring case: * or % matches any run of characters,
// _ or ? exactly one.
bool LikeMatch(std::string_view text, std::string_view pattern);

}  // namespace zelmora
