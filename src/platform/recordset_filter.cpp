#include "platform/recordset_filter.h"

#include <cmath>
#include <string>

#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

// One character of UTF-8 text at `pos`; `length` receives its byte count.
// A malformed byte stands for itself so that any text can be compared.
char32_t DecodeAt(std::string_view s, size_t pos, size_t& length) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  int extra = 0;
  char32_t cp = lead;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07;
  }
  if (extra == 0 || pos + static_cast<size_t>(extra) >= s.size()) {
    length = 1;
    return lead;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto c = static_cast<unsigned char>(s[pos + i]);
    if ((c & 0xC0) != 0x80) {
      length = 1;
      return lead;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  length = static_cast<size_t>(extra) + 1;
  return cp;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Characters that end a field name written without brackets.
bool EndsName(char c) {
  return IsBlank(c) || c == '=' || c == '<' || c == '>' || c == '(' || c == ')' || c == '\'' || c == '#' ||
         c == '[' || c == ']';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of 1..maxDigits digits; nullopt when there is none.
std::optional<int> ReadInt(std::string_view s, size_t& pos, size_t maxDigits) {
  size_t start = pos;
  int value = 0;
  while (pos < s.size() && IsDigit(s[pos]) && pos - start < maxDigits) value = value * 10 + (s[pos++] - '0');
  if (pos == start) return std::nullopt;
  return value;
}

// Month/day/year, as the database client reads a #date# written with
// slashes, with an optional "HH:MM" or "HH:MM:SS" after a blank.
std::optional<Date> ReadMonthDayYear(std::string_view s) {
  size_t pos = 0;
  auto month = ReadInt(s, pos, 2);
  if (!month || pos >= s.size() || s[pos++] != '/') return std::nullopt;
  auto day = ReadInt(s, pos, 2);
  if (!day || pos >= s.size() || s[pos++] != '/') return std::nullopt;
  const size_t yearStart = pos;
  auto year = ReadInt(s, pos, 4);
  if (!year || pos - yearStart != 4) return std::nullopt;
  if (pos == s.size()) return Date::FromYMD(*year, *month, *day);
  if (s[pos++] != ' ') return std::nullopt;
  auto hour = ReadInt(s, pos, 2);
  if (!hour || pos >= s.size() || s[pos++] != ':') return std::nullopt;
  auto minute = ReadInt(s, pos, 2);
  if (!minute) return std::nullopt;
  int second = 0;
  if (pos < s.size()) {
    if (s[pos++] != ':') return std::nullopt;
    auto sec = ReadInt(s, pos, 2);
    if (!sec || pos != s.size()) return std::nullopt;
    second = *sec;
  }
  return Date::FromYMDHMS(*year, *month, *day, *hour, *minute, second);
}

std::optional<Date> ReadDate(std::string_view s) {
  s = TrimBlanks(s);
  if (auto d = Date::ParseIso(s)) return d;
  return ReadMonthDayYear(s);
}

bool IsNumericType(DataType t) {
  switch (t) {
    case DataType::SmallInt:
    case DataType::Integer:
    case DataType::Single:
    case DataType::Double:
    case DataType::Currency:
    case DataType::Boolean:
    case DataType::Decimal:
    case DataType::TinyInt:
    case DataType::BigInt:
    case DataType::Numeric:
      return true;
    default:
      return false;
  }
}

bool IsDateType(DataType t) {
  return t == DataType::Date || t == DataType::DBDate || t == DataType::DBTimeStamp;
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

std::string BadCriterion(std::string_view criteria, std::string_view what) {
  std::string text = Error::BadArguments().description();
  text += " Filter \"";
  text += criteria;
  text += "\": ";
  text += what;
  return text;
}

}  // namespace

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    size_t la = 1, lb = 1;
    const char32_t ca = FoldCodePoint(DecodeAt(a, i, la));
    const char32_t cb = FoldCodePoint(DecodeAt(b, j, lb));
    if (ca != cb) return ca < cb ? -1 : 1;
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool LikeMatch(std::string_view text, std::string_view pattern) {
  size_t t = 0, p = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      size_t pl = 1;
      const char32_t pc = DecodeAt(pattern, p, pl);
      if (pc == '*' || pc == '%') {
        starP = p + pl;
        starT = t;
        p += pl;
        continue;
      }
      size_t tl = 1;
      const char32_t tc = DecodeAt(text, t, tl);
      if (pc == '_' || pc == '?' || FoldCodePoint(pc) == FoldCodePoint(tc)) {
        p += pl;
        t += tl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    // Let the last wildcard swallow one more character and retry.
    size_t tl = 1;
    DecodeAt(text, starT, tl);
    starT += tl;
    t = starT;
    p = starP;
  }
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) ++p;
  return p == pattern.size();
}

bool FilterComparison::Matches(const Variant& fieldValue) const {
  if (fieldValue.IsEmptyOrNull()) return false;
  if (op == CompareOp::Like) {
    if (fieldValue.type() == VarType::String) return LikeMatch(fieldValue.AsString(), value.text);
    if (fieldValue.IsObject()) return false;
    try {
      return LikeMatch(fieldValue.ToString(), value.text);
    } catch (const Error&) {
      return false;
    }
  }

  int cmp = 0;
  switch (fieldValue.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Boolean:
    case VarType::Decimal: {
      if (!value.number) return false;
      if (fieldValue.type() == VarType::Decimal) {
        cmp = Decimal::Compare(fieldValue.AsDecimal(), *value.number);
      } else {
        int64_t whole = fieldValue.type() == VarType::Integer ? fieldValue.AsInteger()
                        : fieldValue.type() == VarType::Long  ? fieldValue.AsLong()
                                                              : (fieldValue.AsBoolean() ? -1 : 0);
        cmp = Decimal::Compare(Decimal::FromInt(whole), *value.number);
      }
      break;
    }
    case VarType::Double: {
      if (!value.number) return false;
      const double d = fieldValue.AsDouble();
      if (std::isnan(d)) return false;
      cmp = d < value.numberAsDouble ? -1 : (d > value.numberAsDouble ? 1 : 0);
      break;
    }
    case VarType::Date: {
      if (!value.date) return false;
      const auto order = fieldValue.AsDate() <=> *value.date;
      cmp = order < 0 ? -1 : (order > 0 ? 1 : 0);
      break;
    }
    case VarType::String:
      cmp = Sign(CompareTextIgnoreCase(fieldValue.AsString(), value.text));
      break;
    default:
      return false;
  }
  switch (op) {
    case CompareOp::Equal:
      return cmp == 0;
    case CompareOp::NotEqual:
      return cmp != 0;
    case CompareOp::Less:
      return cmp < 0;
    case CompareOp::Greater:
      return cmp > 0;
    case CompareOp::LessEqual:
      return cmp <= 0;
    case CompareOp::GreaterEqual:
      return cmp >= 0;
    case CompareOp::Like:
      break;
  }
  return false;
}

// Recursive-descent reader of a criterion:
//   or      := and ("OR" and)*
//   and     := factor ("AND" factor)*
//   factor  := "(" or ")" | field op value
class FilterParser {
 public:
  FilterParser(std::string_view text, FilterCriteria& out) : text_(text), out_(out) {}

  void ParseAll() {
    out_.root_ = ParseOr();
    SkipBlanks();
    if (pos_ < text_.size()) Fail("expected AND or OR");
  }

  void ParseOne() {
    SkipBlanks();
    out_.root_ = ParseComparison();
    SkipBlanks();
    if (pos_ < text_.size()) Fail("expected a single comparison, found more");
  }

 private:
  [[noreturn]] void Fail(std::string_view expected) const {
    std::string what(expected);
    if (pos_ >= text_.size()) {
      what += " at the end";
    } else {
      what += " at \"";
      what += text_.substr(pos_);
      what += "\"";
    }
    throw Error(3001, BadCriterion(text_, what));
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }

  // Consumes a keyword (ignoring case) followed by a blank, "(" or the end.
  bool Keyword(std::string_view word) {
    SkipBlanks();
    if (text_.size() - pos_ < word.size()) return false;
    if (!EqualsIgnoreCase(text_.substr(pos_, word.size()), word)) return false;
    const size_t after = pos_ + word.size();
    if (after < text_.size() && !IsBlank(text_[after]) && text_[after] != '(' && text_[after] != '\'' &&
        text_[after] != '#')
      return false;
    pos_ = after;
    return true;
  }

  uint32_t AddNode(FilterCriteria::NodeKind kind, uint32_t a, uint32_t b) {
    out_.nodes_.push_back({kind, a, b});
    return static_cast<uint32_t>(out_.nodes_.size() - 1);
  }

  uint32_t ParseOr() {
    uint32_t left = ParseAnd();
    while (Keyword("OR")) left = AddNode(FilterCriteria::NodeKind::Or, left, ParseAnd());
    return left;
  }

  uint32_t ParseAnd() {
    uint32_t left = ParseFactor();
    while (Keyword("AND")) left = AddNode(FilterCriteria::NodeKind::And, left, ParseFactor());
    return left;
  }

  uint32_t ParseFactor() {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == '(') {
      ++pos_;
      const uint32_t inner = ParseOr();
      SkipBlanks();
      if (pos_ >= text_.size() || text_[pos_] != ')') Fail("expected \")\"");
      ++pos_;
      return inner;
    }
    return ParseComparison();
  }

  uint32_t ParseComparison() {
    FilterComparison cmp;
    cmp.field = ReadFieldName();
    cmp.op = ReadOperator();
    cmp.value = ReadValue(cmp.op == CompareOp::Like);
    out_.comparisons_.push_back(std::move(cmp));
    return AddNode(FilterCriteria::NodeKind::Compare, static_cast<uint32_t>(out_.comparisons_.size() - 1), 0);
  }

  std::string ReadFieldName() {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == '[') {
      const size_t close = text_.find(']', pos_ + 1);
      if (close == std::string_view::npos) Fail("expected \"]\" after the field name");
      if (close == pos_ + 1) Fail("expected a field name");
      std::string name(text_.substr(pos_ + 1, close - pos_ - 1));
      pos_ = close + 1;
      return name;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && !EndsName(text_[pos_])) ++pos_;
    if (pos_ == start) Fail("expected a field name");
    return std::string(text_.substr(start, pos_ - start));
  }

  CompareOp ReadOperator() {
    SkipBlanks();
    const std::string_view rest = text_.substr(pos_);
    auto take = [&](size_t n, CompareOp op) {
      pos_ += n;
      return op;
    };
    if (rest.starts_with("<>")) return take(2, CompareOp::NotEqual);
    if (rest.starts_with("<=")) return take(2, CompareOp::LessEqual);
    if (rest.starts_with(">=")) return take(2, CompareOp::GreaterEqual);
    if (rest.starts_with("=")) return take(1, CompareOp::Equal);
    if (rest.starts_with("<")) return take(1, CompareOp::Less);
    if (rest.starts_with(">")) return take(1, CompareOp::Greater);
    if (Keyword("LIKE")) return CompareOp::Like;
    Fail("expected an operator (= <> < > <= >= LIKE)");
  }

  FilterLiteral ReadValue(bool like) {
    SkipBlanks();
    FilterLiteral lit;
    if (pos_ >= text_.size()) Fail("expected a value");
    const char c = text_[pos_];
    if (c == '\'') {
      const size_t start = pos_;
      ++pos_;
      for (;;) {
        if (pos_ >= text_.size()) {
          pos_ = start;
          Fail("expected a closing quote");
        }
        if (text_[pos_] == '\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            lit.text += '\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        lit.text += text_[pos_++];
      }
      lit.kind = FilterLiteral::Kind::Text;
      lit.number = Decimal::Parse(lit.text);
      if (lit.number) lit.numberAsDouble = lit.number->ToDouble();
      lit.date = ReadDate(lit.text);
      return lit;
    }
    if (like) Fail("expected a quoted pattern after LIKE");
    if (c == '#') {
      const size_t close = text_.find('#', pos_ + 1);
      if (close == std::string_view::npos) Fail("expected a closing \"#\"");
      lit.text = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
      lit.date = ReadDate(lit.text);
      if (!lit.date) Fail("expected a date (#YYYY-MM-DD# or #MM/DD/YYYY#)");
      lit.kind = FilterLiteral::Kind::Date;
      pos_ = close + 1;
      return lit;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && (IsDigit(text_[pos_]) || text_[pos_] == '.' || text_[pos_] == '+' ||
                                   text_[pos_] == '-' || text_[pos_] == 'e' || text_[pos_] == 'E'))
      ++pos_;
    const std::string_view token = text_.substr(start, pos_ - start);
    std::optional<Decimal> number;
    if (!token.empty() && (pos_ >= text_.size() || EndsName(text_[pos_]))) number = Decimal::Parse(token);
    if (!number) {
      pos_ = start;
      Fail("expected a value (a number, 'text' or #date#)");
    }
    lit.kind = FilterLiteral::Kind::Number;
    lit.text = std::string(token);
    lit.number = number;
    lit.numberAsDouble = number->ToDouble();
    return lit;
  }

  std::string_view text_;
  size_t pos_ = 0;
  FilterCriteria& out_;
};

FilterCriteria FilterCriteria::Parse(std::string_view criteria) {
  FilterCriteria result;
  result.text_ = std::string(criteria);
  FilterParser(criteria, result).ParseAll();
  return result;
}

FilterCriteria FilterCriteria::ParseSingle(std::string_view criterion) {
  FilterCriteria result;
  result.text_ = std::string(criterion);
  FilterParser(criterion, result).ParseOne();
  return result;
}

void FilterCriteria::Bind(const std::vector<FieldInfo>& fields) {
  for (FilterComparison& cmp : comparisons_) {
    size_t index = 0;
    while (index < fields.size() && !EqualsIgnoreCase(fields[index].name, cmp.field)) ++index;
    if (index == fields.size()) throw Error(3001, BadCriterion(text_, "no field named \"" + cmp.field + "\""));
    cmp.fieldIndex = index;
    if (cmp.op == CompareOp::Like) continue;
    const DataType type = fields[index].type;
    const bool comparable = IsNumericType(type) ? cmp.value.number.has_value()
                            : IsDateType(type)  ? cmp.value.date.has_value()
                                                : true;
    if (!comparable) {
      throw Error(3001, BadCriterion(text_, "the value \"" + cmp.value.text + "\" cannot be compared with field \"" +
                                                cmp.field + "\""));
    }
  }
}

bool FilterCriteria::Eval(uint32_t node, const Row& row) const {
  const Node& n = nodes_[node];
  switch (n.kind) {
    case NodeKind::Compare: {
      const FilterComparison& cmp = comparisons_[n.a];
      return cmp.fieldIndex < row.size() && cmp.Matches(row[cmp.fieldIndex]);
    }
    case NodeKind::And:
      return Eval(n.a, row) && Eval(n.b, row);
    case NodeKind::Or:
      return Eval(n.a, row) || Eval(n.b, row);
  }
  return false;
}

bool FilterCriteria::Matches(const Row& row) const { return !nodes_.empty() && Eval(root_, row); }

}  // namespace zelmora
