#include "platform/sqlite/tsql_types.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zelmora::tsql {
namespace {

constexpr int kMaxPrecision = 38;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Data type precedence: when two types meet, the higher one wins.
int Precedence(TypeKind kind) {
  switch (kind) {
    case TypeKind::DateTime: return 14;
    case TypeKind::Float: return 13;
    case TypeKind::Real: return 12;
    case TypeKind::Decimal: return 11;
    case TypeKind::BigInt: return 10;
    case TypeKind::Int: return 9;
    case TypeKind::SmallInt: return 8;
    case TypeKind::TinyInt: return 7;
    case TypeKind::Bit: return 6;
    case TypeKind::NVarChar: return 5;
    case TypeKind::NChar: return 4;
    case TypeKind::VarChar: return 3;
    case TypeKind::Char: return 2;
    case TypeKind::Null: return 1;
    case TypeKind::Unknown: return 0;
  }
  return 0;
}

// An integer type as the decimal that holds it.
SqlType AsDecimal(const SqlType& t) {
  switch (t.kind) {
    case TypeKind::Bit: return SqlType::Decimal(1, 0);
    case TypeKind::TinyInt: return SqlType::Decimal(3, 0);
    case TypeKind::SmallInt: return SqlType::Decimal(5, 0);
    case TypeKind::Int: return SqlType::Decimal(10, 0);
    case TypeKind::BigInt: return SqlType::Decimal(19, 0);
    default: return t;
  }
}

// A result wider than 38 digits keeps its integer digits and gives up
// decimals, but keeps at least six of them (or all it had, when fewer).
SqlType CappedDecimal(int precision, int scale) {
  if (precision > kMaxPrecision) {
    const int integerDigits = precision - scale;
    scale = std::max(kMaxPrecision - integerDigits, std::min(scale, 6));
    scale = std::clamp(scale, 0, kMaxPrecision);
    precision = kMaxPrecision;
  }
  return SqlType::Decimal(std::max(precision, 1), scale);
}

int CombinedLength(int a, int b) {
  if (a == SqlType::kMaxLength || b == SqlType::kMaxLength) return SqlType::kMaxLength;
  return std::max(a, b);
}

}  // namespace

SqlType SqlType::Of(TypeKind kind) {
  SqlType t;
  t.kind = kind;
  return t;
}

SqlType SqlType::Decimal(int precision, int scale) {
  SqlType t;
  t.kind = TypeKind::Decimal;
  t.precision = precision;
  t.scale = scale;
  return t;
}

SqlType SqlType::Text(TypeKind kind, int length) {
  SqlType t;
  t.kind = kind;
  t.length = length;
  return t;
}

Family SqlType::family() const {
  switch (kind) {
    case TypeKind::Unknown: return Family::Unknown;
    case TypeKind::Null: return Family::Null;
    case TypeKind::Char:
    case TypeKind::VarChar:
    case TypeKind::NChar:
    case TypeKind::NVarChar: return Family::Text;
    case TypeKind::DateTime: return Family::Date;
    default: return Family::Number;
  }
}

bool SqlType::IsInteger() const {
  return kind == TypeKind::Bit || kind == TypeKind::TinyInt || kind == TypeKind::SmallInt || kind == TypeKind::Int ||
         kind == TypeKind::BigInt;
}

std::string SqlType::Declaration() const {
  auto withLength = [this](const char* name) {
    return std::string(name) + "(" + (length == kMaxLength ? std::string("MAX") : std::to_string(length)) + ")";
  };
  switch (kind) {
    case TypeKind::Unknown: return "";
    case TypeKind::Null:
    case TypeKind::Int: return "INT";
    case TypeKind::Bit: return "BIT";
    case TypeKind::TinyInt: return "TINYINT";
    case TypeKind::SmallInt: return "SMALLINT";
    case TypeKind::BigInt: return "BIGINT";
    case TypeKind::Decimal: return "DECIMAL(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    case TypeKind::Real: return "REAL";
    case TypeKind::Float: return "FLOAT";
    case TypeKind::Char: return withLength("CHAR");
    case TypeKind::VarChar: return withLength("VARCHAR");
    case TypeKind::NChar: return withLength("NCHAR");
    case TypeKind::NVarChar: return withLength("NVARCHAR");
    case TypeKind::DateTime: return "DATETIME";
  }
  return "";
}

std::string_view SqlType::MessageName() const {
  switch (kind) {
    case TypeKind::Unknown: return "sql_variant";
    case TypeKind::Null:
    case TypeKind::Int: return "int";
    case TypeKind::Bit: return "bit";
    case TypeKind::TinyInt: return "tinyint";
    case TypeKind::SmallInt: return "smallint";
    case TypeKind::BigInt: return "bigint";
    case TypeKind::Decimal: return "numeric";
    case TypeKind::Real: return "real";
    case TypeKind::Float: return "float";
    case TypeKind::Char: return "char";
    case TypeKind::VarChar: return "varchar";
    case TypeKind::NChar: return "nchar";
    case TypeKind::NVarChar: return "nvarchar";
    case TypeKind::DateTime: return "datetime";
  }
  return "";
}

