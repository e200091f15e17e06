// T-SQL statements rewritten as SQLite statements that give the same rows.
// The translator binds every name to a table or view column (declared types
// come from the catalog), works out the server's type of every expression,
// and writes SQLite text that keeps the server's semantics where the two
// engines differ: ISNULL takes the type of its first argument, text compares
// case-insensitively and blind to trailing blanks, a text literal meeting a
// number or a date is converted (failing as the server fails), "+" between
// texts concatenates, integer division truncates and division by zero
// fails, decimal sums are exact, OUTER APPLY of the country function is an
// outer join, #tables live in the connection's temporary schema.
// What it cannot translate faithfully fails with an Error naming it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sqlite/tsql_ast.h"
#include "platform/sqlite/tsql_types.h"

namespace zelmora::tsql {

struct ColumnInfo {
  std::string name;
  SqlType type;
};

// What the translator needs to know of the database.
class Catalog {
 public:
  virtual ~Catalog() = default;
  // The columns of a table or view, or of a #table of this connection when
  // `temporary`; nullopt when there is no such object.
  virtual std::optional<std::vector<ColumnInfo>> Columns(const std::string& name, bool temporary) = 0;
};

struct Translation {
  std::vector<std::string> steps;   // SQLite statements, run in this order
  bool returnsRows = false;         // the last step's rows are the statement's result
  std::vector<ColumnInfo> columns;  // the names and server types of those rows
};

// The rewrites the translator may make to have SQLite find the same rows
// faster; each can be left out (the tests compare the rows either way).
struct RewriteOptions {
  // A range in a WHERE over ISNULL(column, fallback) or COALESCE(column,
  // ...) is also written as a range over the column, which an index serves.
  bool splitRanges = true;
  // Correlated aggregate sub-queries of a grouped query become aggregates
  // of their rows grouped by the correlation keys, joined once.
  bool decorrelate = true;
  // A GROUP BY of many terms groups on one key value (tsql_group_key).
  bool groupKey = true;
};

// One statement of kind Select, Insert, Update, Delete, DropTable or
// CreateTable (If and Block are run by the caller, statement by statement).
// The statement's nodes are bound in place.
Translation Translate(Statement& statement, Catalog& catalog, const RewriteOptions& rewrites = {});

// The condition of an IF as a SQLite query that yields 1 or 0.
std::string TranslateCondition(Expr& condition, Catalog& catalog, const RewriteOptions& rewrites = {});

}  // namespace zelmora::tsql
