// Emission: the SQLite text of a bound statement. Every conversion the
// server makes implicitly is written out, text is compared under the TSQL
// collation, and the rewrites chosen for the statement are written in.
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>

#include "platform/sqlite/tsql_lexer.h"
#include "platform/sqlite/tsql_text.h"
#include "platform/sqlite/tsql_translate_internal.h"
#include "platform/text_util.h"

namespace zelmora::tsql {

namespace {

class Emitter {
 public:
  explicit Emitter(const RewritePlan& plan) : plan_(plan) {}

  Translation Statement(const tsql::Statement& s, const BoundStatement& b) {
    switch (s.kind) {
      case Statement::Kind::Select: return SelectStatement(s, b);
      case Statement::Kind::Insert: return InsertStatement(s, b);
      case Statement::Kind::Update: return UpdateStatement(s, b);
      case Statement::Kind::Delete: return DeleteStatement(s, b);
      case Statement::Kind::DropTable: return DropStatement(b);
      case Statement::Kind::CreateTable: return CreateStatement(s, b);
      case Statement::Kind::If:
      case Statement::Kind::Block: break;
    }
    throw Error(kUntranslatable, "IF and BEGIN ... END run statement by statement");
  }

  std::string Condition(const Expr& e) { return "SELECT CASE WHEN " + EmitExpr(e).text + " THEN 1 ELSE 0 END"; }

