// The helpers the translator's stages share: SQLite text pieces, table
// names, constants and the types of literals.
#include "platform/sqlite/tsql_translate_internal.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/sqlite/tsql_lexer.h"
#include "platform/sqlite/tsql_text.h"
#include "platform/text_util.h"

namespace zelmora::tsql {

std::string Wrap(const Sql& s, int minimum) { return s.prec >= minimum ? s.text : "(" + s.text + ")"; }

Sql Atom(std::string text) { return {std::move(text), kPrecAtom}; }

Sql Function(std::string_view name, const std::vector<std::string>& args) {
  std::string text(name);
  text += '(';
  for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + args[i];
  text += ')';
  return Atom(std::move(text));
}

Sql Collate(const Sql& s) { return {Wrap(s, kPrecCollate) + " COLLATE TSQL", kPrecCollate}; }

bool NeedsCollation(const SqlType& t) { return t.IsText() || t.IsUnknown(); }

std::string Ident(const std::string& name) {
  bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
  for (char c : name) {
    plain = plain && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
  }
  if (plain && sqlite3_keyword_check(name.data(), static_cast<int>(name.size())) == 0) return name;
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string Quote(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) {
    // SQLite ends a string literal at a NUL byte: such text goes in as the
    // bytes of a blob made text, NULs included.
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "CAST(X'";
    for (char c : text) {
      out += kHex[static_cast<unsigned char>(c) >> 4];
      out += kHex[static_cast<unsigned char>(c) & 15];
    }
    return out + "' AS TEXT)";
  }
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

std::string JoinName(const Name& name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) out += (i ? "." : "") + name[i];
  return out;
}

TableName ResolveTableName(const Name& parts) {
  TableName t;
  t.name = parts.back();
  t.temporary = !t.name.empty() && t.name[0] == '#';
  if (t.temporary && t.name.size() > 1 && t.name[1] == '#') {
    throw Untranslatable("global temporary table " + t.name);
  }
  if (parts.size() >= 2) {
    const std::string& schema = parts[parts.size() - 2];
    if (!schema.empty() && !EqualsIgnoreCase(schema, "dbo")) throw Untranslatable("schema " + JoinName(parts));
  }
  if (parts.size() >= 3) {
    const std::string& database = parts[parts.size() - 3];
    if (!(t.temporary && EqualsIgnoreCase(database, "tempdb"))) {
      throw Untranslatable("database or server name in " + JoinName(parts));
    }
  }
  if (parts.size() > 3) throw Untranslatable("server name in " + JoinName(parts));
  return t;
}

std::string TableSql(const TableName& t) { return (t.temporary ? "temp." : "") + Ident(t.name); }

std::optional<Constant> ConstantOf(const Expr* e) {
  if (e == nullptr) return std::nullopt;
  if (e->kind == ExprKind::Literal) {
    Constant c;
    c.literal = e->literal;
    c.text = e->text;
    if (e->literal == LiteralKind::Null) {
      c.kind = Constant::Kind::Null;
    } else if (e->literal == LiteralKind::String || e->literal == LiteralKind::UnicodeString) {
      c.kind = Constant::Kind::Text;
    } else {
      c.kind = Constant::Kind::Number;
    }
    return c;
  }
  if (e->kind == ExprKind::Unary) {
    std::optional<Constant> inner = ConstantOf(e->args[0].get());
    if (!inner || inner->kind != Constant::Kind::Number) return std::nullopt;
    if (e->op == "-") inner->text = inner->text[0] == '-' ? inner->text.substr(1) : "-" + inner->text;
    return inner;
  }
  return std::nullopt;
}

std::string NumberConstantText(const Constant& c) {
  if (c.literal == LiteralKind::Float) return FloatToText(std::strtod(c.text.c_str(), nullptr));
  std::optional<Decimal> d = Decimal::Parse(c.text);
  if (!d) return c.text;
  if (c.literal == LiteralKind::Integer) return d->ToString();
  const size_t point = c.text.find('.');
  const int scale = point == std::string::npos ? 0 : static_cast<int>(c.text.size() - point - 1);
  return d->ToFixed(scale);
}

SqlType LiteralType(const Expr& e) {
  switch (e.literal) {
    case LiteralKind::Null: return SqlType::Of(TypeKind::Null);
    case LiteralKind::Float: return SqlType::Of(TypeKind::Float);
    case LiteralKind::String:
    case LiteralKind::UnicodeString: {
      const int length = std::max<int>(1, static_cast<int>(Utf8Length(e.text)));
      return SqlType::Text(e.literal == LiteralKind::String ? TypeKind::VarChar : TypeKind::NVarChar, length);
    }
    case LiteralKind::Integer: {
      std::string digits = e.text;
      digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
      if (digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647")) return SqlType::Of(TypeKind::Int);
      return SqlType::Decimal(std::min<int>(38, static_cast<int>(digits.size())), 0);
    }
    case LiteralKind::Decimal: {
      const size_t point = e.text.find('.');
      const int scale = static_cast<int>(e.text.size() - point - 1);
      std::string whole = e.text.substr(0, point);
      whole.erase(0, whole.find_first_not_of('0'));
      return SqlType::Decimal(std::clamp(static_cast<int>(whole.size()) + scale, 1, 38), std::min(scale, 38));
    }
  }
  return SqlType::Of(TypeKind::Unknown);
}

Error ConversionError(const Constant& c, const SqlType& to) {
  const char* from = c.literal == LiteralKind::UnicodeString ? "nvarchar" : "varchar";
  if (to.IsDate()) return Error(241, "Conversion failed when converting date and/or time from character string.");
  if (to.kind == TypeKind::Decimal) return Error(8114, std::string("Error converting data type ") + from + " to numeric.");
  if (to.kind == TypeKind::Float || to.kind == TypeKind::Real) {
    return Error(8114, std::string("Error converting data type ") + from + " to float.");
  }
  return Error(245, std::string("Conversion failed when converting the ") + from + " value '" + c.text +
                        "' to data type " + std::string(to.MessageName()) + ".");
}

int LongestText(const SqlType& t) {
  switch (t.kind) {
    case TypeKind::Bit: return 1;
    case TypeKind::TinyInt: return 3;
    case TypeKind::SmallInt: return 6;
    case TypeKind::Int: return 11;
    case TypeKind::BigInt: return 20;
    case TypeKind::Decimal: return t.precision + 2;
    default: return 30;
  }
}

bool FitsInteger(int64_t v, TypeKind kind) {
  switch (kind) {
    case TypeKind::TinyInt: return v >= 0 && v <= 255;
    case TypeKind::SmallInt: return v >= -32768 && v <= 32767;
    case TypeKind::Int: return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
    default: return true;
  }
}

SqlType ComparisonType(const SqlType& a, const SqlType& b) {
  if (a.IsUnknown() && b.IsDate()) return b;
  if (b.IsUnknown() && a.IsDate()) return a;
  return CommonType(a, b);
}

bool IsConcatenation(const SqlType& a, const SqlType& b) {
  return (a.IsText() && (b.IsText() || b.IsNull())) || (b.IsText() && a.IsNull());
}

bool IsAggregate(const std::string& name) {
  return name == "SUM" || name == "AVG" || name == "MIN" || name == "MAX" || name == "COUNT" || name == "COUNT_BIG";
}

bool IsRanking(const std::string& name) { return name == "ROW_NUMBER" || name == "RANK" || name == "DENSE_RANK"; }

namespace {

constexpr TableFunction kTableFunctions[] = {
    {"FNCG07_TABSTATIEST", "CG07_TABSTATIEST", "CG07_CODICE", 2},
};

}  // namespace

const TableFunction* FindTableFunction(const std::string& upperName) {
  for (const TableFunction& f : kTableFunctions) {
    if (upperName == f.name) return &f;
  }
  return nullptr;
}

SelectCore& Leftmost(Query& q) { return q.core ? *q.core : Leftmost(*q.left); }

bool FlattenInner(TableRef& t, std::vector<TableRef*>& leaves, std::vector<Expr*>& conditions) {
  if (t.kind != TableRef::Kind::Join) {
    leaves.push_back(&t);
    return true;
  }
  if (t.joinType != JoinType::Inner && t.joinType != JoinType::Cross) return false;
  if (!FlattenInner(*t.left, leaves, conditions) || !FlattenInner(*t.right, leaves, conditions)) return false;
  if (t.on) conditions.push_back(t.on.get());
  return true;
}

bool ContainsSource(const TableRef& t, const Source* source) {
  if (t.kind == TableRef::Kind::Join) return ContainsSource(*t.left, source) || ContainsSource(*t.right, source);
  return t.source == source;
}

}  // namespace zelmora::tsql
