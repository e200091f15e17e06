#include "platform/sqlite/tsql_translator.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <limits>
#include <map>

#include "platform/error.h"
#include "platform/sqlite/tsql_lexer.h"
#include "platform/sqlite/tsql_text.h"
#include "platform/text_util.h"

namespace zelmora::tsql {

// A table, view, derived table or function result that a query reads.
struct Source {
  enum class Kind { Table, Derived, Function };
  Kind kind = Kind::Table;
  std::string exposed;    // the name the statement gives it (alias or table name)
  std::string alias;      // its name in the SQLite text, unique in the statement
  std::string tableSql;   // Table, Function: the table reference ("IN01_DOCTESTA", temp."#T")
  std::string tableName;  // Table, Function: the bare table name
  std::vector<ColumnInfo> columns;
  size_t keyColumn = 0;  // Function: the column its first argument selects
};

namespace {

// SQLite operator precedence, lowest first, for parenthesising.
constexpr int kPrecOr = 1;
constexpr int kPrecAnd = 2;
constexpr int kPrecNot = 3;
constexpr int kPrecCompare = 4;
constexpr int kPrecAdd = 6;
constexpr int kPrecMul = 7;
constexpr int kPrecConcat = 8;
constexpr int kPrecCollate = 9;
constexpr int kPrecUnary = 10;
constexpr int kPrecAtom = 11;
// From this many terms on, a GROUP BY groups on one key (tsql_group_key).
constexpr size_t kGroupKeyTerms = 8;

// A piece of SQLite text and the precedence of its outermost operator.
struct Sql {
  std::string text;
  int prec = kPrecAtom;
};

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

// Text (and values of unknown type, which may be text) compare under the
// server's collation.
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

struct TableName {
  std::string name;
  bool temporary = false;
};

// T, DBO.T, tempdb..#T, tempdb.dbo.#T. Other databases and schemas are
// not reachable from the SQLite file.
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

// A constant as written: a number (possibly negative), a text or NULL.
struct Constant {
  enum class Kind { Number, Text, Null } kind = Kind::Null;
  LiteralKind literal = LiteralKind::Null;
  std::string text;
};

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

// The text the server gives a number constant converted to VARCHAR.
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

// The most characters a number of the type takes as text.
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

// The common type of two sides of a comparison. A value of unknown type
// meeting a date is read as a date.
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

// Table-valued functions of the host database, each an outer join on one
// key of a table: the country function returns the country row whose code
// is its first argument (the company argument selects nothing, since every
// company of the database sees the same countries).
struct TableFunction {
  const char* name;
  const char* table;
  const char* key;
  size_t arity;
};
constexpr TableFunction kTableFunctions[] = {
    {"FNCG07_TABSTATIEST", "CG07_TABSTATIEST", "CG07_CODICE", 2},
};

Expr& Arg(const Expr& e, size_t i) { return *e.args[i]; }

}  // namespace

class Translator {
 public:
  explicit Translator(Catalog& catalog) : catalog_(catalog) {}

  Translation TranslateStatement(Statement& s) {
    switch (s.kind) {
      case Statement::Kind::Select: return SelectStatement(s);
      case Statement::Kind::Insert: return InsertStatement(s);
      case Statement::Kind::Update: return UpdateStatement(s);
      case Statement::Kind::Delete: return DeleteStatement(s);
      case Statement::Kind::DropTable: return DropStatement(s);
      case Statement::Kind::CreateTable: return CreateStatement(s);
      case Statement::Kind::If:
      case Statement::Kind::Block: break;
    }
    throw Error(kUntranslatable, "IF and BEGIN ... END run statement by statement");
  }

  std::string Condition(Expr& e) {
    Scope scope;
    BindExpr(e, scope);
    return "SELECT CASE WHEN " + EmitExpr(e).text + " THEN 1 ELSE 0 END";
  }

 private:
  struct Scope {
    Scope* parent = nullptr;
    std::vector<Source*> sources;
    SelectCore* core = nullptr;
  };

  // --- statements -------------------------------------------------------------
  static SelectCore& Leftmost(Query& q) { return q.core ? *q.core : Leftmost(*q.left); }

  void RejectInto(Query& q, bool allowed) {
    if (q.core) {
      if (!q.core->into.empty() && !allowed) {
        throw Error(196, "SELECT INTO must be the first query in a statement containing a UNION, INTERSECT or "
                         "EXCEPT operator.");
      }
      return;
    }
    RejectInto(*q.left, allowed);
    RejectInto(*q.right, false);
  }

  Translation SelectStatement(Statement& s) {
    Query& q = *s.query;
    RejectInto(q, true);
    Name into = Leftmost(q).into;
    BindQuery(q, nullptr);
    Translation t;
    if (into.empty()) {
      t.steps.push_back(EmitQuery(q, nullptr, nullptr, false));
      t.returnsRows = true;
      for (const OutputColumn& c : q.outputs) t.columns.push_back({c.name, c.type});
      return t;
    }
    const TableName target = ResolveTableName(into);
    if (catalog_.Columns(target.name, target.temporary)) {
      throw Error(2714, "There is already an object named '" + target.name + "' in the database.");
    }
    std::string create = std::string("CREATE ") + (target.temporary ? "TEMP " : "") + "TABLE " + Ident(target.name) + " (";
    for (size_t i = 0; i < q.outputs.size(); ++i) {
      const OutputColumn& c = q.outputs[i];
      if (c.name.empty()) {
        throw Error(1038, "An object or column name is missing or empty. For SELECT INTO statements, verify each "
                          "column has a name.");
      }
      for (size_t j = 0; j < i; ++j) {
        if (EqualsIgnoreCase(q.outputs[j].name, c.name)) {
          throw Error(2705, "Column names in each table must be unique. Column name '" + c.name + "' in table '" +
                                target.name + "' is specified more than once.");
        }
      }
      create += (i ? ", " : "") + ColumnDeclaration(c.name, c.type, false, false);
    }
    create += ")";
    t.steps.push_back(create);
    t.steps.push_back("INSERT INTO " + TableSql(target) + " " + EmitQuery(q, nullptr, nullptr, false));
    return t;
  }

  static std::string ColumnDeclaration(const std::string& name, const SqlType& type, bool notNull, bool key) {
    std::string d = Ident(name);
    const std::string decl = type.Declaration();
    if (!decl.empty()) d += " " + decl;
    if (type.IsText()) d += " COLLATE TSQL";
    if (notNull) d += " NOT NULL";
    if (key) d += " PRIMARY KEY";
    return d;
  }

  std::vector<ColumnInfo> TableColumns(const TableName& t, const Name& written) {
    std::optional<std::vector<ColumnInfo>> columns = catalog_.Columns(t.name, t.temporary);
    if (!columns) throw Error(208, "Invalid object name '" + JoinName(written) + "'.");
    return *columns;
  }

  Translation InsertStatement(Statement& s) {
    const TableName target = ResolveTableName(s.target);
    const std::vector<ColumnInfo> columns = TableColumns(target, s.target);
    std::vector<SqlType> types;
    std::string list;
    if (s.columns.empty()) {
      for (const ColumnInfo& c : columns) types.push_back(c.type);
    } else {
      for (const std::string& name : s.columns) {
        auto it = std::find_if(columns.begin(), columns.end(),
                               [&](const ColumnInfo& c) { return EqualsIgnoreCase(c.name, name); });
        if (it == columns.end()) throw Error(207, "Invalid column name '" + name + "'.");
        types.push_back(it->type);
        list += (list.empty() ? "" : ", ") + Ident(it->name);
      }
      list = " (" + list + ")";
    }
    auto mismatch = [] {
      return Error(213, "Column name or number of supplied values does not match table definition.");
    };
    std::string text = "INSERT INTO " + TableSql(target) + list + " ";
    if (s.query) {
      RejectInto(*s.query, false);
      BindQuery(*s.query, nullptr);
      if (s.query->outputs.size() != types.size()) throw mismatch();
      text += EmitQuery(*s.query, &types, nullptr, false);
    } else {
      text += "VALUES ";
      for (size_t r = 0; r < s.values.size(); ++r) {
        std::vector<ExprPtr>& row = s.values[r];
        if (row.size() != types.size()) throw mismatch();
        text += r ? ", (" : "(";
        for (size_t i = 0; i < row.size(); ++i) {
          Scope scope;
          BindExpr(*row[i], scope);
          text += (i ? ", " : "") + Coerce(EmitExpr(*row[i]), row[i].get(), row[i]->type, types[i]).text;
        }
        text += ")";
      }
    }
    Translation t;
    t.steps.push_back(text);
    return t;
  }

  // Inner joins and their conditions, leaves in order; false when the tree
  // holds an outer join or an APPLY.
  static bool FlattenInner(TableRef& t, std::vector<TableRef*>& leaves, std::vector<Expr*>& conditions) {
    if (t.kind != TableRef::Kind::Join) {
      leaves.push_back(&t);
      return true;
    }
    if (t.joinType != JoinType::Inner && t.joinType != JoinType::Cross) return false;
    if (!FlattenInner(*t.left, leaves, conditions) || !FlattenInner(*t.right, leaves, conditions)) return false;
    if (t.on) conditions.push_back(t.on.get());
    return true;
  }

