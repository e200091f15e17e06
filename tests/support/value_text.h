// Values written as text in the tests' data files, as the recordset text
// writes them: e (Empty), n (Null), o (Nothing), i/l (Integer, Long), f
// (Double), d (Decimal), s'text' (String), t (Date, YYYY-MM-DD with an
// optional THH:MM:SS), bTrue/bFalse (Boolean).
#pragma once

#include <string>
#include <vector>

#include "platform/variant.h"

namespace zelmora::testing {

Variant ParseValue(const std::string& text);

// A case of a table of inputs, one a line:
// "name | Property=value | Property=value => section", where the section
// (of a golden file) is the case's own name when "=> section" is left out.
struct InputCase {
  std::string name, section;
  std::vector<std::pair<std::string, Variant>> set;
  int line = 0;
};

// The cases of the data file tests/<relative>; lines starting with "#" and
// empty lines are comments.
std::vector<InputCase> ReadInputCases(const std::string& relative);

}  // namespace zelmora::testing
