// Recordsets written out for people (an aligned table) and for
// spreadsheets (CSV with CR LF line ends, as the usual tools expect).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/recordset.h"

namespace zelmora::cli {

// A field value as text: Null is empty, dates are ISO, decimals keep the
// column's scale, bits are 1 or 0.
std::string FieldText(const FieldInfo& field, const Variant& value);

// The text padded with blanks to `width` characters, on the left when
// `right`; a longer text is cut, unless it is aligned right (a number).
std::string FitText(const std::string& text, size_t width, bool right);

// Every field of every visible row, with a heading line of field names.
void WriteCsv(const Recordset& rows, std::ostream& out);

// One column of the readable table: a heading and how a row shows in it.
struct TableColumn {
  std::string heading;
  std::function<std::string(const Row&)> text;
  // Numbers: aligned right and never cut.
  bool rightAligned = false;
  // Longest text shown (never less than the heading); 0: as wide as the
  // widest value.
  size_t maxWidth = 0;
};

// The visible rows under a heading line and a rule, columns two blanks
// apart, widths counted in characters, no blanks at the ends of lines.
void WriteTable(const Recordset& rows, const std::vector<TableColumn>& columns, std::ostream& out);

}  // namespace zelmora::cli