  Translation UpdateStatement(Statement& s) {
    Scope scope;
    Source* target = nullptr;
    for (TableRefPtr& ref : s.from) BindTableRef(*ref, scope);
    const std::string targetName = s.target.back();
    if (s.target.size() == 1) {
      for (Source* src : scope.sources) {
        if (EqualsIgnoreCase(src->exposed, targetName)) {
          if (target) throw Error(8154, "The table '" + targetName + "' is ambiguous.");
          target = src;
        }
      }
    }
    if (target && target->kind != Source::Kind::Table) {
      throw Untranslatable("UPDATE of a derived table or function result");
    }
    const bool targetInFrom = target != nullptr;
    if (!target) {
      const TableName table = ResolveTableName(s.target);
      target = NewSource(Source::Kind::Table, table.name);
      target->tableSql = TableSql(table);
      target->tableName = table.name;
      target->columns = TableColumns(table, s.target);
      scope.sources.insert(scope.sources.begin(), target);
    }
    std::string sets;
    for (auto& [column, value] : s.assignments) {
      const std::string& name = column.back();
      auto it = std::find_if(target->columns.begin(), target->columns.end(),
                             [&](const ColumnInfo& c) { return EqualsIgnoreCase(c.name, name); });
      if (it == target->columns.end()) throw Error(207, "Invalid column name '" + name + "'.");
      BindExpr(*value, scope);
      sets += (sets.empty() ? "" : ", ") + Ident(it->name) + " = " +
              Coerce(EmitExpr(*value), value.get(), value->type, it->type).text;
    }
    if (s.where) BindExpr(*s.where, scope);

    std::string text = "UPDATE " + TableWithAlias(*target) + " SET " + sets;
    std::vector<std::string> conditions;
    if (targetInFrom) {
      // The updated table leaves the FROM list; the inner joins around it
      // become a list of tables whose join conditions move to the WHERE.
      std::vector<std::string> others;
      bool found = false;
      for (TableRefPtr& ref : s.from) {
        std::vector<TableRef*> leaves;
        std::vector<Expr*> ons;
        const bool holdsTarget = ContainsSource(*ref, target);
        if (!holdsTarget) {
          others.push_back(EmitTableRef(*ref));
          continue;
        }
        if (!FlattenInner(*ref, leaves, ons)) {
          throw Untranslatable("UPDATE ... FROM where the updated table is in an outer join or APPLY");
        }
        found = true;
        for (TableRef* leaf : leaves) {
          if (leaf->source != target) others.push_back(EmitTableRef(*leaf));
        }
        for (Expr* on : ons) conditions.push_back(Wrap(EmitExpr(*on), kPrecAnd + 1));
      }
      if (!found) throw Untranslatable("UPDATE ... FROM");
      if (!others.empty()) {
        text += " FROM ";
        for (size_t i = 0; i < others.size(); ++i) text += (i ? ", " : "") + others[i];
      }
    } else if (!s.from.empty()) {
      text += " FROM ";
      for (size_t i = 0; i < s.from.size(); ++i) text += (i ? ", " : "") + EmitTableRef(*s.from[i]);
    }
    if (s.where) conditions.push_back(Wrap(EmitExpr(*s.where), kPrecAnd + 1));
    for (size_t i = 0; i < conditions.size(); ++i) text += (i ? " AND " : " WHERE ") + conditions[i];
    Translation t;
    t.steps.push_back(text);
    return t;
  }

  static bool ContainsSource(const TableRef& t, const Source* source) {
    if (t.kind == TableRef::Kind::Join) return ContainsSource(*t.left, source) || ContainsSource(*t.right, source);
    return t.source == source;
  }

  Translation DeleteStatement(Statement& s) {
    const TableName table = ResolveTableName(s.target);
    Scope scope;
    Source* target = NewSource(Source::Kind::Table, table.name);
    target->tableSql = TableSql(table);
    target->tableName = table.name;
    target->columns = TableColumns(table, s.target);
    scope.sources.push_back(target);
    std::string text = "DELETE FROM " + TableWithAlias(*target);
    if (s.where) {
      BindExpr(*s.where, scope);
      text += " WHERE " + EmitExpr(*s.where).text;
    }
    Translation t;
    t.steps.push_back(text);
    return t;
  }

  Translation DropStatement(Statement& s) {
    Translation t;
    for (const Name& name : s.dropNames) {
      const TableName table = ResolveTableName(name);
      if (!catalog_.Columns(table.name, table.temporary)) {
        if (s.ifExists) continue;
        throw Error(3701, "Cannot drop the table '" + JoinName(name) +
                              "', because it does not exist or you do not have permission.");
      }
      t.steps.push_back("DROP TABLE " + TableSql(table));
    }
    return t;
  }

  Translation CreateStatement(Statement& s) {
    const TableName table = ResolveTableName(s.target);
    if (catalog_.Columns(table.name, table.temporary)) {
      throw Error(2714, "There is already an object named '" + table.name + "' in the database.");
    }
    std::string text = std::string("CREATE ") + (table.temporary ? "TEMP " : "") + "TABLE " + Ident(table.name) + " (";
    for (size_t i = 0; i < s.definitions.size(); ++i) {
      const ColumnDefinition& d = s.definitions[i];
      const SqlType type = TypeFromName(d.type.name, d.type.first, d.type.second, false);
      if (type.IsUnknown()) {
        throw Error(2715, "Column, parameter, or variable #" + std::to_string(i + 1) + ": Cannot find data type " +
                              d.type.name + ".");
      }
      text += (i ? ", " : "") + ColumnDeclaration(d.name, type, d.notNull || d.primaryKey, d.primaryKey);
    }
    text += ")";
    Translation t;
    t.steps.push_back(text);
    return t;
  }

  // --- binding ----------------------------------------------------------------
  Source* NewSource(Source::Kind kind, std::string exposed) {
    std::string alias = exposed;
    for (int n = 2; AliasTaken(alias); ++n) alias = exposed + "_" + std::to_string(n);
    Source s;
    s.kind = kind;
    s.exposed = std::move(exposed);
    s.alias = std::move(alias);
    sources_.push_back(std::move(s));
    return &sources_.back();
  }

  bool AliasTaken(const std::string& alias) const {
    return std::any_of(sources_.begin(), sources_.end(),
                       [&](const Source& s) { return EqualsIgnoreCase(s.alias, alias); });
  }

  void BindQuery(Query& q, Scope* outer) {
    if (q.core) {
      Scope scope;
      scope.parent = outer;
      scope.core = q.core.get();
      BindCore(*q.core, scope, q.outputs);
      BindOrderBy(q, &scope);
      return;
    }
    BindQuery(*q.left, outer);
    BindQuery(*q.right, outer);
    if (q.left->outputs.size() != q.right->outputs.size()) {
      throw Error(205, "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number "
                       "of expressions in their target lists.");
    }
    q.outputs = q.left->outputs;
    for (size_t i = 0; i < q.outputs.size(); ++i) {
      q.outputs[i].type = CommonType(q.left->outputs[i].type, q.right->outputs[i].type);
    }
    BindOrderBy(q, nullptr);
  }

  void BindCore(SelectCore& c, Scope& scope, std::vector<OutputColumn>& outputs) {
    if (c.topPercent) throw Untranslatable("TOP ... PERCENT");
    if (c.topWithTies) throw Untranslatable("TOP ... WITH TIES");
    for (TableRefPtr& ref : c.from) BindTableRef(*ref, scope);
    c.sources.assign(scope.sources.begin(), scope.sources.end());
    std::vector<SelectItem> items;
    for (SelectItem& item : c.items) {
      if (!item.star) {
        items.push_back(std::move(item));
        continue;
      }
      if (scope.sources.empty()) throw Error(263, "Must specify table to select from.");
      bool matched = false;
      for (Source* src : scope.sources) {
        if (!item.starQualifier.empty() && !EqualsIgnoreCase(item.starQualifier.back(), src->exposed)) continue;
        matched = true;
        for (size_t i = 0; i < src->columns.size(); ++i) {
          SelectItem column;
          column.expr = std::make_unique<Expr>();
          column.expr->kind = ExprKind::Column;
          column.expr->offset = c.offset;
          column.expr->names = {src->exposed, src->columns[i].name};
          column.expr->source = src;
          column.expr->column = i;
          items.push_back(std::move(column));
        }
      }
      if (!matched) {
        throw Error(107, "The column prefix '" + JoinName(item.starQualifier) +
                             "' does not match with a table name or alias name used in the query.");
      }
    }
    c.items = std::move(items);
    for (SelectItem& item : c.items) BindExpr(*item.expr, scope);
    if (c.where) BindExpr(*c.where, scope);
    for (ExprPtr& g : c.groupBy) BindExpr(*g, scope);
    if (c.having) BindExpr(*c.having, scope);
    if (c.top) {
      Scope none;
      BindExpr(*c.top, none);
    }
    outputs.clear();
    for (SelectItem& item : c.items) {
      OutputColumn out;
      out.type = item.expr->type;
      if (!item.alias.empty()) {
        out.name = item.alias;
      } else if (item.expr->kind == ExprKind::Column) {
        out.name = item.expr->names.back();
      }
      outputs.push_back(std::move(out));
    }
  }

  void BindOrderBy(Query& q, Scope* scope) {
    for (OrderItem& item : q.orderBy) {
      Expr& e = *item.expr;
      if (e.kind == ExprKind::Literal && e.literal == LiteralKind::Integer) {
        const long k = std::strtol(e.text.c_str(), nullptr, 10);
        if (k < 1 || static_cast<size_t>(k) > q.outputs.size()) {
          throw Error(108, "The ORDER BY position number " + e.text +
                               " is out of range of the number of items in the select list.");
        }
        item.ordinal = static_cast<int>(k);
        continue;
      }
      if (e.kind == ExprKind::Column && e.names.size() == 1) {
        for (size_t i = 0; i < q.outputs.size(); ++i) {
          if (EqualsIgnoreCase(q.outputs[i].name, e.names[0])) {
            item.ordinal = static_cast<int>(i + 1);
            break;
          }
        }
        if (item.ordinal) continue;
      }
      if (!scope) {
        throw Error(104, "ORDER BY items must appear in the select list if the statement contains a UNION, "
                         "INTERSECT or EXCEPT operator.");
      }
      BindExpr(e, *scope);
    }
  }

  void BindTableRef(TableRef& t, Scope& scope) {
    switch (t.kind) {
      case TableRef::Kind::Named: {
        const TableName table = ResolveTableName(t.name);
        Source* src = NewSource(Source::Kind::Table, t.alias.empty() ? table.name : t.alias);
        src->tableSql = TableSql(table);
        src->tableName = table.name;
        src->columns = TableColumns(table, t.name);
        t.source = src;
        scope.sources.push_back(src);
        return;
      }
      case TableRef::Kind::Derived: {
        BindQuery(*t.query, scope.parent);
        RejectInto(*t.query, false);
        if (!Leftmost(*t.query).into.empty()) throw Error(102, "Incorrect syntax near 'INTO'.");
        std::vector<OutputColumn> columns = t.query->outputs;
        if (!t.columnNames.empty()) {
          if (t.columnNames.size() < columns.size()) {
            throw Error(8158, "'" + t.alias + "' has more columns than were specified in the column list.");
          }
          if (t.columnNames.size() > columns.size()) {
            throw Error(8159, "'" + t.alias + "' has fewer columns than were specified in the column list.");
          }
          for (size_t i = 0; i < columns.size(); ++i) columns[i].name = t.columnNames[i];
        }
        Source* src = NewSource(Source::Kind::Derived, t.alias);
        for (size_t i = 0; i < columns.size(); ++i) {
          if (columns[i].name.empty()) {
            throw Error(8155, "No column name was specified for column " + std::to_string(i + 1) + " of '" +
                                  t.alias + "'.");
          }
          for (size_t j = 0; j < i; ++j) {
            if (EqualsIgnoreCase(columns[j].name, columns[i].name)) {
              throw Error(8156, "The column '" + columns[i].name + "' was specified multiple times for '" + t.alias +
                                    "'.");
            }
          }
          src->columns.push_back({columns[i].name, columns[i].type});
        }
        t.source = src;
        scope.sources.push_back(src);
        return;
      }
      case TableRef::Kind::Function:
        throw Untranslatable("table-valued function " + JoinName(t.name) + " outside CROSS APPLY or OUTER APPLY");
      case TableRef::Kind::Join: {
        BindTableRef(*t.left, scope);
        if (t.joinType == JoinType::OuterApply || t.joinType == JoinType::CrossApply) {
          if (t.right->kind != TableRef::Kind::Function) {
            throw Untranslatable("APPLY of a table or derived table (only the country function is applied)");
          }
          BindFunction(*t.right, scope);
        } else {
          BindTableRef(*t.right, scope);
        }
        if (t.on) BindExpr(*t.on, scope);
        return;
      }
    }
  }

