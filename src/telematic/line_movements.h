// The movements behind one declaration line: the conditions on the
// movement view that the line's key columns (party, nomenclature, payment
// country, kind of operation and document, corrected declaration) make.
#pragma once

#include <string>
#include <string_view>

#include "platform/recordset.h"

namespace zelmora::telematic {

// " AND column = value" clauses, CR LF ended, for the current row of `rs`:
// an empty value of a column that may be empty is "IS NULL". With
// `emptyNarrows` false an empty key adds no clause at all: the statement
// empties the party columns of statistics-only lines, whose movements do
// have a party.
std::string LineMovementsCondition(const Recordset& rs, bool emptyNarrows = true);
// The same for `row`, one of the rows of `rs`.
std::string LineMovementsCondition(const Recordset& rs, const Row& row, bool emptyNarrows);

// The same clauses with every value a literal: text between single quotes
// with its quotes doubled, a number column's value as it is only when it is
// a whole number. For statements the commands build themselves from values
// stored in the database, which must match themselves and nothing else.
std::string BoundLineMovementsCondition(const Recordset& rs, bool emptyNarrows = true);
// The same for `row`, one of the rows of `rs`.
std::string BoundLineMovementsCondition(const Recordset& rs, const Row& row, bool emptyNarrows);

// Text as a T-SQL string literal: between single quotes, each quote doubled.
std::string SqlTextLiteral(std::string_view text);

}  // namespace zelmora::telematic
