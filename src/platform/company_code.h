// Company codes and years enter the host's SQL unquoted, so they are checked
// to be whole numbers first and written in plain digits.
#pragma once

#include <optional>
#include <string>

#include "platform/variant.h"

namespace zelmora {

// Plain digits (with "-" when negative) of a value that is a whole number:
// an Integer, a Long, a Double or Decimal without fraction, or a text
// holding one ("  12 ", "12.0"). nullopt for anything else: Empty, Null, "",
// Booleans, dates, objects, fractions and texts that are not numbers.
std::optional<std::string> WholeNumberText(const Variant& value);

// A short readable form of a value for error messages.
std::string DescribeValue(const Variant& value);

}  // namespace zelmora
