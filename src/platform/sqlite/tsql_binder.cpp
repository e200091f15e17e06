// Binding: every name of a statement to a table source and a column, the
// server's type of every expression, and the checks the server makes on
// names, column counts and types before it runs anything.
#include <algorithm>
#include <cstdlib>

#include "platform/sqlite/tsql_lexer.h"
#include "platform/sqlite/tsql_translate_internal.h"
#include "platform/text_util.h"

namespace zelmora::tsql {

namespace {

Error OneColumnError() {
  return Error(116, "Only one expression can be specified in the select list when the subquery is not "
                    "introduced with EXISTS.");
}

void RequireArguments(const Expr& e, size_t low, size_t high) {
  if (e.args.size() < low || e.args.size() > high) {
    throw Error(174, "The " + Upper(e.op) + " function requires " + std::to_string(low) + " argument(s).");
  }
}

}  // namespace

// --- statements ---------------------------------------------------------------
BoundStatement Binder::BindStatement(Statement& s) {
  BoundStatement b;
  switch (s.kind) {
    case Statement::Kind::Select: BindSelect(s, b); return b;
    case Statement::Kind::Insert: BindInsert(s, b); return b;
    case Statement::Kind::Update: BindUpdate(s, b); return b;
    case Statement::Kind::Delete: BindDelete(s, b); return b;
    case Statement::Kind::DropTable: BindDrop(s, b); return b;
    case Statement::Kind::CreateTable: BindCreate(s, b); return b;
    case Statement::Kind::If:
    case Statement::Kind::Block: break;
  }
  throw Error(kUntranslatable, "IF and BEGIN ... END run statement by statement");
}

void Binder::BindCondition(Expr& e) {
  Scope scope;
  BindExpr(e, scope);
}

void Binder::RejectInto(Query& q, bool allowed) {
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

void Binder::BindSelect(Statement& s, BoundStatement& b) {
  Query& q = *s.query;
  RejectInto(q, true);
  Name into = Leftmost(q).into;
  BindQuery(q, nullptr);
  if (into.empty()) return;
  b.into = true;
  b.table = ResolveTableName(into);
  if (catalog_.Columns(b.table.name, b.table.temporary)) {
    throw Error(2714, "There is already an object named '" + b.table.name + "' in the database.");
  }
  for (size_t i = 0; i < q.outputs.size(); ++i) {
    const OutputColumn& c = q.outputs[i];
    if (c.name.empty()) {
      throw Error(1038, "An object or column name is missing or empty. For SELECT INTO statements, verify each "
                        "column has a name.");
    }
    for (size_t j = 0; j < i; ++j) {
      if (EqualsIgnoreCase(q.outputs[j].name, c.name)) {
        throw Error(2705, "Column names in each table must be unique. Column name '" + c.name + "' in table '" +
                              b.table.name + "' is specified more than once.");
      }
    }
  }
}

std::vector<ColumnInfo> Binder::TableColumns(const TableName& t, const Name& written) {
  std::optional<std::vector<ColumnInfo>> columns = catalog_.Columns(t.name, t.temporary);
  if (!columns) throw Error(208, "Invalid object name '" + JoinName(written) + "'.");
  return *columns;
}

void Binder::BindInsert(Statement& s, BoundStatement& b) {
  b.table = ResolveTableName(s.target);
  const std::vector<ColumnInfo> columns = TableColumns(b.table, s.target);
  if (s.columns.empty()) {
    for (const ColumnInfo& c : columns) b.types.push_back(c.type);
  } else {
    std::string list;
    for (const std::string& name : s.columns) {
      auto it = std::find_if(columns.begin(), columns.end(),
                             [&](const ColumnInfo& c) { return EqualsIgnoreCase(c.name, name); });
      if (it == columns.end()) throw Error(207, "Invalid column name '" + name + "'.");
      b.types.push_back(it->type);
      list += (list.empty() ? "" : ", ") + Ident(it->name);
    }
    b.columnList = " (" + list + ")";
  }
  auto mismatch = [] {
    return Error(213, "Column name or number of supplied values does not match table definition.");
  };
  if (s.query) {
    RejectInto(*s.query, false);
    BindQuery(*s.query, nullptr);
    if (s.query->outputs.size() != b.types.size()) throw mismatch();
    return;
  }
  for (std::vector<ExprPtr>& row : s.values) {
    if (row.size() != b.types.size()) throw mismatch();
    for (ExprPtr& value : row) {
      Scope scope;
      BindExpr(*value, scope);
    }
  }
}

void Binder::BindUpdate(Statement& s, BoundStatement& b) {
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
  b.targetInFrom = target != nullptr;
  if (!target) {
    const TableName table = ResolveTableName(s.target);
    target = NewSource(Source::Kind::Table, table.name);
    target->tableSql = TableSql(table);
    target->tableName = table.name;
    target->columns = TableColumns(table, s.target);
    scope.sources.insert(scope.sources.begin(), target);
  }
  b.target = target;
  for (auto& [column, value] : s.assignments) {
    const std::string& name = column.back();
    auto it = std::find_if(target->columns.begin(), target->columns.end(),
                           [&](const ColumnInfo& c) { return EqualsIgnoreCase(c.name, name); });
    if (it == target->columns.end()) throw Error(207, "Invalid column name '" + name + "'.");
    BindExpr(*value, scope);
    b.assigned.push_back(*it);
  }
  if (s.where) BindExpr(*s.where, scope);
  if (!b.targetInFrom) return;
  // The updated table must leave the FROM list as one of its inner joins
  // (the emitter moves their conditions to the WHERE).
  bool found = false;
  for (TableRefPtr& ref : s.from) {
    if (!ContainsSource(*ref, target)) continue;
    std::vector<TableRef*> leaves;
    std::vector<Expr*> ons;
    if (!FlattenInner(*ref, leaves, ons)) {
      throw Untranslatable("UPDATE ... FROM where the updated table is in an outer join or APPLY");
    }
    found = true;
  }
  if (!found) throw Untranslatable("UPDATE ... FROM");
}

void Binder::BindDelete(Statement& s, BoundStatement& b) {
  const TableName table = ResolveTableName(s.target);
  Scope scope;
  Source* target = NewSource(Source::Kind::Table, table.name);
  target->tableSql = TableSql(table);
  target->tableName = table.name;
  target->columns = TableColumns(table, s.target);
  scope.sources.push_back(target);
  b.target = target;
  if (s.where) BindExpr(*s.where, scope);
}

void Binder::BindDrop(Statement& s, BoundStatement& b) {
  for (const Name& name : s.dropNames) {
    const TableName table = ResolveTableName(name);
    if (!catalog_.Columns(table.name, table.temporary)) {
      if (s.ifExists) continue;
      throw Error(3701, "Cannot drop the table '" + JoinName(name) +
                            "', because it does not exist or you do not have permission.");
    }
    b.drops.push_back(table);
  }
}

void Binder::BindCreate(Statement& s, BoundStatement& b) {
  b.table = ResolveTableName(s.target);
  if (catalog_.Columns(b.table.name, b.table.temporary)) {
    throw Error(2714, "There is already an object named '" + b.table.name + "' in the database.");
  }
  for (size_t i = 0; i < s.definitions.size(); ++i) {
    const ColumnDefinition& d = s.definitions[i];
    const SqlType type = TypeFromName(d.type.name, d.type.first, d.type.second, false);
    if (type.IsUnknown()) {
      throw Error(2715, "Column, parameter, or variable #" + std::to_string(i + 1) + ": Cannot find data type " +
                            d.type.name + ".");
    }
    b.types.push_back(type);
  }
}

// --- queries and expressions ----------------------------------------------------
Source* Binder::NewSource(Source::Kind kind, std::string exposed) {
  std::string alias = exposed;
  for (int n = 2; AliasTaken(alias); ++n) alias = exposed + "_" + std::to_string(n);
  Source s;
  s.kind = kind;
  s.exposed = std::move(exposed);
  s.alias = std::move(alias);
  sources_.push_back(std::move(s));
  return &sources_.back();
}

bool Binder::AliasTaken(const std::string& alias) const {
  return std::any_of(sources_.begin(), sources_.end(),
                     [&](const Source& s) { return EqualsIgnoreCase(s.alias, alias); });
}

void Binder::BindQuery(Query& q, Scope* outer) {
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

void Binder::BindCore(SelectCore& c, Scope& scope, std::vector<OutputColumn>& outputs) {
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

void Binder::BindOrderBy(Query& q, Scope* scope) {
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

void Binder::BindTableRef(TableRef& t, Scope& scope) {
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

void Binder::BindFunction(TableRef& t, Scope& scope) {
  if (t.name.size() > 2 || (t.name.size() == 2 && !EqualsIgnoreCase(t.name[0], "dbo"))) {
    throw Untranslatable("table-valued function " + JoinName(t.name));
  }
  const std::string name = Upper(t.name.back());
  const TableFunction* fn = FindTableFunction(name);
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

void Binder::BindColumn(Expr& e, Scope& scope) {
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

void Binder::BindSubquery(Query& q, Scope& scope) {
  RejectInto(q, false);
  if (!Leftmost(q).into.empty()) throw Error(102, "Incorrect syntax near 'INTO'.");
  BindQuery(q, &scope);
}

void Binder::BindExpr(Expr& e, Scope& scope) {
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

void Binder::BindCall(Expr& e, Scope& scope) {
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

}  // namespace zelmora::tsql