SqlType TypeFromName(std::string_view name, int first, int second, bool inCast) {
  const std::string n = Upper(name);
  const int defaultLength = inCast ? 30 : 1;
  auto text = [&](TypeKind kind) {
    return SqlType::Text(kind, first == -1 ? (kind == TypeKind::Char || kind == TypeKind::NChar ? 1 : defaultLength)
                                           : first);
  };
  if (n == "BIT") return SqlType::Of(TypeKind::Bit);
  if (n == "TINYINT") return SqlType::Of(TypeKind::TinyInt);
  if (n == "SMALLINT") return SqlType::Of(TypeKind::SmallInt);
  if (n == "INT" || n == "INTEGER") return SqlType::Of(TypeKind::Int);
  if (n == "BIGINT") return SqlType::Of(TypeKind::BigInt);
  if (n == "DECIMAL" || n == "NUMERIC" || n == "DEC") {
    const int p = first == -1 ? 18 : std::clamp(first, 1, kMaxPrecision);
    const int s = second == -1 ? 0 : std::clamp(second, 0, p);
    return SqlType::Decimal(p, s);
  }
  if (n == "MONEY") return SqlType::Decimal(19, 4);
  if (n == "SMALLMONEY") return SqlType::Decimal(10, 4);
  if (n == "REAL") return SqlType::Of(TypeKind::Real);
  if (n == "FLOAT" || n == "DOUBLE" || n == "DOUBLE PRECISION") return SqlType::Of(TypeKind::Float);
  if (n == "CHAR" || n == "CHARACTER") return text(TypeKind::Char);
  if (n == "VARCHAR") return text(TypeKind::VarChar);
  if (n == "NCHAR") return text(TypeKind::NChar);
  if (n == "NVARCHAR") return text(TypeKind::NVarChar);
  if (n == "TEXT") return SqlType::Text(TypeKind::VarChar, SqlType::kMaxLength);
  if (n == "NTEXT") return SqlType::Text(TypeKind::NVarChar, SqlType::kMaxLength);
  if (n == "DATETIME" || n == "SMALLDATETIME" || n == "DATE" || n == "DATETIME2") return SqlType::Of(TypeKind::DateTime);
  return SqlType::Of(TypeKind::Unknown);
}

