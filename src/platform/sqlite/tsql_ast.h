// The parsed form of a T-SQL batch: statements, queries, table sources and
// expressions. The parser fills the syntax; the translator then binds names
// and types into the same nodes (the fields under "bound").
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/sqlite/tsql_types.h"

namespace zelmora::tsql {

struct Query;
struct Source;

// A possibly qualified name as written: {"DBO", "T"}, {"tempdb", "", "#T"}.
using Name = std::vector<std::string>;

enum class ExprKind {
  Literal,
  Column,    // names = qualifier parts and the column
  Unary,     // op "-" or "+"
  Binary,    // op "+", "-", "*", "/", "%"
  Compare,   // op "=", "<>", "<", ">", "<=", ">="
  And,
  Or,
  Not,
  IsNull,    // negated: IS NOT NULL
  Between,   // args: value, low, high
  Like,      // args: value, pattern [, escape]
  InList,    // args: value, items...
  InQuery,   // args: value; query
  Exists,    // query
  Case,      // caseOperand, whens, elseExpr
  Call,      // op = upper-case function name; args
  Cast,      // CAST(args[0] AS castType) or CONVERT(castType, args[0] [, args[1]])
  Subquery,  // scalar (query)
};

enum class LiteralKind { Integer, Decimal, Float, String, UnicodeString, Null };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
  // bound: the 1-based select-list column it names, 0 for an expression
  int ordinal = 0;
};

struct TypeName {
  std::string name;
  int first = -1;
  int second = -1;
};

struct Expr {
  ExprKind kind = ExprKind::Literal;
  size_t offset = 0;  // where it starts in the batch text
  std::string op;
  LiteralKind literal = LiteralKind::Null;
  std::string text;  // literal value (strings unescaped) as written
  Name names;
  std::vector<ExprPtr> args;
  std::unique_ptr<Query> query;
  bool negated = false;
  bool distinct = false;   // aggregate DISTINCT
  bool countStar = false;  // COUNT(*)
  TypeName castType;
  ExprPtr caseOperand;
  std::vector<std::pair<ExprPtr, ExprPtr>> whens;
  ExprPtr elseExpr;
  bool hasOver = false;
  std::vector<ExprPtr> partitionBy;
  std::vector<OrderItem> overOrder;

  // bound
  SqlType type;
  const Source* source = nullptr;  // Column: the table source
  size_t column = 0;               // Column: index among the source's columns
};

enum class JoinType { Inner, Left, Right, Full, Cross, OuterApply, CrossApply };

struct TableRef;
using TableRefPtr = std::unique_ptr<TableRef>;

struct TableRef {
  enum class Kind { Named, Derived, Function, Join } kind = Kind::Named;
  size_t offset = 0;
  Name name;                            // Named, Function
  std::string alias;                    // "" when none
  std::vector<std::string> columnNames; // derived table column list
  std::unique_ptr<Query> query;         // Derived
  std::vector<ExprPtr> args;            // Function
  JoinType joinType = JoinType::Inner;  // Join
  TableRefPtr left, right;              // Join
  ExprPtr on;                           // Join
  bool parenthesized = false;           // a join written in parentheses

  // bound
  Source* source = nullptr;
};

struct SelectItem {
  ExprPtr expr;        // null for a star
  std::string alias;   // "" when none
  bool star = false;
  Name starQualifier;  // T.* -> {"T"}
};

struct SelectCore {
  size_t offset = 0;
  bool distinct = false;
  ExprPtr top;
  bool topPercent = false;
  bool topWithTies = false;
  std::vector<SelectItem> items;
  Name into;
  std::vector<TableRefPtr> from;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;

  // bound
  bool hasAggregate = false;
  std::vector<const Source*> sources;  // the table sources of its FROM
};

enum class SetOp { UnionAll, Union, Except, Intersect };

struct OutputColumn {
  std::string name;
  SqlType type;
};

struct Query {
  size_t offset = 0;
  std::unique_ptr<SelectCore> core;  // a single SELECT...
  std::unique_ptr<Query> left, right;  // ...or left op right
  SetOp op = SetOp::UnionAll;
  std::vector<OrderItem> orderBy;

  // bound
  std::vector<OutputColumn> outputs;
};

struct ColumnDefinition {
  std::string name;
  TypeName type;
  bool notNull = false;
  bool primaryKey = false;
};

struct Statement;
using StatementPtr = std::unique_ptr<Statement>;

struct Statement {
  enum class Kind { Select, Insert, Update, Delete, If, Block, DropTable, CreateTable } kind = Kind::Select;
  size_t offset = 0;
  std::unique_ptr<Query> query;  // Select; Insert ... SELECT
  Name target;                   // Insert, Update, Delete, CreateTable
  std::vector<std::string> columns;          // Insert column list
  std::vector<std::vector<ExprPtr>> values;  // Insert ... VALUES
  std::vector<std::pair<Name, ExprPtr>> assignments;  // Update SET
  std::vector<TableRefPtr> from;                      // Update FROM
  ExprPtr where;                                      // Update, Delete
  ExprPtr condition;                                  // If
  StatementPtr thenBranch, elseBranch;                // If
  std::vector<StatementPtr> body;                     // Block
  std::vector<Name> dropNames;                        // DropTable
  bool ifExists = false;                              // DROP TABLE IF EXISTS
  std::vector<ColumnDefinition> definitions;          // CreateTable
};

}  // namespace zelmora::tsql