 private:
  // --- statements -------------------------------------------------------------
  Translation SelectStatement(const tsql::Statement& s, const BoundStatement& b) {
    const Query& q = *s.query;
    Translation t;
    if (!b.into) {
      t.steps.push_back(EmitQuery(q, nullptr, nullptr, false));
      t.returnsRows = true;
      for (const OutputColumn& c : q.outputs) t.columns.push_back({c.name, c.type});
      return t;
    }
    std::string create =
        std::string("CREATE ") + (b.table.temporary ? "TEMP " : "") + "TABLE " + Ident(b.table.name) + " (";
    for (size_t i = 0; i < q.outputs.size(); ++i) {
      const OutputColumn& c = q.outputs[i];
      create += (i ? ", " : "") + ColumnDeclaration(c.name, c.type, false, false);
    }
    create += ")";
    t.steps.push_back(create);
    t.steps.push_back("INSERT INTO " + TableSql(b.table) + " " + EmitQuery(q, nullptr, nullptr, false));
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

  Translation InsertStatement(const tsql::Statement& s, const BoundStatement& b) {
    std::string text = "INSERT INTO " + TableSql(b.table) + b.columnList + " ";
    if (s.query) {
      text += EmitQuery(*s.query, &b.types, nullptr, false);
    } else {
      text += "VALUES ";
      for (size_t r = 0; r < s.values.size(); ++r) {
        const std::vector<ExprPtr>& row = s.values[r];
        text += r ? ", (" : "(";
        for (size_t i = 0; i < row.size(); ++i) {
          text += (i ? ", " : "") + Coerce(EmitExpr(*row[i]), row[i].get(), row[i]->type, b.types[i]).text;
        }
        text += ")";
      }
    }
    Translation t;
    t.steps.push_back(text);
    return t;
  }

  Translation UpdateStatement(const tsql::Statement& s, const BoundStatement& b) {
    const Source* target = b.target;
    std::string sets;
    for (size_t i = 0; i < s.assignments.size(); ++i) {
      const Expr& value = *s.assignments[i].second;
      const ColumnInfo& column = b.assigned[i];
      sets += (sets.empty() ? "" : ", ") + Ident(column.name) + " = " +
              Coerce(EmitExpr(value), &value, value.type, column.type).text;
    }
    std::string text = "UPDATE " + TableWithAlias(*target) + " SET " + sets;
    std::vector<std::string> conditions;
    if (b.targetInFrom) {
      // The updated table leaves the FROM list; the inner joins around it
      // become a list of tables whose join conditions move to the WHERE.
      std::vector<std::string> others;
      for (const TableRefPtr& ref : s.from) {
        if (!ContainsSource(*ref, target)) {
          others.push_back(EmitTableRef(*ref));
          continue;
        }
        std::vector<TableRef*> leaves;
        std::vector<Expr*> ons;
        FlattenInner(*ref, leaves, ons);
        for (TableRef* leaf : leaves) {
          if (leaf->source != target) others.push_back(EmitTableRef(*leaf));
        }
        for (Expr* on : ons) conditions.push_back(Wrap(EmitExpr(*on), kPrecAnd + 1));
      }
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

  Translation DeleteStatement(const tsql::Statement& s, const BoundStatement& b) {
    std::string text = "DELETE FROM " + TableWithAlias(*b.target);
    if (s.where) text += " WHERE " + EmitExpr(*s.where).text;
    Translation t;
    t.steps.push_back(text);
    return t;
  }

  static Translation DropStatement(const BoundStatement& b) {
    Translation t;
    for (const TableName& table : b.drops) t.steps.push_back("DROP TABLE " + TableSql(table));
    return t;
  }

  static Translation CreateStatement(const tsql::Statement& s, const BoundStatement& b) {
    std::string text =
        std::string("CREATE ") + (b.table.temporary ? "TEMP " : "") + "TABLE " + Ident(b.table.name) + " (";
    for (size_t i = 0; i < s.definitions.size(); ++i) {
      const ColumnDefinition& d = s.definitions[i];
      text += (i ? ", " : "") + ColumnDeclaration(d.name, b.types[i], d.notNull || d.primaryKey, d.primaryKey);
    }
    text += ")";
    Translation t;
    t.steps.push_back(text);
    return t;
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
    const std::vector<std::string> joins = JoinedAggregates(c);
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
    if (plan_.groupKeys.count(&c)) {
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

  // A WHERE condition: its conjuncts that the plan splits are written as
  // a range over the column OR (the column is Null AND a range over the
  // rest), anything else as EmitExpr writes it.
  Sql EmitWhere(const Expr& e) {
    if (e.kind == ExprKind::And) {
      return {Wrap(EmitWhere(Arg(e, 0)), kPrecAnd) + " AND " + Wrap(EmitWhere(Arg(e, 1)), kPrecAnd + 1), kPrecAnd};
    }
    if (plan_.splitRanges.count(&e)) return SplitRange(e);
    return EmitExpr(e);
  }

  // `e`, a range over ISNULL(column, ...) or COALESCE(column, ...) whose
  // column and call are compared without a conversion (the plan checked).
  Sql SplitRange(const Expr& e) {
    const Expr& call = Arg(e, 0);
    const Expr& first = Arg(call, 0);
    std::vector<std::string> others;
    for (size_t i = 1; i < call.args.size(); ++i) {
      const Expr& a = Arg(call, i);
      others.push_back(Coerce(EmitExpr(a), &a, a.type, call.type).text);
    }
    const Sql rest = others.size() > 1 ? Function("coalesce", others) : Sql{others[0], kPrecAtom};
    const Sql column = Atom(ColumnSql(*first.source, first.column));
    auto range = [&](const Sql& value) {
      if (e.kind == ExprKind::Between) return BetweenSql(value, &call, call.type, e);
      return Comparison(e.op, value, &call, call.type, EmitExpr(Arg(e, 1)), &Arg(e, 1), Arg(e, 1).type);
    };
    return {range(column).text + " OR (" + column.text + " IS NULL AND " + range(rest).text + ")", kPrecOr};
  }

  // value BETWEEN low AND high, and value IN (list), of the expression `e`
  // with its tested value given apart (a pushed filter and a split range test another one).
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

  // --- joined aggregates ----------------------------------------------------------
  // The LEFT JOINs of the aggregates the plan joins to a grouped query;
  // each member sub-query is then written as its column of the join.
  std::vector<std::string> JoinedAggregates(const SelectCore& c) {
    std::vector<std::string> joins;
    auto planned = plan_.joined.find(&c);
    if (planned == plan_.joined.end()) return joins;
    for (const JoinedAggregate& a : planned->second) {
      const std::string alias = "_sq" + std::to_string(++joined_);
      std::string values;
      for (size_t i = 0; i < a.members.size(); ++i) {
        const JoinedAggregate::Member& m = a.members[i];
        std::string value;
        {
          // Written as if its rows had the names of the first member's.
          AliasSwap swap(m.inner, a.inner);
          value = EmitExpr(*m.value).text;
        }
        const std::string suffix = i ? std::to_string(i + 1) : std::string();
        const std::string column = alias + "._v" + suffix;
        decorrelated_[m.subquery] = m.count ? "coalesce(" + column + ", 0)" : column;
        values += ", " + value + " AS _v" + suffix;
      }
      joins.push_back(JoinedAggregateSql(a, values, alias));
    }
    return joins;
  }

  std::string JoinedAggregateSql(const JoinedAggregate& a, const std::string& values, const std::string& alias) {
    std::vector<std::string> filters;
    for (const Expr* f : a.filters) filters.push_back(Wrap(EmitWhere(*f), kPrecAnd + 1));
    for (const JoinedAggregate::Pushed& p : a.pushed) {
      const Expr& condition = *p.condition;
      const Sql inner = EmitExpr(*p.inner);
      Sql pushed;
      if (condition.kind == ExprKind::Compare) {
        pushed = Comparison(condition.op, inner, p.inner, p.inner->type, EmitExpr(Arg(condition, 1)),
                            &Arg(condition, 1), Arg(condition, 1).type);
      } else if (condition.kind == ExprKind::InList) {
        pushed = InListSql(inner, p.inner, p.inner->type, condition);
      } else {
        pushed = BetweenSql(inner, p.inner, p.inner->type, condition);
      }
      filters.push_back(Wrap(pushed, kPrecAnd + 1));
    }
    // The keys meet as one value (tsql_key), a single-column join that SQLite indexes.
    // The aggregate groups on its join key: rows with equal keys are one
    // group, and rows whose key is null (one term null) look nothing up.
    std::vector<std::string> keyColumns, innerKeys, outerKeys;
    for (size_t i = 0; i < a.keys.size(); ++i) {
      const JoinedAggregate::Key& key = a.keys[i];
      const SqlType t = ComparisonType(key.inner->type, key.outer->type);
      const Sql in = Coerce(EmitExpr(*key.inner), key.inner, key.inner->type, t);
      const Sql out = Coerce(EmitExpr(*key.outer), key.outer, key.outer->type, t);
      const std::string name = "_k" + std::to_string(i + 1);
      if (a.derived) {
        keyColumns.push_back(in.text + " AS " + name);
        innerKeys.push_back(Ident(a.derived->alias) + "." + name);
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
    for (const TableRefPtr& t : a.rows->from) from.push_back(EmitTableRef(*t));
    std::string body = " FROM " + join(from, ", ");
    if (!filters.empty()) body += " WHERE " + join(filters, " AND ");
    std::string outerKey = Function("tsql_key", outerKeys).text;
    if (!a.guards.empty()) {
      // The value is read only where the guards hold: other rows need no
      // key, and a null key looks nothing up.
      std::vector<std::string> guards;
      for (const Expr* g : a.guards) guards.push_back(Wrap(EmitExpr(*g), kPrecAnd + 1));
      outerKey = "CASE WHEN " + join(guards, " AND ") + " THEN " + outerKey + " END";
    }
    std::string rest;
    if (a.derived) {
      std::vector<std::string> items;
      for (size_t i = 0; i < a.rows->items.size(); ++i) {
        items.push_back(EmitExpr(*a.rows->items[i].expr).text + " AS " + Ident(a.derived->columns[i].name));
      }
      rest = " FROM (SELECT " + join(items, ", ") + ", " + join(keyColumns, ", ") + body + ") AS " +
             Ident(a.derived->alias) + " GROUP BY _key";
    } else {
      rest = body + " GROUP BY _key";
    }
    return "LEFT JOIN (SELECT " + Function("tsql_key", innerKeys).text + " AS _key" + values + rest + ") AS " + alias +
           " ON " + alias + "._key = " + outerKey;
  }

  // Gives each source of `from` the SQLite name of the source at the same
  // place in `to`, for as long as it lives.
  class AliasSwap {
   public:
    AliasSwap(const std::vector<Source*>& from, const std::vector<Source*>& to) : from_(from) {
      for (size_t i = 0; i < from.size(); ++i) saved_.push_back(from[i]->alias);
      for (size_t i = 0; i < from.size(); ++i) from[i]->alias = to[i]->alias;
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

  const RewritePlan& plan_;
  // The text of each member sub-query of the joins written so far.
  std::map<const Expr*, std::string> decorrelated_;
  int joined_ = 0;  // joined aggregates written so far, for their names _sq1, _sq2, ...
};

}  // namespace

// Mirrors Coerce for a value that is not a constant: the cases where it
// returns its input.
bool ConversionKeepsText(const SqlType& from, const SqlType& to) {
  const Family ff = from.family();
  const Family tf = to.family();
  if (tf == Family::Unknown || tf == Family::Null || ff == Family::Null) return true;
  if (ff == Family::Unknown) return tf != Family::Date;
  switch (tf) {
    case Family::Number:
      if (ff != Family::Number) return false;
      if (to.kind == TypeKind::Bit && from.kind != TypeKind::Bit) return false;
      if (to.IsInteger() && !from.IsInteger()) return false;
      return !(to.kind == TypeKind::Decimal &&
               (from.kind == TypeKind::Float || from.kind == TypeKind::Real ||
                (from.kind == TypeKind::Decimal && from.scale > to.scale)));
    case Family::Text:
      if (ff != Family::Text) return false;
      return !(to.length != SqlType::kMaxLength && (from.length == SqlType::kMaxLength || from.length > to.length));
    case Family::Date: return ff == Family::Date;
    default: return true;
  }
}

Translation EmitStatement(const Statement& statement, const BoundStatement& bound, const RewritePlan& plan) {
  return Emitter(plan).Statement(statement, bound);
}

std::string EmitCondition(const Expr& condition, const RewritePlan& plan) { return Emitter(plan).Condition(condition); }

}  // namespace zelmora::tsql