  void BindFunction(TableRef& t, Scope& scope) {
    if (t.name.size() > 2 || (t.name.size() == 2 && !EqualsIgnoreCase(t.name[0], "dbo"))) {
      throw Untranslatable("table-valued function " + JoinName(t.name));
    }
    const std::string name = Upper(t.name.back());
    const TableFunction* fn = nullptr;
    for (const TableFunction& f : kTableFunctions) {
      if (name == f.name) fn = &f;
    }
    if (!fn) throw Untranslatable("table-valued function " + JoinName(t.name));
    if (t.args.size() < fn->arity) {
      throw Error(313, "An insufficient number of arguments were supplied for the procedure or function " +
                           JoinName(t.name) + ".");
    }
    if (t.args.size() > fn->arity) {
      throw Error(8144, "Procedure or function " + JoinName(t.name) + " has too many arguments specified.");
    }
    for (ExprPtr& arg : t.args) BindExpr(*arg, scope);
    const TableName table{fn->table, false};
    Source* src = NewSource(Source::Kind::Function, t.alias.empty() ? t.name.back() : t.alias);
    src->tableSql = TableSql(table);
    src->tableName = table.name;
    src->columns = TableColumns(table, Name{fn->table});
    auto key = std::find_if(src->columns.begin(), src->columns.end(),
                            [&](const ColumnInfo& c) { return EqualsIgnoreCase(c.name, fn->key); });
    if (key == src->columns.end()) throw Error(207, std::string("Invalid column name '") + fn->key + "'.");
    src->keyColumn = static_cast<size_t>(key - src->columns.begin());
    t.source = src;
    scope.sources.push_back(src);
  }

  void BindColumn(Expr& e, Scope& scope) {
    if (e.source) {
      e.type = e.source->columns[e.column].type;
      return;
    }
    const std::string& column = e.names.back();
    const bool qualified = e.names.size() > 1;
    const std::string qualifier = qualified ? e.names[e.names.size() - 2] : "";
    for (Scope* s = &scope; s; s = s->parent) {
      const Source* found = nullptr;
      size_t index = 0;
      for (const Source* src : s->sources) {
        if (qualified && !EqualsIgnoreCase(src->exposed, qualifier)) continue;
        for (size_t i = 0; i < src->columns.size(); ++i) {
          if (!EqualsIgnoreCase(src->columns[i].name, column)) continue;
          if (found) throw Error(209, "Ambiguous column name '" + column + "'.");
          found = src;
          index = i;
        }
        if (qualified) {
          if (!found) throw Error(207, "Invalid column name '" + column + "'.");
          break;
        }
      }
      if (found) {
        e.source = found;
        e.column = index;
        e.type = found->columns[index].type;
        return;
      }
    }
    if (qualified) {
      throw Error(4104, "The multi-part identifier \"" + JoinName(e.names) + "\" could not be bound.");
    }
    throw Error(207, "Invalid column name '" + column + "'.");
  }

  void BindSubquery(Query& q, Scope& scope) {
    RejectInto(q, false);
    if (!Leftmost(q).into.empty()) throw Error(102, "Incorrect syntax near 'INTO'.");
    BindQuery(q, &scope);
  }

  void BindExpr(Expr& e, Scope& scope) {
    for (ExprPtr& a : e.args) BindExpr(*a, scope);
    switch (e.kind) {
      case ExprKind::Literal: e.type = LiteralType(e); return;
      case ExprKind::Column: BindColumn(e, scope); return;
      case ExprKind::Unary: {
        const SqlType& t = Arg(e, 0).type;
        e.type = t.IsText() ? SqlType::Of(TypeKind::Float) : (t.IsNull() ? SqlType::Of(TypeKind::Int) : t);
        if (t.IsDate()) throw Untranslatable("unary " + e.op + " on a date");
        return;
      }
      case ExprKind::Binary: {
        const SqlType& a = Arg(e, 0).type;
        const SqlType& b = Arg(e, 1).type;
        if (e.op == "+" && IsConcatenation(a, b)) {
          const bool unicode = a.IsUnicode() || b.IsUnicode();
          int length = SqlType::kMaxLength;
          if (a.length != SqlType::kMaxLength && b.length != SqlType::kMaxLength) {
            length = std::min(8000, (a.IsNull() ? 0 : a.length) + (b.IsNull() ? 0 : b.length));
          }
          e.type = SqlType::Text(unicode ? TypeKind::NVarChar : TypeKind::VarChar, length);
          return;
        }
        if (a.IsDate() || b.IsDate()) throw Untranslatable("date arithmetic with " + e.op);
        e.type = ArithmeticType(e.op[0], a, b);
        return;
      }
      case ExprKind::Compare:
      case ExprKind::And:
      case ExprKind::Or:
      case ExprKind::Not:
      case ExprKind::IsNull:
      case ExprKind::Between:
      case ExprKind::Like:
      case ExprKind::InList: e.type = SqlType::Of(TypeKind::Bit); return;
      case ExprKind::InQuery:
      case ExprKind::Exists:
        BindSubquery(*e.query, scope);
        if (e.kind == ExprKind::InQuery && e.query->outputs.size() != 1) throw OneColumnError();
        e.type = SqlType::Of(TypeKind::Bit);
        return;
      case ExprKind::Subquery:
        BindSubquery(*e.query, scope);
        if (e.query->outputs.size() != 1) throw OneColumnError();
        e.type = e.query->outputs[0].type;
        return;
      case ExprKind::Case: {
        if (e.caseOperand) BindExpr(*e.caseOperand, scope);
        SqlType t = SqlType::Of(TypeKind::Null);
        for (auto& [when, then] : e.whens) {
          BindExpr(*when, scope);
          BindExpr(*then, scope);
          t = CommonType(t, then->type);
        }
        if (e.elseExpr) {
          BindExpr(*e.elseExpr, scope);
          t = CommonType(t, e.elseExpr->type);
        }
        e.type = t;
        return;
      }
      case ExprKind::Cast: {
        e.type = TypeFromName(e.castType.name, e.castType.first, e.castType.second, true);
        if (e.type.IsUnknown()) throw Error(243, "Type " + e.castType.name + " is not a defined system type.");
        return;
      }
      case ExprKind::Call: BindCall(e, scope); return;
    }
  }

  static Error OneColumnError() {
    return Error(116, "Only one expression can be specified in the select list when the subquery is not "
                      "introduced with EXISTS.");
  }

  static void RequireArguments(const Expr& e, size_t low, size_t high) {
    if (e.args.size() < low || e.args.size() > high) {
      throw Error(174, "The " + Upper(e.op) + " function requires " + std::to_string(low) + " argument(s).");
    }
  }

  void BindCall(Expr& e, Scope& scope) {
    const std::string& f = e.op;
    if (IsRanking(f)) {
      if (!e.hasOver) throw Error(10753, "The function '" + f + "' must have an OVER clause.");
      if (e.overOrder.empty()) throw Error(4112, "The function '" + f + "' must have an OVER clause with ORDER BY.");
      RequireArguments(e, 0, 0);
      for (ExprPtr& p : e.partitionBy) BindExpr(*p, scope);
      for (OrderItem& o : e.overOrder) BindExpr(*o.expr, scope);
      e.type = SqlType::Of(TypeKind::BigInt);
      return;
    }
    if (e.hasOver) throw Untranslatable(f + "(...) OVER (...)");
    if (IsAggregate(f)) {
      if (scope.core) scope.core->hasAggregate = true;
      if (e.countStar) {
        if (f != "COUNT" && f != "COUNT_BIG") throw Error(102, "Incorrect syntax near '*'.");
      } else {
        RequireArguments(e, 1, 1);
      }
      const SqlType arg = e.countStar ? SqlType::Of(TypeKind::Int) : Arg(e, 0).type;
      if (f == "COUNT") {
        e.type = SqlType::Of(TypeKind::Int);
      } else if (f == "COUNT_BIG") {
        e.type = SqlType::Of(TypeKind::BigInt);
      } else if (f == "MIN" || f == "MAX") {
        e.type = arg;
      } else {
        if (arg.IsText() || arg.IsDate()) {
          throw Error(8117, "Operand data type " + std::string(arg.MessageName()) + " is invalid for " +
                                (f == "SUM" ? "sum" : "avg") + " operator.");
        }
        e.type = f == "SUM" ? SumType(arg) : AvgType(arg);
      }
      return;
    }
    if (e.distinct || e.countStar) throw Error(102, "Incorrect syntax near '" + f + "'.");
    auto type = [&](size_t i) -> const SqlType& { return Arg(e, i).type; };
    if (f == "ISNULL") {
      RequireArguments(e, 2, 2);
      e.type = (type(0).IsUnknown() || type(0).IsNull()) ? type(1) : type(0);
    } else if (f == "COALESCE") {
      if (e.args.size() < 2) throw Error(189, "The coalesce function requires 2 to 254 arguments.");
      SqlType t = SqlType::Of(TypeKind::Null);
      for (size_t i = 0; i < e.args.size(); ++i) t = CommonType(t, type(i));
      e.type = t;
    } else if (f == "NULLIF") {
      RequireArguments(e, 2, 2);
      e.type = type(0);
    } else if (f == "YEAR" || f == "MONTH" || f == "DAY") {
      RequireArguments(e, 1, 1);
      e.type = SqlType::Of(TypeKind::Int);
    } else if (f == "LEN" || f == "CHARINDEX") {
      RequireArguments(e, f == "LEN" ? 1 : 2, f == "LEN" ? 1 : 3);
      e.type = SqlType::Of(TypeKind::Int);
    } else if (f == "ABS" || f == "ROUND") {
      RequireArguments(e, f == "ABS" ? 1 : 2, f == "ABS" ? 1 : 3);
      e.type = type(0).IsText() ? SqlType::Of(TypeKind::Float) : type(0);
      if (e.type.IsNull()) e.type = SqlType::Of(TypeKind::Int);
      if (e.type.IsDate()) throw Error(8116, "Argument data type datetime is invalid for argument 1 of " + f + " function.");
    } else if (f == "UPPER" || f == "LOWER" || f == "LTRIM" || f == "RTRIM") {
      RequireArguments(e, 1, 1);
      e.type = type(0).IsText() ? type(0) : SqlType::Text(TypeKind::VarChar, 30);
    } else if (f == "SUBSTRING" || f == "LEFT" || f == "RIGHT") {
      RequireArguments(e, f == "SUBSTRING" ? 3 : 2, f == "SUBSTRING" ? 3 : 2);
      e.type = type(0).IsText() ? type(0) : SqlType::Text(TypeKind::VarChar, 30);
    } else if (f == "REPLACE") {
      RequireArguments(e, 3, 3);
      e.type = SqlType::Text(type(0).IsUnicode() ? TypeKind::NVarChar : TypeKind::VarChar, 8000);
    } else if (f == "OBJECT_ID") {
      RequireArguments(e, 1, 2);
      for (const ExprPtr& a : e.args) {
        std::optional<Constant> c = ConstantOf(a.get());
        if (!c || c->kind != Constant::Kind::Text) throw Untranslatable("OBJECT_ID of a computed name");
      }
      e.type = SqlType::Of(TypeKind::Int);
    } else {
      throw Untranslatable("function " + f);
    }
  }

