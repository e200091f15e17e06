// What the stages of the T-SQL translator share, and nothing outside
// platform/sqlite includes. A statement goes through three stages:
//   binding (tsql_binder.cpp): names to table sources and columns, the
//     server's type of every expression, the checks the server makes;
//   rewrites (tsql_rewrites.cpp): passes over the bound tree that choose
//     cheaper SQLite forms of the same rows, recorded in a RewritePlan;
//   emission (tsql_emitter.cpp): the SQLite text of the bound tree, written
//     as the plan says.
// tsql_translator.cpp runs them in that order.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/sqlite/tsql_ast.h"
#include "platform/sqlite/tsql_translator.h"
#include "platform/sqlite/tsql_types.h"

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

// The sources a name may be bound to: those of one query, then those of
// the queries around it.
struct Scope {
  Scope* parent = nullptr;
  std::vector<Source*> sources;
  SelectCore* core = nullptr;
};

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

std::string Wrap(const Sql& s, int minimum);
Sql Atom(std::string text);
Sql Function(std::string_view name, const std::vector<std::string>& args);
Sql Collate(const Sql& s);
// Text (and values of unknown type, which may be text) compare under the
// server's collation.
bool NeedsCollation(const SqlType& t);
std::string Ident(const std::string& name);
std::string Quote(std::string_view text);
std::string Upper(std::string text);
std::string JoinName(const Name& name);

struct TableName {
  std::string name;
  bool temporary = false;
};

// T, DBO.T, tempdb..#T, tempdb.dbo.#T. Other databases and schemas are
// not reachable from the SQLite file.
TableName ResolveTableName(const Name& parts);
std::string TableSql(const TableName& t);

// A constant as written: a number (possibly negative), a text or NULL.
struct Constant {
  enum class Kind { Number, Text, Null } kind = Kind::Null;
  LiteralKind literal = LiteralKind::Null;
  std::string text;
};

std::optional<Constant> ConstantOf(const Expr* e);
// The text the server gives a number constant converted to VARCHAR.
std::string NumberConstantText(const Constant& c);
SqlType LiteralType(const Expr& e);
Error ConversionError(const Constant& c, const SqlType& to);
// The most characters a number of the type takes as text.
int LongestText(const SqlType& t);
bool FitsInteger(int64_t v, TypeKind kind);
// The common type of two sides of a comparison. A value of unknown type
// meeting a date is read as a date.
SqlType ComparisonType(const SqlType& a, const SqlType& b);
bool IsConcatenation(const SqlType& a, const SqlType& b);
bool IsAggregate(const std::string& name);
bool IsRanking(const std::string& name);

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
const TableFunction* FindTableFunction(const std::string& upperName);

inline Expr& Arg(const Expr& e, size_t i) { return *e.args[i]; }

// The core of a query's leftmost SELECT.
SelectCore& Leftmost(Query& q);

// What binding decided about a statement besides what it wrote into the
// tree's nodes: the target and the columns it writes.
struct BoundStatement {
  TableName table;                   // Select INTO, Insert, CreateTable
  bool into = false;                 // Select: a SELECT INTO
  std::vector<SqlType> types;        // Insert, CreateTable: the type of each column written
  std::string columnList;            // Insert: " (A, B)", or "" for every column
  Source* target = nullptr;          // Update, Delete: the table written
  bool targetInFrom = false;         // Update: the target is a source of the FROM
  std::vector<ColumnInfo> assigned;  // Update: the column of each assignment
  std::vector<TableName> drops;      // DropTable: the tables that exist
};

// Binds the nodes of a statement in place. The sources it creates live in
// `sources` (a deque: they never move).
class Binder {
 public:
  Binder(Catalog& catalog, std::deque<Source>& sources) : catalog_(catalog), sources_(sources) {}

  BoundStatement BindStatement(Statement& s);
  void BindCondition(Expr& e);

