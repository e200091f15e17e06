// The host framework's date helper: given a text, it says whether the text
// is a date and gives the date. Accepted: "YYYY-MM-DD", "YYYYMMDD",
// "DD/MM/YYYY" (and the text a Date value converts to); anything else,
// "" included, is error code 1.
#pragma once

#include <string>
#include <string_view>

#include "platform/date.h"
#include "platform/variant.h"

namespace zelmora {

class DateHelper {
 public:
  void SetText(std::string_view text);
  int ErrorCode() const { return valid_ ? 0 : 1; }
  // The converted date as a Date value (Null when invalid).
  Variant ConvertedDate() const;
  // The converted date as text for SQL: "YYYYMMDD" ("" when invalid).
  std::string ConvertedDateText() const;

 private:
  bool valid_ = false;
  Date date_;
};

}  // namespace zelmora