  // --- emission ---------------------------------------------------------------
  static std::string TableWithAlias(const Source& s) {
    if (EqualsIgnoreCase(s.alias, s.tableName)) return s.tableSql;
    return s.tableSql + " AS " + Ident(s.alias);
  }

  static std::string ColumnSql(const Source& s, size_t column) {
    return Ident(s.alias) + "." + Ident(s.columns[column].name);
  }

  // The text of a query. `target` gives each output column the type it must
  // have (a UNION's common type, an INSERT's column types); `names` the name
  // it must carry; `collate` puts text columns under the collation (for
  // DISTINCT, UNION, EXCEPT and INTERSECT, which compare rows).
  std::string EmitQuery(const Query& q, const std::vector<SqlType>* target, const std::vector<std::string>* names,
                        bool collate) {
    if (q.core) return EmitCore(q, target, names, collate, true);
    std::vector<SqlType> types;
    for (const OutputColumn& c : q.outputs) types.push_back(c.type);
    if (target) types = *target;
    const bool compares = q.op != SetOp::UnionAll;
    std::string text = EmitBranch(*q.left, types, names, collate || compares, true);
    switch (q.op) {
      case SetOp::UnionAll: text += " UNION ALL "; break;
      case SetOp::Union: text += " UNION "; break;
      case SetOp::Except: text += " EXCEPT "; break;
      case SetOp::Intersect: text += " INTERSECT "; break;
    }
    text += EmitBranch(*q.right, types, nullptr, collate || compares, false);
    text += OrderBy(q);
    return text;
  }

  std::string EmitBranch(const Query& b, const std::vector<SqlType>& types, const std::vector<std::string>* names,
                         bool collate, bool leftmost) {
    if (b.core && !b.core->top && b.orderBy.empty()) return EmitCore(b, &types, names, collate, false);
    if (!b.core && b.orderBy.empty() && leftmost) return EmitQuery(b, &types, names, collate);
    // SQLite takes LIMIT, ORDER BY and nested compounds only at the end of
    // a compound: such a branch becomes a subquery.
    return "SELECT * FROM (" + EmitQuery(b, &types, names, collate) + ")";
  }

  std::string EmitCore(const Query& q, const std::vector<SqlType>* target, const std::vector<std::string>* names,
                       bool collate, bool standalone) {
    const SelectCore& c = *q.core;
    const std::vector<std::string> joins = Decorrelate(c);
    std::string text = c.distinct ? "SELECT DISTINCT " : "SELECT ";
    for (size_t i = 0; i < c.items.size(); ++i) {
      const Expr& e = *c.items[i].expr;
      Sql x = EmitExpr(e);
      SqlType type = e.type;
      if (target) {
        x = Coerce(x, &e, e.type, (*target)[i]);
        type = (*target)[i];
      }
      if ((collate || c.distinct) && NeedsCollation(type)) x = Collate(x);
      const std::string& name = names ? (*names)[i] : q.outputs[i].name;
      text += (i ? ", " : "") + x.text;
      const bool implicitName = e.kind == ExprKind::Column && x.text == ColumnSql(*e.source, e.column) &&
                                EqualsIgnoreCase(e.source->columns[e.column].name, name);
      if (!name.empty() && !implicitName) text += " AS " + Ident(name);
    }
    if (!c.from.empty()) {
      text += " FROM ";
      for (size_t i = 0; i < c.from.size(); ++i) text += (i ? ", " : "") + EmitTableRef(*c.from[i]);
      for (const std::string& join : joins) text += " " + join;
    }
    if (c.where) text += " WHERE " + EmitWhere(*c.where).text;
    if (c.groupBy.size() >= kGroupKeyTerms) {
      // A wide list groups on one key with the same groups in the same
      // order (tsql_group_key); the terms in the select list are then read
      // from a row of their group, where each has the one value.
      std::string modes;
      std::vector<std::string> args;
      for (const ExprPtr& term : c.groupBy) {
        modes += NeedsCollation(term->type) ? 'c' : 'b';
        args.push_back(EmitExpr(*term).text);
      }
      args.insert(args.begin(), "'" + modes + "'");
      text += " GROUP BY " + Function("tsql_group_key", args).text;
    } else if (!c.groupBy.empty()) {
      text += " GROUP BY ";
      for (size_t i = 0; i < c.groupBy.size(); ++i) {
        Sql g = EmitExpr(*c.groupBy[i]);
        if (NeedsCollation(c.groupBy[i]->type)) g = Collate(g);
        text += (i ? ", " : "") + g.text;
      }
    }
    if (c.having) text += " HAVING " + EmitExpr(*c.having).text;
    if (standalone) text += OrderBy(q);
    if (c.top) text += " LIMIT " + EmitExpr(*c.top).text;
    return text;
  }

  std::string OrderBy(const Query& q) {
    if (q.orderBy.empty()) return {};
    std::string text = " ORDER BY ";
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
      const OrderItem& item = q.orderBy[i];
      Sql x;
      SqlType type;
      if (item.ordinal) {
        x = Atom(std::to_string(item.ordinal));
        type = q.outputs[item.ordinal - 1].type;
      } else {
        x = EmitExpr(*item.expr);
        type = item.expr->type;
      }
      if (NeedsCollation(type)) x = Collate(x);
      text += (i ? ", " : "") + x.text + (item.descending ? " DESC" : "");
    }
    return text;
  }

  std::string EmitTableRef(const TableRef& t) {
    switch (t.kind) {
      case TableRef::Kind::Named: return TableWithAlias(*t.source);
      case TableRef::Kind::Derived: {
        std::vector<std::string> names;
        for (const ColumnInfo& c : t.source->columns) names.push_back(c.name);
        return "(" + EmitQuery(*t.query, nullptr, &names, false) + ") AS " + Ident(t.source->alias);
      }
      case TableRef::Kind::Function: break;
      case TableRef::Kind::Join: {
        std::string text = EmitTableRef(*t.left);
        if (t.joinType == JoinType::OuterApply || t.joinType == JoinType::CrossApply) {
          // The function's row is the row of its table whose key is the first argument.
          const Source& fn = *t.right->source;
          const Expr& arg = *t.right->args[0];
          Sql key = Atom(ColumnSql(fn, fn.keyColumn));
          Sql on = Comparison("=", key, nullptr, fn.columns[fn.keyColumn].type, EmitExpr(arg), &arg, arg.type);
          text += (t.joinType == JoinType::OuterApply ? " LEFT JOIN " : " JOIN ") + TableWithAlias(fn) + " ON " +
                  on.text;
        } else {
          switch (t.joinType) {
            case JoinType::Inner: text += " JOIN "; break;
            case JoinType::Left: text += " LEFT JOIN "; break;
            case JoinType::Right: text += " RIGHT JOIN "; break;
            case JoinType::Full: text += " FULL JOIN "; break;
            default: text += " CROSS JOIN "; break;
          }
          text += EmitTableRef(*t.right);
          if (t.on) text += " ON " + EmitExpr(*t.on).text;
        }
        return t.parenthesized ? "(" + text + ")" : text;
      }
    }
    throw Untranslatable("table-valued function outside APPLY");
  }

