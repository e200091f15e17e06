// The T-SQL parser: a batch of statements into syntax trees. It knows the
// grammar only; names and types are bound later, statement by statement,
// when each runs (a statement may read a table made by the one before).
// Statements end at ";" or where the next statement's keyword begins, as
// the server reads a batch.
#pragma once

#include <string_view>
#include <vector>

#include "platform/sqlite/tsql_ast.h"

namespace zelmora::tsql {

// Throws Error 102 ("Incorrect syntax near ...") for text that is not
// T-SQL, and Error kUntranslatable naming a construct that is T-SQL but that
// the SQLite backend does not run (variables, cursors, procedures...).
std::vector<StatementPtr> ParseBatch(std::string_view batch);

}  // namespace zelmora::tsql
