// The checks every zelmora command runs on its options before it calls the
// business object. The business object writes several of the values it is
// given into its SQL text as they stand (codes between quotes, numbers,
// a host's condition and ordering), as the hosts it serves expect; a value
// typed by a person or a script is therefore held to the shape of the
// column it is compared with here, and refused otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/recordset.h"

namespace zelmora::cli {

// A request that cannot run, with the reason a person reads: exit 2 for a
// refused value, 1 for a failure of the component or the data.
struct Refusal {
  std::string reason;
  int exitCode = 2;
};

// The value as a message quotes it: control characters (C0, DEL and the C1
// controls U+0080 to U+009F) and bytes that are not UTF-8 shown as \xNN, so
// that the message stays on one line and cannot steer the terminal,
// whatever was typed or stored.
std::string Shown(const std::string& text);

// Whether the text holds a control character (below a blank, or DEL).
bool HasControlCharacter(std::string_view text);

// A whole number written in digits (no sign, no blank) from `low` to `high`.
int64_t Whole(const std::string& text, const char* option, int64_t low, int64_t high);

// An empty value, or a day (YYYY-MM-DD, YYYYMMDD or DD/MM/YYYY).
void CheckDate(const std::string& text, const char* option);

// A code compared, between quotes, with a text column `width` characters
// wide: no quote, no control character, no ';' and no '--'; with
// `alphanumeric`, letters and digits only. An empty value is not set.
void CheckCode(const std::string& text, const char* option, size_t width, bool alphanumeric = false);

// The two movement lists: one row per line, or one per document.
enum class MovementList { Lines, Documents };

// The columns of a list that a condition or an ordering may name, each
// typed as a number (Integer) or a text (VarChar) for the filter's binding.
std::vector<FieldInfo> MovementListFields(MovementList list);

// A host condition for a movement list: "AND" and then a criterion in the
// recordset filter grammar (comparisons of a column with a number or a
// 'text', joined by AND and OR, with parentheses) naming only columns of the
// list that the statement can filter on. An OR outside parentheses is
// refused: the condition follows the company's own, and such an OR would
// reach other companies' movements. Dates are written as text ('20240131').
void CheckMovementFilter(const std::string& text, const char* option, MovementList list);

// An ordering for a movement list: columns of the list, separated by
// commas, each optionally followed by ASC or DESC.
void CheckMovementOrder(const std::string& text, const char* option, MovementList list);

}  // namespace zelmora::cli