  // A value converted from one type to another as the server converts it:
  // constants at once (failing as the server fails), other values by the
  // conversion functions registered on the handle.
  Sql Coerce(Sql s, const Expr* source, const SqlType& from, const SqlType& to) {
    const Family ff = from.family();
    const Family tf = to.family();
    if (tf == Family::Unknown || tf == Family::Null || ff == Family::Null) return s;
    if (ff == Family::Unknown) return tf == Family::Date ? Function("tsql_date", {s.text}) : s;
    const std::optional<Constant> c = ConstantOf(source);
    if (c && c->kind == Constant::Kind::Null) return s;
    switch (tf) {
      case Family::Number:
        if (ff == Family::Text) return TextToNumber(s, c, to);
        if (ff == Family::Date) throw Untranslatable("conversion of a date to a number");
        return NumberToNumber(s, c, from, to);
      case Family::Text: {
        if (ff == Family::Number) {
          // A number too long for the text: '*' for a whole number into
          // (var)char, an overflow error otherwise.
          const bool star = from.IsInteger() && !to.IsUnicode();
          const std::string overflow = star ? "'*'" : Quote(to.MessageName());
          const bool bounded = to.length != SqlType::kMaxLength;
          if (c) {
            const std::string text = NumberConstantText(*c);
            if (bounded && Utf8Length(text) > static_cast<size_t>(to.length)) {
              if (star) return Atom("'*'");
              throw Error(8115, std::string("Arithmetic overflow error converting ") +
                                    (from.kind == TypeKind::Decimal ? "numeric" : "expression") + " to data type " +
                                    std::string(to.MessageName()) + ".");
            }
            return Atom(Quote(text));
          }
          const std::string scale = from.kind == TypeKind::Decimal ? std::to_string(from.scale) : "NULL";
          if (bounded && to.length < LongestText(from)) {
            return Function("tsql_text", {s.text, scale, std::to_string(to.length), overflow});
          }
          if (from.kind == TypeKind::Decimal) return Function("tsql_text", {s.text, scale});
          if (from.kind == TypeKind::Float || from.kind == TypeKind::Real) return Function("tsql_text", {s.text});
          return Atom("CAST(" + s.text + " AS TEXT)");
        }
        if (ff == Family::Date) return Function("tsql_datetext", {s.text});
        // text to a shorter text is cut
        if (to.length != SqlType::kMaxLength && (from.length == SqlType::kMaxLength || from.length > to.length)) {
          if (c) return Atom(Quote(Utf8Left(c->text, static_cast<size_t>(to.length))));
          return Function("substr", {s.text, "1", std::to_string(to.length)});
        }
        return s;
      }
      case Family::Date:
        if (ff == Family::Text) {
          if (c) {
            std::optional<DateParts> d = ParseDateText(c->text);
            if (!d) throw ConversionError(*c, to);
            return Atom(DateNumberText(*d));
          }
          return Function("tsql_date", {s.text});
        }
        if (ff == Family::Number) {
          if (c && c->literal == LiteralKind::Integer) {
            std::optional<DateParts> d = DateFromDayNumber(std::strtoll(c->text.c_str(), nullptr, 10));
            if (!d) throw Error(8115, "Arithmetic overflow error converting expression to data type datetime.");
            return Atom(DateNumberText(*d));
          }
          return Function("tsql_daydate", {s.text});
        }
        return s;
      default: return s;
    }
  }

  static Sql TextToNumber(const Sql& s, const std::optional<Constant>& c, const SqlType& to) {
    if (to.IsInteger()) {
      if (c) {
        std::optional<int64_t> v = TextToInteger(c->text);
        if (!v) throw ConversionError(*c, to);
        if (to.kind == TypeKind::Bit) return Atom(*v != 0 ? "1" : "0");
        if (!FitsInteger(*v, to.kind)) {
          throw Error(244, "The conversion of the varchar value '" + c->text + "' overflowed an " +
                               std::string(to.MessageName()) + " column. Use a larger integer column.");
        }
        return Atom(std::to_string(*v));
      }
      if (to.kind == TypeKind::Bit) return Function("tsql_bit", {s.text});
      if (to.kind == TypeKind::Int) return Function("tsql_int", {s.text});
      return Function("tsql_int", {s.text, Quote(to.MessageName())});
    }
    if (to.kind == TypeKind::Decimal) {
      if (c) {
        std::optional<Decimal> d = TextToDecimal(c->text);
        if (!d) throw ConversionError(*c, to);
        return Atom(d->ToString());
      }
      return Function("tsql_num", {s.text});
    }
    if (c) {
      std::optional<double> d = TextToFloat(c->text);
      if (!d) throw ConversionError(*c, to);
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.17g", *d);
      std::string text = buffer;
      if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
      return Atom(text);
    }
    return Function("tsql_float", {s.text});
  }

  static Sql NumberToNumber(const Sql& s, const std::optional<Constant>& c, const SqlType& from, const SqlType& to) {
    if (to.kind == TypeKind::Bit && from.kind != TypeKind::Bit) {
      if (c) return Atom(Decimal::Parse(c->text).value_or(Decimal()).IsZero() ? "0" : "1");
      return Function("tsql_bit", {s.text});
    }
    if (to.IsInteger() && !from.IsInteger()) {
      if (c) {
        if (std::optional<Decimal> d = Decimal::Parse(c->text)) return Atom(d->Truncate().ToString());
      }
      return Atom("CAST(" + s.text + " AS INTEGER)");
    }
    if (to.kind == TypeKind::Decimal &&
        (from.kind == TypeKind::Float || from.kind == TypeKind::Real ||
         (from.kind == TypeKind::Decimal && from.scale > to.scale))) {
      if (c) {
        if (std::optional<Decimal> d = Decimal::Parse(c->text)) {
          return Atom(d->RoundHalfAwayFromZero(to.scale).ToString());
        }
      }
      return Function("tsql_round", {s.text, std::to_string(to.scale)});
    }
    return s;
  }

  Sql Comparison(const std::string& op, const Sql& a, const Expr* ae, const SqlType& at, const Sql& b,
                 const Expr* be, const SqlType& bt) {
    const SqlType t = ComparisonType(at, bt);
    Sql x = Coerce(a, ae, at, t);
    Sql y = Coerce(b, be, bt, t);
    if (NeedsCollation(t)) x = Collate(x);
    return {Wrap(x, kPrecAdd) + " " + op + " " + Wrap(y, kPrecAdd), kPrecCompare};
  }

  Sql Comparison(const std::string& op, const Expr& a, const Expr& b) {
    return Comparison(op, EmitExpr(a), &a, a.type, EmitExpr(b), &b, b.type);
  }

