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

}  // namespace zelmora::testing