 private:
  void RejectInto(Query& q, bool allowed);
  void BindSelect(Statement& s, BoundStatement& b);
  void BindInsert(Statement& s, BoundStatement& b);
  void BindUpdate(Statement& s, BoundStatement& b);
  void BindDelete(Statement& s, BoundStatement& b);
  void BindDrop(Statement& s, BoundStatement& b);
  void BindCreate(Statement& s, BoundStatement& b);
  std::vector<ColumnInfo> TableColumns(const TableName& t, const Name& written);
  Source* NewSource(Source::Kind kind, std::string exposed);
  bool AliasTaken(const std::string& alias) const;
  void BindQuery(Query& q, Scope* outer);
  void BindCore(SelectCore& c, Scope& scope, std::vector<OutputColumn>& outputs);
  void BindOrderBy(Query& q, Scope* scope);
  void BindTableRef(TableRef& t, Scope& scope);
  void BindFunction(TableRef& t, Scope& scope);
  void BindColumn(Expr& e, Scope& scope);
  void BindSubquery(Query& q, Scope& scope);
  void BindExpr(Expr& e, Scope& scope);
  void BindCall(Expr& e, Scope& scope);

  Catalog& catalog_;
  std::deque<Source>& sources_;
};

// Inner joins and their conditions, leaves in order; false when the tree
// holds an outer join or an APPLY.
bool FlattenInner(TableRef& t, std::vector<TableRef*>& leaves, std::vector<Expr*>& conditions);
bool ContainsSource(const TableRef& t, const Source* source);

// A correlated aggregate sub-query of a grouped query (or several that
// aggregate the same rows under the same keys), computed once for every
// key as an aggregate of the inner rows grouped by the keys and joined to
// the outer rows on them. The emitter writes
//   LEFT JOIN (SELECT tsql_key(inner keys) AS _key, value AS _v, ...
//              FROM rows' FROM WHERE filters AND pushed GROUP BY _key)
//   ON _key = [CASE WHEN guards THEN] tsql_key(outer keys) [END]
// and each member sub-query as its column of that join.
struct JoinedAggregate {
  struct Key {
    const Expr* inner;  // reads only the inner rows
    const Expr* outer;  // reads only the outer rows
  };
  // A condition of the outer query (or a guard) on the outer side of a
  // key, tested on the key's inner side.
  struct Pushed {
    const Expr* condition;  // Compare with a constant, InList or Between
    const Expr* inner;
  };
  struct Member {
    const Expr* subquery;
    const Expr* value;          // the aggregate it selects
    std::vector<Source*> inner; // its sources, in the order of `inner` below
    bool count = false;         // COUNT: no row counts 0, not Null
  };
  const SelectCore* rows = nullptr;  // the query whose FROM and WHERE give the inner rows
  const Source* derived = nullptr;   // the plain derived table `rows` is, when the sub-query reads one
  std::vector<Key> keys;
  std::vector<const Expr*> filters;  // conditions of `rows` that do not read the outer query
  std::vector<Pushed> pushed;
  std::vector<const Expr*> guards;   // conditions under which the value is read
  std::vector<Source*> inner;        // the first member's sources
  std::vector<Member> members;
};

// What the rewrite passes chose for a statement; the emitter writes it.
struct RewritePlan {
  // Ranges in a WHERE over ISNULL(column, ...) or COALESCE(column, ...)
  // against constants, written as the range over the column OR (the column
  // is Null AND the range over the rest).
  std::set<const Expr*> splitRanges;
  // GROUP BY lists grouped on one tsql_group_key value.
  std::set<const SelectCore*> groupKeys;
  // The joined aggregates of each grouped query, in the order they join.
  std::map<const SelectCore*, std::vector<JoinedAggregate>> joined;
};

// The rewrite passes over a bound statement or IF condition, those that
// `options` leaves on.
RewritePlan PlanRewrites(const Statement& statement, const RewriteOptions& options);
RewritePlan PlanRewrites(const Expr& condition, const RewriteOptions& options);

// True when the emitter writes a computed value (not a constant) of type
// `from`, converted to `to`, exactly as it writes it unconverted.
bool ConversionKeepsText(const SqlType& from, const SqlType& to);

// The SQLite text of a bound statement, and of a bound IF condition as a
// query that yields 1 or 0, with the rewrites of `plan`.
Translation EmitStatement(const Statement& statement, const BoundStatement& bound, const RewritePlan& plan);
std::string EmitCondition(const Expr& condition, const RewritePlan& plan);

}  // namespace zelmora::tsql