  Sql EmitExpr(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Literal:
        switch (e.literal) {
          case LiteralKind::Null: return Atom("NULL");
          case LiteralKind::String:
          case LiteralKind::UnicodeString: return Atom(Quote(e.text));
          default: return Atom(e.text[0] == '.' ? "0" + e.text : e.text);
        }
      case ExprKind::Column: return Atom(ColumnSql(*e.source, e.column));
      case ExprKind::Unary: {
        const Expr& a = Arg(e, 0);
        Sql x = Coerce(EmitExpr(a), &a, a.type, e.type);
        if (e.op == "+") return x;
        return {"-" + Wrap(x, kPrecUnary), kPrecUnary};
      }
      case ExprKind::Binary: return EmitBinary(e);
      case ExprKind::Compare: return Comparison(e.op, Arg(e, 0), Arg(e, 1));
      case ExprKind::And:
        return {Wrap(EmitExpr(Arg(e, 0)), kPrecAnd) + " AND " + Wrap(EmitExpr(Arg(e, 1)), kPrecAnd + 1), kPrecAnd};
      case ExprKind::Or:
        return {Wrap(EmitExpr(Arg(e, 0)), kPrecOr) + " OR " + Wrap(EmitExpr(Arg(e, 1)), kPrecOr + 1), kPrecOr};
      case ExprKind::Not: return {"NOT " + Wrap(EmitExpr(Arg(e, 0)), kPrecNot), kPrecNot};
      case ExprKind::IsNull:
        return {Wrap(EmitExpr(Arg(e, 0)), kPrecAdd) + (e.negated ? " IS NOT NULL" : " IS NULL"), kPrecCompare};
      case ExprKind::Between: return BetweenSql(EmitExpr(Arg(e, 0)), &Arg(e, 0), Arg(e, 0).type, e);
      case ExprKind::Like: {
        std::vector<std::string> args;
        for (const ExprPtr& a : e.args) {
          SqlType text = SqlType::Text(TypeKind::VarChar, SqlType::kMaxLength);
          args.push_back(a->type.IsText() ? EmitExpr(*a).text : Coerce(EmitExpr(*a), a.get(), a->type, text).text);
        }
        Sql like = Function("tsql_like", args);
        return e.negated ? Sql{"NOT " + like.text, kPrecNot} : like;
      }
      case ExprKind::InList: return InListSql(EmitExpr(Arg(e, 0)), &Arg(e, 0), Arg(e, 0).type, e);
      case ExprKind::InQuery: {
        const SqlType t = ComparisonType(Arg(e, 0).type, e.query->outputs[0].type);
        Sql v = Coerce(EmitExpr(Arg(e, 0)), &Arg(e, 0), Arg(e, 0).type, t);
        if (NeedsCollation(t)) v = Collate(v);
        const std::vector<SqlType> target{t};
        return {Wrap(v, kPrecAdd) + (e.negated ? " NOT IN (" : " IN (") + EmitQuery(*e.query, &target, nullptr, false) +
                    ")",
                kPrecCompare};
      }
      case ExprKind::Exists: return Atom("EXISTS (" + EmitQuery(*e.query, nullptr, nullptr, false) + ")");
      case ExprKind::Subquery: {
        auto joined = decorrelated_.find(&e);
        if (joined != decorrelated_.end()) return Atom(joined->second);
        return EmitSubquery(*e.query);
      }
      case ExprKind::Case: return EmitCase(e);
      case ExprKind::Cast: return EmitCast(e);
      case ExprKind::Call: return EmitCall(e);
    }
    throw Untranslatable("expression");
  }

  // A WHERE condition, where a row passes only when it is true, so a null
  // and a false mean the same. That lets a range over ISNULL(column, other)
  // or COALESCE(column, ...) be written as a range over the column itself
  // OR (column IS NULL AND a range over the rest): the same rows, but
  // SQLite can then read the column's range from an index instead of
  // testing every row. Anything else is written as EmitExpr writes it.
  Sql EmitWhere(const Expr& e) {
    if (e.kind == ExprKind::And) {
      return {Wrap(EmitWhere(Arg(e, 0)), kPrecAnd) + " AND " + Wrap(EmitWhere(Arg(e, 1)), kPrecAnd + 1), kPrecAnd};
    }
    if (std::optional<Sql> split = SplitRangeOverFallback(e)) return *split;
    return EmitExpr(e);
  }

  std::optional<Sql> SplitRangeOverFallback(const Expr& e) {
    const bool range = (e.kind == ExprKind::Between && !e.negated) ||
                       (e.kind == ExprKind::Compare && (e.op == "<" || e.op == "<=" || e.op == ">" || e.op == ">="));
    if (!range) return std::nullopt;
    const Expr& call = Arg(e, 0);
    if (call.kind != ExprKind::Call || (call.op != "ISNULL" && call.op != "COALESCE") || call.args.size() < 2) {
      return std::nullopt;
    }
    for (size_t i = 1; i < e.args.size(); ++i) {
      if (!ConstantOf(&Arg(e, i))) return std::nullopt;
    }
    const Expr& first = Arg(call, 0);
    // Text would be compared under the collation, which no index of ours is built with.
    if (first.kind != ExprKind::Column || first.type.IsText() || first.type.IsUnknown() || call.type.IsText()) {
      return std::nullopt;
    }
    const std::string column = ColumnSql(*first.source, first.column);
    const std::string callText = EmitExpr(call).text;
    const std::string whole = EmitExpr(e).text;
    const std::string head = "coalesce(" + column + ", ";
    // Only where the call and the comparison are written plainly, with
    // nothing converted: the range then reads the same on either side.
    if (!callText.starts_with(head) || !whole.starts_with(callText)) return std::nullopt;
    const std::string others = callText.substr(head.size(), callText.size() - head.size() - 1);
    const std::string rest = call.args.size() > 2 ? "coalesce(" + others + ")" : others;
    const std::string bounds = whole.substr(callText.size());
    if (bounds.find("COLLATE") != std::string::npos) return std::nullopt;
    return Sql{column + bounds + " OR (" + column + " IS NULL AND " + rest + bounds + ")", kPrecOr};
  }

  // value BETWEEN low AND high, and value IN (list), of the expression `e`
  // with its tested value given apart (the decorrelation tests another one).
  Sql BetweenSql(const Sql& value, const Expr* ve, const SqlType& vt, const Expr& e) {
    const SqlType t = ComparisonType(ComparisonType(vt, Arg(e, 1).type), Arg(e, 2).type);
    Sql v = Coerce(value, ve, vt, t);
    if (NeedsCollation(t)) v = Collate(v);
    const Sql lo = Coerce(EmitExpr(Arg(e, 1)), &Arg(e, 1), Arg(e, 1).type, t);
    const Sql hi = Coerce(EmitExpr(Arg(e, 2)), &Arg(e, 2), Arg(e, 2).type, t);
    return {Wrap(v, kPrecAdd) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + Wrap(lo, kPrecAdd) + " AND " +
                Wrap(hi, kPrecAdd),
            kPrecCompare};
  }

  Sql InListSql(const Sql& value, const Expr* ve, const SqlType& vt, const Expr& e) {
    SqlType t = vt;
    for (size_t i = 1; i < e.args.size(); ++i) t = ComparisonType(t, Arg(e, i).type);
    Sql v = Coerce(value, ve, vt, t);
    if (NeedsCollation(t)) v = Collate(v);
    std::string items;
    for (size_t i = 1; i < e.args.size(); ++i) {
      items += (i > 1 ? ", " : "") + Coerce(EmitExpr(Arg(e, i)), &Arg(e, i), Arg(e, i).type, t).text;
    }
    return {Wrap(v, kPrecAdd) + (e.negated ? " NOT IN (" : " IN (") + items + ")", kPrecCompare};
  }

  Sql EmitBinary(const Expr& e) {
    const Expr& a = Arg(e, 0);
    const Expr& b = Arg(e, 1);
    Sql x = EmitExpr(a);
    Sql y = EmitExpr(b);
    if (e.op == "+" && IsConcatenation(a.type, b.type)) {
      return {Wrap(x, kPrecConcat) + " || " + Wrap(y, kPrecConcat + 1), kPrecConcat};
    }
    if (e.type.IsUnknown()) {
      if (e.op == "+") return Function("tsql_add", {x.text, y.text});
    } else {
      // A text operand is converted to the type of the other (or to float).
      const SqlType& at = a.type.IsText() ? (b.type.IsText() ? e.type : b.type) : a.type;
      const SqlType& bt = b.type.IsText() ? (a.type.IsText() ? e.type : a.type) : b.type;
      x = Coerce(x, &a, a.type, at);
      y = Coerce(y, &b, b.type, bt);
    }
    const int prec = (e.op == "+" || e.op == "-") ? kPrecAdd : kPrecMul;
    if (e.op == "/" || e.op == "%") {
      // A divisor written as a number other than zero needs no check.
      const std::optional<Constant> divisor = ConstantOf(&b);
      const bool safe = divisor && divisor->kind == Constant::Kind::Number &&
                        !Decimal::Parse(divisor->text).value_or(Decimal()).IsZero();
      if (!safe) y = Function("tsql_nonzero", {y.text});
      if (e.op == "%" && !e.type.IsInteger() && !e.type.IsUnknown()) return Function("tsql_mod", {x.text, y.text});
      // Decimals may be stored as whole numbers: a fractional quotient must
      // not become SQLite's integer division.
      if (e.op == "/" && !e.type.IsInteger() && !e.type.IsUnknown()) x = Atom("CAST(" + x.text + " AS REAL)");
    }
    return {Wrap(x, prec) + " " + e.op + " " + Wrap(y, prec + 1), prec};
  }

  Sql EmitCase(const Expr& e) {
    std::string text = "CASE";
    for (const auto& [when, then] : e.whens) {
      const Sql condition = e.caseOperand ? Comparison("=", *e.caseOperand, *when) : EmitExpr(*when);
      text += " WHEN " + condition.text + " THEN " + Coerce(EmitExpr(*then), then.get(), then->type, e.type).text;
    }
    if (e.elseExpr) {
      text += " ELSE " + Coerce(EmitExpr(*e.elseExpr), e.elseExpr.get(), e.elseExpr->type, e.type).text;
    }
    return Atom(text + " END");
  }

  Sql EmitCast(const Expr& e) {
    const Expr& a = Arg(e, 0);
    Sql x = EmitExpr(a);
    const SqlType& to = e.type;
    if (e.args.size() > 1) {  // CONVERT(type, value, style)
      std::optional<Constant> style = ConstantOf(e.args[1].get());
      if (!style || style->literal != LiteralKind::Integer) throw Untranslatable("CONVERT with a computed style");
      const int number = std::atoi(style->text.c_str());
      if (a.type.IsDate() && to.IsText()) {
        if (!FormatDate(DateParts{}, number)) throw Untranslatable("CONVERT style " + style->text);
        x = Function("tsql_datetext", {x.text, style->text});
        return Coerce(x, nullptr, SqlType::Text(TypeKind::VarChar, SqlType::kMaxLength), to);
      }
      if (a.type.IsText() && to.IsDate()) {
        if (!IsKnownDateStyle(number)) throw Untranslatable("CONVERT style " + style->text);
        if (std::optional<Constant> c = ConstantOf(&a)) {
          std::optional<DateParts> d = ParseDateTextStyled(c->text, number);
          if (!d) throw ConversionError(*c, to);
          return Atom(DateNumberText(*d));
        }
        return Function("tsql_date", {x.text, style->text});
      }
    }
    x = Coerce(x, &a, a.type, to);
    if ((to.kind == TypeKind::Char || to.kind == TypeKind::NChar) && to.length != SqlType::kMaxLength) {
      x = Function("tsql_pad", {x.text, std::to_string(to.length)});
    }
    return x;
  }

  bool SingleRow(const Query& q) const {
    if (!q.core) return false;
    const SelectCore& c = *q.core;
    if (c.from.empty() && !c.where) return true;
    if (c.top) {
      std::optional<Constant> n = ConstantOf(c.top.get());
      if (n && n->text == "1") return true;
    }
    return c.hasAggregate && c.groupBy.empty();
  }

  Sql EmitSubquery(const Query& q) {
    if (SingleRow(q)) return Atom("(" + EmitQuery(q, nullptr, nullptr, false) + ")");
    // More than one row is an error on the server, not a first row.
    const std::vector<std::string> names{"_v"};
    return Atom("(SELECT tsql_single(_v) FROM (" + EmitQuery(q, nullptr, &names, false) + "))");
  }

  Sql EmitCall(const Expr& e) {
    const std::string& f = e.op;
    auto arg = [&](size_t i) { return EmitExpr(Arg(e, i)); };
    auto asText = [&](size_t i) {
      const Expr& a = Arg(e, i);
      if (a.type.IsText() || a.type.IsUnknown() || a.type.IsNull()) return EmitExpr(a);
      return Coerce(EmitExpr(a), &a, a.type, SqlType::Text(TypeKind::VarChar, SqlType::kMaxLength));
    };
    auto asInteger = [&](size_t i) { return Coerce(EmitExpr(Arg(e, i)), &Arg(e, i), Arg(e, i).type, SqlType::Of(TypeKind::Int)); };
    if (IsRanking(f)) {
      std::string over;
      if (!e.partitionBy.empty()) {
        over += "PARTITION BY ";
        for (size_t i = 0; i < e.partitionBy.size(); ++i) {
          Sql p = EmitExpr(*e.partitionBy[i]);
          if (NeedsCollation(e.partitionBy[i]->type)) p = Collate(p);
          over += (i ? ", " : "") + p.text;
        }
        over += " ";
      }
      over += "ORDER BY ";
      for (size_t i = 0; i < e.overOrder.size(); ++i) {
        const OrderItem& o = e.overOrder[i];
        Sql x = EmitExpr(*o.expr);
        if (NeedsCollation(o.expr->type)) x = Collate(x);
        over += (i ? ", " : "") + x.text + (o.descending ? " DESC" : "");
      }
      std::string name = f == "ROW_NUMBER" ? "row_number" : (f == "RANK" ? "rank" : "dense_rank");
      return Atom(name + "() OVER (" + over + ")");
    }
    if (IsAggregate(f)) {
      if (e.countStar) return Atom("count(*)");
      const Expr& a = Arg(e, 0);
      Sql x = EmitExpr(a);
      const std::string distinct = e.distinct ? "DISTINCT " : "";
      if (f == "COUNT" || f == "COUNT_BIG" || f == "MIN" || f == "MAX") {
        if (NeedsCollation(a.type) && (f == "MIN" || f == "MAX" || e.distinct)) x = Collate(x);
        const std::string name = f == "MIN" ? "min" : (f == "MAX" ? "max" : "count");
        return Atom(name + "(" + distinct + x.text + ")");
      }
      if (f == "SUM" && (a.type.IsInteger() || a.type.IsNull())) return Atom("sum(" + distinct + x.text + ")");
      return Atom((f == "SUM" ? "tsql_sum(" : "tsql_avg(") + distinct + x.text + ")");
    }
    if (f == "ISNULL") {
      const Expr& b = Arg(e, 1);
      return Function("coalesce", {arg(0).text, Coerce(EmitExpr(b), &b, b.type, e.type).text});
    }
    if (f == "COALESCE") {
      std::vector<std::string> args;
      for (const ExprPtr& a : e.args) args.push_back(Coerce(EmitExpr(*a), a.get(), a->type, e.type).text);
      return Function("coalesce", args);
    }
    if (f == "NULLIF") {
      const SqlType t = ComparisonType(Arg(e, 0).type, Arg(e, 1).type);
      Sql x = Coerce(arg(0), &Arg(e, 0), Arg(e, 0).type, t);
      if (NeedsCollation(t)) x = Collate(x);
      return Function("nullif", {x.text, Coerce(arg(1), &Arg(e, 1), Arg(e, 1).type, t).text});
    }
    if (f == "YEAR" || f == "MONTH" || f == "DAY") {
      const Expr& a = Arg(e, 0);
      Sql x = arg(0);
      if (a.type.IsNumber()) x = Coerce(x, &a, a.type, SqlType::Of(TypeKind::DateTime));
      return Function(f, {x.text});
    }
    if (f == "LEN") return Function("LEN", {asText(0).text});
    if (f == "CHARINDEX") {
      std::vector<std::string> args{asText(0).text, asText(1).text};
      if (e.args.size() > 2) args.push_back(asInteger(2).text);
      return Function("tsql_charindex", args);
    }
    if (f == "ABS") return Function("abs", {Coerce(arg(0), &Arg(e, 0), Arg(e, 0).type, e.type).text});
    if (f == "ROUND") {
      std::vector<std::string> args{Coerce(arg(0), &Arg(e, 0), Arg(e, 0).type, e.type).text, asInteger(1).text};
      if (e.args.size() > 2) args.push_back(asInteger(2).text);
      return Function("tsql_round", args);
    }
    if (f == "UPPER") return Function("tsql_upper", {asText(0).text});
    if (f == "LOWER") return Function("tsql_lower", {asText(0).text});
    if (f == "LTRIM") return Function("ltrim", {asText(0).text, "' '"});
    if (f == "RTRIM") return Function("rtrim", {asText(0).text, "' '"});
    if (f == "SUBSTRING") return Function("tsql_substring", {asText(0).text, asInteger(1).text, asInteger(2).text});
    if (f == "LEFT") return Function("tsql_left", {asText(0).text, asInteger(1).text});
    if (f == "RIGHT") return Function("tsql_right", {asText(0).text, asInteger(1).text});
    if (f == "REPLACE") return Function("tsql_replace", {asText(0).text, asText(1).text, asText(2).text});
    if (f == "OBJECT_ID") return EmitObjectId(e);
    throw Untranslatable("function " + f);
  }

  Sql EmitObjectId(const Expr& e) {
    const std::string text = ConstantOf(e.args[0].get())->text;
    Name parts;
    size_t at = 0;
    while (true) {
      const size_t dot = text.find('.', at);
      parts.push_back(text.substr(at, dot == std::string::npos ? std::string::npos : dot - at));
      if (dot == std::string::npos) break;
      at = dot + 1;
    }
    for (std::string& part : parts) {
      if (part.size() >= 2 && part.front() == '[' && part.back() == ']') part = part.substr(1, part.size() - 2);
    }
    const TableName table = ResolveTableName(parts);
    std::string types = "'table', 'view'";
    if (e.args.size() > 1) {
      const std::string kind = Upper(ConstantOf(e.args[1].get())->text);
      if (kind == "U") {
        types = "'table'";
      } else if (kind == "V") {
        types = "'view'";
      } else {
        throw Untranslatable("OBJECT_ID of object type '" + kind + "'");
      }
    }
    // Temporary objects get negative numbers, as on the server.
    if (table.temporary) {
      return Atom("(SELECT -rowid FROM temp.sqlite_master WHERE type IN (" + types + ") AND name = " +
                  Quote(table.name) + " COLLATE NOCASE)");
    }
    return Atom("(SELECT rowid FROM main.sqlite_master WHERE type IN (" + types + ") AND name = " + Quote(table.name) +
                " COLLATE NOCASE)");
  }

  // --- correlated aggregate sub-queries of grouped queries ------------------------
  // A grouped query that computes, for every group, an aggregate over the
  // rows of another query that equal the group on some keys would run that
  // aggregate once per group. It is rewritten as one aggregate of the inner
  // rows grouped by those keys, outer-joined on them: the same values (no
  // inner row is a Null key match, and an aggregate over no rows is Null,
  // as the join's missing row is), computed in one pass. Filters of the
  // outer query on a key column are applied to the inner rows as well,
  // since only inner rows equal to a surviving outer row can matter; so are
  // the conditions of the CASE branch that holds the sub-query, since its
  // value is read only where they hold. A sub-query evaluated only on a
  // condition that filters no key (an ELSE branch, the fallback of ISNULL)
  // stays correlated: it is usually cheaper as it is.
  struct Candidate {
    const Expr* subquery;
    std::vector<const Expr*> guards;  // conditions under which its value is read
  };

  std::vector<std::string> Decorrelate(const SelectCore& c) {
    std::vector<std::string> joins;
    if (c.from.empty() || c.groupBy.empty()) return joins;
    std::vector<Candidate> candidates;
    for (const SelectItem& item : c.items) FindCandidates(*item.expr, true, {}, candidates);
    if (c.having) FindCandidates(*c.having, true, {}, candidates);
    // Sub-queries that aggregate the same rows under the same keys (two
    // sums of one correction, say) share one aggregate: one pass over the
    // inner rows gives all their values.
    struct Shared {
      Aggregate aggregate;
      std::vector<Source*> inner;
      std::vector<std::string> values;
      std::string alias;
    };
    std::vector<Shared> shared;
    for (const Candidate& candidate : candidates) {
      std::optional<Aggregate> a = DecorrelateOne(candidate, c);
      if (!a) continue;
      const std::vector<Source*> inner = InnerSources(*candidate.subquery);
      std::string column;
      for (Shared& s : shared) {
        if (s.inner.size() != inner.size()) continue;
        std::optional<Aggregate> same;
        {
          // Written as if its rows had the names of the first one's.
          AliasSwap swap(inner, s.inner);
          same = DecorrelateOne(candidate, c);
        }
        if (!same || same->key != s.aggregate.key || same->rest != s.aggregate.rest ||
            same->outerKey != s.aggregate.outerKey) {
          continue;
        }
        s.values.push_back(same->value);
        column = s.alias + "._v" + std::to_string(s.values.size());
        break;
      }
      if (column.empty()) {
        Shared s{*a, inner, {a->value}, "_sq" + std::to_string(++joined_)};
        column = s.alias + "._v";
        shared.push_back(std::move(s));
      }
      decorrelated_[candidate.subquery] = a->count ? "coalesce(" + column + ", 0)" : column;
    }
    for (const Shared& s : shared) {
      std::string values;
      for (size_t i = 0; i < s.values.size(); ++i) {
        values += ", " + s.values[i] + " AS _v" + (i ? std::to_string(i + 1) : std::string());
      }
      joins.push_back("LEFT JOIN (SELECT " + s.aggregate.key + values + s.aggregate.rest + ") AS " + s.alias + " ON " +
                      s.alias + "._key = " + s.aggregate.outerKey);
    }
    return joins;
  }

  // An aggregate that stands for a correlated sub-query: SELECT key, value
  // rest, joined on outerKey.
  struct Aggregate {
    std::string key;
    std::string value;
    std::string rest;
    std::string outerKey;
    bool count = false;
  };

  // The sources a sub-query's rows come from, those of the plain query it
  // reads from included.
  static std::vector<Source*> InnerSources(const Expr& sub) {
    std::vector<Source*> out;
    auto add = [&](const SelectCore& core) {
      for (const Source* source : core.sources) out.push_back(const_cast<Source*>(source));
    };
    const SelectCore& s = *sub.query->core;
    add(s);
    if (s.from.size() == 1 && s.from[0]->kind == TableRef::Kind::Derived && s.from[0]->query->core) {
      add(*s.from[0]->query->core);
    }
    return out;
  }

  // Gives each source of `from` the SQLite name of the source at the same
  // place in `to`, for as long as it lives.
  class AliasSwap {
   public:
    AliasSwap(const std::vector<Source*>& from, const std::vector<Source*>& to) : from_(from) {
      for (size_t i = 0; i < from.size(); ++i) {
        saved_.push_back(from[i]->alias);
        from[i]->alias = to[i]->alias;
      }
    }
    ~AliasSwap() {
      for (size_t i = 0; i < from_.size(); ++i) from_[i]->alias = saved_[i];
    }
    AliasSwap(const AliasSwap&) = delete;
    AliasSwap& operator=(const AliasSwap&) = delete;

   private:
    std::vector<Source*> from_;
    std::vector<std::string> saved_;
  };

  // `always`: the value is read for every group; otherwise only where `guards` hold.
  static void FindCandidates(const Expr& e, bool always, const std::vector<const Expr*>& guards,
                             std::vector<Candidate>& out) {
    switch (e.kind) {
      case ExprKind::Subquery:
        if (always || !guards.empty()) out.push_back({&e, guards});
        return;
      case ExprKind::Case:
        if (e.caseOperand) FindCandidates(*e.caseOperand, always, guards, out);
        for (size_t i = 0; i < e.whens.size(); ++i) {
          FindCandidates(*e.whens[i].first, always && i == 0, guards, out);
          if (e.caseOperand) continue;  // CASE x WHEN v: no condition to pass on
          std::vector<const Expr*> branch = guards;
          Conjuncts(e.whens[i].first.get(), branch);
          FindCandidates(*e.whens[i].second, false, branch, out);
        }
        return;  // an ELSE branch holds nothing to filter by
      case ExprKind::Call:
        if (e.op == "ISNULL" || e.op == "COALESCE") {
          FindCandidates(*e.args[0], always, guards, out);
          return;
        }
        break;
      default: break;
    }
    for (const ExprPtr& a : e.args) FindCandidates(*a, always, guards, out);
  }

  // The sources an expression or query reads, sub-queries included.
  static void CollectRefs(const Expr& e, std::vector<const Source*>& out) {
    if (e.kind == ExprKind::Column && e.source) out.push_back(e.source);
    for (const ExprPtr& a : e.args) CollectRefs(*a, out);
    if (e.query) CollectRefs(*e.query, out);
    if (e.caseOperand) CollectRefs(*e.caseOperand, out);
    for (const auto& [when, then] : e.whens) {
      CollectRefs(*when, out);
      CollectRefs(*then, out);
    }
    if (e.elseExpr) CollectRefs(*e.elseExpr, out);
    for (const ExprPtr& p : e.partitionBy) CollectRefs(*p, out);
    for (const OrderItem& o : e.overOrder) CollectRefs(*o.expr, out);
  }

  static void CollectRefs(const Query& q, std::vector<const Source*>& out) {
    if (q.left) CollectRefs(*q.left, out);
    if (q.right) CollectRefs(*q.right, out);
    for (const OrderItem& o : q.orderBy) CollectRefs(*o.expr, out);
    if (!q.core) return;
    const SelectCore& c = *q.core;
    for (const SelectItem& item : c.items) CollectRefs(*item.expr, out);
    for (const TableRefPtr& t : c.from) CollectRefs(*t, out);
    if (c.where) CollectRefs(*c.where, out);
    for (const ExprPtr& g : c.groupBy) CollectRefs(*g, out);
    if (c.having) CollectRefs(*c.having, out);
  }

  static void CollectRefs(const TableRef& t, std::vector<const Source*>& out) {
    if (t.query) CollectRefs(*t.query, out);
    for (const ExprPtr& a : t.args) CollectRefs(*a, out);
    if (t.left) CollectRefs(*t.left, out);
    if (t.right) CollectRefs(*t.right, out);
    if (t.on) CollectRefs(*t.on, out);
  }

  static void Conjuncts(const Expr* e, std::vector<const Expr*>& out) {
    if (!e) return;
    if (e->kind == ExprKind::And) {
      Conjuncts(e->args[0].get(), out);
      Conjuncts(e->args[1].get(), out);
      return;
    }
    out.push_back(e);
  }

  // Null for an aggregate over no rows, as an unmatched outer join gives.
  static bool NullOnEmpty(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Call:
        return IsAggregate(e.op) && e.op != "COUNT" && e.op != "COUNT_BIG" && !e.hasOver;
      case ExprKind::Unary:
      case ExprKind::Cast: return NullOnEmpty(Arg(e, 0));
      case ExprKind::Binary: {
        const bool a = NullOnEmpty(Arg(e, 0)), b = NullOnEmpty(Arg(e, 1));
        auto constant = [](const Expr& x) { return ConstantOf(&x).has_value(); };
        return (a || b) && (a || constant(Arg(e, 0))) && (b || constant(Arg(e, 1)));
      }
      default: return false;
    }
  }

  std::optional<Aggregate> DecorrelateOne(const Candidate& candidate, const SelectCore& outer) {
    const Expr& sub = *candidate.subquery;
    const Query& q = *sub.query;
    if (!q.core || !q.orderBy.empty() || q.outputs.size() != 1) return std::nullopt;
    const SelectCore& s = *q.core;
    if (s.distinct || s.top || !s.groupBy.empty() || s.having || !s.hasAggregate || s.from.empty()) {
      return std::nullopt;
    }
    const Expr& value = *s.items[0].expr;
    const bool count = value.kind == ExprKind::Call && (value.op == "COUNT" || value.op == "COUNT_BIG");
    if (!count && !NullOnEmpty(value)) return std::nullopt;
    // The correlated conditions live in the sub-query's WHERE, or in the
    // WHERE of the plain query it reads from (SELECT SUM(R.X) FROM (SELECT ... WHERE ...) R).
    const SelectCore* k = &s;
    const Source* derived = nullptr;
    if (s.from.size() == 1 && s.from[0]->kind == TableRef::Kind::Derived && !s.where) {
      const Query& r = *s.from[0]->query;
      if (!r.core || !r.orderBy.empty()) return std::nullopt;
      const SelectCore& rc = *r.core;
      if (rc.hasAggregate || rc.distinct || rc.top || !rc.groupBy.empty() || rc.having) return std::nullopt;
      k = &rc;
      derived = s.from[0]->source;
    }
    auto among = [](const std::vector<const Source*>& set, const Source* src) {
      return std::find(set.begin(), set.end(), src) != set.end();
    };
    auto reads = [&](const std::vector<const Source*>& refs, const std::vector<const Source*>& set) {
      return std::any_of(refs.begin(), refs.end(), [&](const Source* src) { return among(set, src); });
    };
    auto only = [&](const std::vector<const Source*>& refs, const std::vector<const Source*>& set) {
      return !refs.empty() && std::all_of(refs.begin(), refs.end(), [&](const Source* src) { return among(set, src); });
    };
    // Nothing but the WHERE conditions may read the outer query.
    std::vector<const Source*> refs;
    CollectRefs(value, refs);
    for (const SelectItem& item : k->items) CollectRefs(*item.expr, refs);
    for (const TableRefPtr& t : k->from) CollectRefs(*t, refs);
    if (reads(refs, outer.sources)) return std::nullopt;

    struct Key {
      const Expr* inner;
      const Expr* outer;
    };
    std::vector<Key> keys;
    std::vector<const Expr*> conditions;
    Conjuncts(k->where.get(), conditions);
    std::vector<std::string> filters;
    for (const Expr* c : conditions) {
      std::vector<const Source*> r;
      CollectRefs(*c, r);
      if (!reads(r, outer.sources)) {
        filters.push_back(Wrap(EmitWhere(*c), kPrecAnd + 1));
        continue;
      }
      if (c->kind != ExprKind::Compare || c->op != "=") return std::nullopt;
      std::vector<const Source*> a, b;
      CollectRefs(Arg(*c, 0), a);
      CollectRefs(Arg(*c, 1), b);
      if (only(a, k->sources) && only(b, outer.sources)) {
        keys.push_back({&Arg(*c, 0), &Arg(*c, 1)});
      } else if (only(b, k->sources) && only(a, outer.sources)) {
        keys.push_back({&Arg(*c, 1), &Arg(*c, 0)});
      } else {
        return std::nullopt;
      }
    }
    if (keys.empty()) return std::nullopt;

    // Outer filters and branch conditions on a key column, applied to the inner rows.
    std::vector<const Expr*> outerConditions;
    Conjuncts(outer.where.get(), outerConditions);
    const size_t firstGuard = outerConditions.size();
    outerConditions.insert(outerConditions.end(), candidate.guards.begin(), candidate.guards.end());
    bool guarded = candidate.guards.empty();
    for (size_t n = 0; n < outerConditions.size(); ++n) {
      const Expr* p = outerConditions[n];
      const bool shape = (p->kind == ExprKind::Compare && ConstantOf(&Arg(*p, 1))) ||
                         (p->kind == ExprKind::InList || p->kind == ExprKind::Between);
      if (!shape || Arg(*p, 0).kind != ExprKind::Column) continue;
      bool constants = true;
      for (size_t i = 1; i < p->args.size(); ++i) constants = constants && ConstantOf(&Arg(*p, i)).has_value();
      if (!constants) continue;
      const Expr& column = Arg(*p, 0);
      for (const Key& key : keys) {
        if (key.outer->kind != ExprKind::Column || key.inner->kind != ExprKind::Column) continue;
        if (key.outer->source != column.source || key.outer->column != column.column) continue;
        if (key.inner->type.family() != column.type.family() || column.type.IsUnknown()) continue;
        const Sql inner = EmitExpr(*key.inner);
        Sql pushed;
        if (p->kind == ExprKind::Compare) {
          pushed = Comparison(p->op, inner, key.inner, key.inner->type, EmitExpr(Arg(*p, 1)), &Arg(*p, 1),
                              Arg(*p, 1).type);
        } else if (p->kind == ExprKind::InList) {
          pushed = InListSql(inner, key.inner, key.inner->type, *p);
        } else {
          pushed = BetweenSql(inner, key.inner, key.inner->type, *p);
        }
        filters.push_back(Wrap(pushed, kPrecAnd + 1));
        if (n >= firstGuard) guarded = true;
        break;
      }
    }
    // A sub-query read only on some condition is worth an aggregate of its
    // own only when that condition narrows the inner rows.
    if (!guarded) return std::nullopt;

    // The keys meet as one value (tsql_key), a single-column join that SQLite indexes.
    // The aggregate groups on its join key: rows with equal keys are one
    // group, and rows whose key is null (one term null) look nothing up.
    std::vector<std::string> keyColumns, innerKeys, outerKeys;
    for (size_t i = 0; i < keys.size(); ++i) {
      const Key& key = keys[i];
      const SqlType t = ComparisonType(key.inner->type, key.outer->type);
      const Sql in = Coerce(EmitExpr(*key.inner), key.inner, key.inner->type, t);
      const Sql out = Coerce(EmitExpr(*key.outer), key.outer, key.outer->type, t);
      const std::string name = "_k" + std::to_string(i + 1);
      if (derived) {
        keyColumns.push_back(in.text + " AS " + name);
        innerKeys.push_back(Ident(derived->alias) + "." + name);
      } else {
        innerKeys.push_back(in.text);
      }
      outerKeys.push_back(out.text);
    }
    auto join = [](const std::vector<std::string>& parts, const char* separator) {
      std::string text;
      for (size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
      return text;
    };
    std::vector<std::string> from;
    for (const TableRefPtr& t : k->from) from.push_back(EmitTableRef(*t));
    std::string body = " FROM " + join(from, ", ");
    if (!filters.empty()) body += " WHERE " + join(filters, " AND ");
    Aggregate aggregate;
    aggregate.key = Function("tsql_key", innerKeys).text + " AS _key";
    aggregate.value = EmitExpr(value).text;
    aggregate.outerKey = Function("tsql_key", outerKeys).text;
    if (!candidate.guards.empty()) {
      // The value is read only where the guards hold: other rows need no
      // key, and a null key looks nothing up.
      std::vector<std::string> guards;
      for (const Expr* g : candidate.guards) guards.push_back(Wrap(EmitExpr(*g), kPrecAnd + 1));
      aggregate.outerKey = "CASE WHEN " + join(guards, " AND ") + " THEN " + aggregate.outerKey + " END";
    }
    aggregate.count = count;
    if (derived) {
      std::vector<std::string> items;
      for (size_t i = 0; i < k->items.size(); ++i) {
        items.push_back(EmitExpr(*k->items[i].expr).text + " AS " + Ident(derived->columns[i].name));
      }
      aggregate.rest = " FROM (SELECT " + join(items, ", ") + ", " + join(keyColumns, ", ") + body + ") AS " +
                       Ident(derived->alias) + " GROUP BY _key";
    } else {
      aggregate.rest = body + " GROUP BY _key";
    }
    return aggregate;
  }

  Catalog& catalog_;
  std::deque<Source> sources_;
  std::map<const Expr*, std::string> decorrelated_;
  int joined_ = 0;
};

Translation Translate(Statement& statement, Catalog& catalog) { return Translator(catalog).TranslateStatement(statement); }

std::string TranslateCondition(Expr& condition, Catalog& catalog) { return Translator(catalog).Condition(condition); }

}  // namespace zelmora::tsql
