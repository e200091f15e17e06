// A recordset written out as text, so that a whole result is compared at
// once: "NAME:type(size)" or "NAME:14(p,s)" per field, then one line per
// visible row with each value marked by its kind: l (Long), i (Integer),
// d (Decimal, at its scale), f (Double), s (String, quoted), t (Date),
// b (Boolean), n (Null).
#pragma once

#include <string>

#include "platform/recordset.h"

namespace zelmora::testing {

std::string RecordsetText(const Recordset& rs);
// One value as a row of RecordsetText writes it ("?" for Empty and objects).
std::string ValueText(const Variant& value);

// The text with its first line (the fields) kept in place and the rows
// after it sorted: for results that have no order of their own.
std::string SortedRows(const std::string& text);

// One column of the visible rows, values as text joined by commas.
std::string ColumnText(const Recordset& rs, size_t column = 0);

}  // namespace zelmora::testing
