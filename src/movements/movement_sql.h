// The SQL texts of the movement subsystem, built from the input object and
// nothing else: they never run anything. The procedures of
// movement_procedures.h store or execute what these return.
//
// Values of the input object go into the text as their plain text (numbers
// unquoted, texts quoted where shown, dates as 'YYYYMMDD' or Null), without
// escaping: the host's filters reach the database as the host wrote them.
#pragma once

#include <string>

#include "component/clsin_inputintra.h"
#include "platform/variant.h"

namespace zelmora::movements {

// The movement list, one row per Intrastat line (a document without lines
// gives one row with Null line columns). The text keeps its separators as
// composed: later steps and the hosts search it for exact pieces.
// Throws zelmora::Error when a filter does not convert (a document kind or
// account number that is not a number, an operation code that is not one).
std::string MovementListSql(const CLSIN_INPUTINTRA& input);

// The browsing list, one row per Intrastat document with a DETTAGLIO flag
// (1 when the document has lines, else Null). Its layout is free: the text
// is executed and never shown to the host.
std::string DocumentBrowseSql(const CLSIN_INPUTINTRA& input);

// The two deletions of one registration's Intrastat document, lines first.
std::string DeleteLinesSql(const CLSIN_INPUTINTRA& input);
std::string DeleteHeaderSql(const CLSIN_INPUTINTRA& input);

// A filter property holds a value when it is neither Empty, Null nor "".
bool IsSet(const Variant& value);

// The runtime's `value = number` for a Variant against a numeric constant:
// Null is never equal, Empty is 0, text is compared as the number it reads
// as (text that is not a number fails with error 13).
bool EqualsNumber(const Variant& value, int number);

}  // namespace zelmora::movements