SqlType ParseDeclaredType(std::string_view declaration) {
  // NAME [ ( a [, b] ) ] with blanks anywhere; words after the type name
  // (as in "DOUBLE PRECISION") belong to the name.
  const size_t open = declaration.find('(');
  std::string_view name = declaration.substr(0, open);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  int numbers[2] = {-1, -1};
  if (open != std::string_view::npos) {
    const size_t close = declaration.find(')', open);
    std::string_view inside = declaration.substr(open + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                            : close - open - 1);
    int index = 0;
    size_t at = 0;
    while (index < 2 && at <= inside.size()) {
      size_t comma = inside.find(',', at);
      std::string part = Upper(inside.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
      part.erase(std::remove(part.begin(), part.end(), ' '), part.end());
      if (part == "MAX") {
        numbers[index] = SqlType::kMaxLength;
      } else if (!part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        numbers[index] = part.size() > 9 ? SqlType::kMaxLength : std::stoi(part);
      }
      ++index;
      if (comma == std::string_view::npos) break;
      at = comma + 1;
    }
  }
  return TypeFromName(name, numbers[0], numbers[1], false);
}

SqlType CommonType(const SqlType& a, const SqlType& b) {
  if (a.IsNull()) return b;
  if (b.IsNull()) return a;
  if (a.IsUnknown() || b.IsUnknown()) return SqlType::Of(TypeKind::Unknown);
  if (a.IsText() && b.IsText()) {
    const bool unicode = a.IsUnicode() || b.IsUnicode();
    const bool fixed = (a.kind == TypeKind::Char || a.kind == TypeKind::NChar) &&
                       (b.kind == TypeKind::Char || b.kind == TypeKind::NChar);
    const TypeKind kind = fixed ? (unicode ? TypeKind::NChar : TypeKind::Char)
                                : (unicode ? TypeKind::NVarChar : TypeKind::VarChar);
    return SqlType::Text(kind, CombinedLength(a.length, b.length));
  }
  if (a.IsNumber() && b.IsNumber()) {
    if (a.kind == TypeKind::Decimal || b.kind == TypeKind::Decimal) {
      if (Precedence(a.kind) > Precedence(TypeKind::Decimal)) return a;
      if (Precedence(b.kind) > Precedence(TypeKind::Decimal)) return b;
      const SqlType x = AsDecimal(a);
      const SqlType y = AsDecimal(b);
      const int scale = std::max(x.scale, y.scale);
      return CappedDecimal(std::max(x.precision - x.scale, y.precision - y.scale) + scale, scale);
    }
  }
  return Precedence(a.kind) >= Precedence(b.kind) ? a : b;
}

SqlType ArithmeticType(char op, const SqlType& a, const SqlType& b) {
  if (a.IsUnknown() || b.IsUnknown()) return SqlType::Of(TypeKind::Unknown);
  if (a.IsNull() && b.IsNull()) return SqlType::Of(TypeKind::Int);
  if (a.IsNull()) return b;
  if (b.IsNull()) return a;
  // Text meeting a number is converted to the number's type.
  SqlType x = a.IsText() ? b : a;
  SqlType y = b.IsText() ? a : b;
  if (x.IsText() && y.IsText()) return SqlType::Of(TypeKind::Float);
  if (x.IsDate() || y.IsDate()) return SqlType::Of(TypeKind::DateTime);
  if (x.kind == TypeKind::Float || y.kind == TypeKind::Float || x.kind == TypeKind::Real ||
      y.kind == TypeKind::Real) {
    return SqlType::Of(TypeKind::Float);
  }
  if (x.IsInteger() && y.IsInteger()) {
    SqlType wider = Precedence(x.kind) >= Precedence(y.kind) ? x : y;
    if (wider.kind == TypeKind::Bit) wider = SqlType::Of(TypeKind::Int);
    return wider;
  }
  x = AsDecimal(x);
  y = AsDecimal(y);
  const int p1 = x.precision, s1 = x.scale, p2 = y.precision, s2 = y.scale;
  switch (op) {
    case '+':
    case '-': {
      const int s = std::max(s1, s2);
      return CappedDecimal(std::max(p1 - s1, p2 - s2) + s + 1, s);
    }
    case '*': return CappedDecimal(p1 + p2 + 1, s1 + s2);
    case '/': {
      const int s = std::max(6, s1 + p2 + 1);
      return CappedDecimal(p1 - s1 + s2 + s, s);
    }
    default: {  // '%'
      const int s = std::max(s1, s2);
      return CappedDecimal(std::min(p1 - s1, p2 - s2) + s, s);
    }
  }
}

SqlType SumType(const SqlType& argument) {
  switch (argument.kind) {
    case TypeKind::Bit:
    case TypeKind::TinyInt:
    case TypeKind::SmallInt:
    case TypeKind::Int:
    case TypeKind::Null: return SqlType::Of(TypeKind::Int);
    case TypeKind::BigInt: return SqlType::Of(TypeKind::BigInt);
    case TypeKind::Decimal: return SqlType::Decimal(kMaxPrecision, argument.scale);
    case TypeKind::Real:
    case TypeKind::Float: return SqlType::Of(TypeKind::Float);
    default: return SqlType::Of(TypeKind::Unknown);
  }
}

SqlType AvgType(const SqlType& argument) {
  if (argument.kind == TypeKind::Decimal) return SqlType::Decimal(kMaxPrecision, std::max(argument.scale, 6));
  return SumType(argument);
}

FieldInfo FieldFor(std::string name, const SqlType& type) {
  FieldInfo f;
  f.name = std::move(name);
  f.attributes = kFieldIsNullable;
  auto text = [&](DataType normal, DataType longType) {
    if (type.length == SqlType::kMaxLength) {
      f.type = longType;
      f.definedSize = 2147483647;
    } else {
      f.type = normal;
      f.definedSize = type.length;
    }
  };
  switch (type.kind) {
    case TypeKind::Bit:
      f.type = DataType::Boolean;
      f.definedSize = 2;
      f.precision = 255;
      f.numericScale = 255;
      break;
    case TypeKind::TinyInt:
      f.type = DataType::SmallInt;
      f.definedSize = 2;
      f.precision = 3;
      f.numericScale = 255;
      break;
    case TypeKind::SmallInt:
      f.type = DataType::SmallInt;
      f.definedSize = 2;
      f.precision = 5;
      f.numericScale = 255;
      break;
    case TypeKind::Unknown:
    case TypeKind::Null:
    case TypeKind::Int:
      f.type = DataType::Integer;
      f.definedSize = 4;
      f.precision = 10;
      f.numericScale = 255;
      break;
    case TypeKind::BigInt:
      f.type = DataType::BigInt;
      f.definedSize = 8;
      f.precision = 19;
      f.numericScale = 255;
      break;
    case TypeKind::Decimal:
      f.type = DataType::Decimal;
      f.definedSize = 19;
      f.precision = static_cast<uint8_t>(type.precision);
      f.numericScale = static_cast<uint8_t>(type.scale);
      break;
    case TypeKind::Real:
      f.type = DataType::Single;
      f.definedSize = 4;
      f.precision = 7;
      f.numericScale = 255;
      break;
    case TypeKind::Float:
      f.type = DataType::Double;
      f.definedSize = 8;
      f.precision = 15;
      f.numericScale = 255;
      break;
    case TypeKind::Char: text(DataType::Char, DataType::LongVarChar); break;
    case TypeKind::VarChar: text(DataType::VarChar, DataType::LongVarChar); break;
    case TypeKind::NChar: text(DataType::WChar, DataType::LongVarWChar); break;
    case TypeKind::NVarChar: text(DataType::VarWChar, DataType::LongVarWChar); break;
    case TypeKind::DateTime:
      f.type = DataType::DBTimeStamp;
      f.definedSize = 16;
      f.precision = 23;
      f.numericScale = 3;
      break;
  }
  return f;
}

}  // namespace zelmora::tsql
