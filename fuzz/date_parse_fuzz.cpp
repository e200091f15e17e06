// Fuzzes what turns text into dates and numbers: the date parsers, the
// host's date helper, the runtime's conversions of a text value (CDate,
// CDec, CDbl, CLng, CInt, CBool, IsNumeric), Decimal::Parse and the
// server-side text conversions of the SQLite backend. Refusals (nullopt,
// an Error) are fine. A crash, a sanitizer report or another exception is
// a fault, and so is a parsed value that does not read back as itself:
// a date's ISO and compact texts give the same day again (and its
// day/month/year text too when it has no time of day),
// a decimal's exact text gives the same decimal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/date.h"
#include "platform/date_helper.h"
#include "platform/decimal.h"
#include "platform/error.h"
#include "platform/sqlite/tsql_text.h"
#include "platform/variant.h"

namespace {

using namespace zelmora;

void Require(bool holds) {
  if (!holds) std::abort();
}

void CheckDate(const Date& date) {
  const std::optional<Date> iso = Date::ParseIso(date.ToIso());
  Require(iso && iso->days() == date.days());
  const std::optional<Date> compact = Date::ParseCompact(date.ToCompact());
  Require(compact && compact->days() == date.days());
  // The day/month/year form takes no time of day.
  if (!date.HasTime()) {
    const std::optional<Date> dmy = Date::Parse(date.ToDayMonthYear());
    Require(dmy && *dmy == date);
  }
}

template <class F>
void Quietly(F&& convert) {
  try {
    convert();
  } catch (const Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  for (const std::optional<Date>& date :
       {Date::ParseIso(text), Date::ParseCompact(text), Date::ParseDayMonthYear(text), Date::Parse(text)}) {
    if (date) CheckDate(*date);
  }

  DateHelper helper;
  helper.SetText(text);
  if (helper.ErrorCode() == 0) {
    Require(helper.ConvertedDate().type() == VarType::Date);
    const std::optional<Date> again = Date::ParseCompact(helper.ConvertedDateText());
    Require(again && again->days() == helper.ConvertedDate().AsDate().days());
  } else {
    Require(helper.ConvertedDate().IsNull() && helper.ConvertedDateText().empty());
  }

  if (const std::optional<Decimal> number = Decimal::Parse(text)) {
    const std::optional<Decimal> again = Decimal::Parse(number->ToString());
    Require(again && *again == *number);
    Quietly([&] { (void)number->ToFixed(2); });
  }

  const Variant value = Variant::String(std::string(text));
  (void)value.IsNumeric();
  Quietly([&] { (void)value.ToDate(); });
  Quietly([&] { (void)value.ToDecimal(); });
  Quietly([&] { (void)value.ToDouble(); });
  Quietly([&] { (void)value.ToLong(); });
  Quietly([&] { (void)value.ToInteger(); });
  Quietly([&] { (void)value.ToBoolean(); });

  (void)tsql::TextToInteger(text);
  (void)tsql::TextToDecimal(text);
  (void)tsql::TextToFloat(text);
  for (int style : {0, 103, 104, 105, 112, 120, 121}) {
    if (!tsql::IsKnownDateStyle(style)) continue;
    if (const std::optional<tsql::DateParts> parts = tsql::ParseDateTextStyled(text, style)) {
      Require(tsql::IsValidDate(*parts));
      const std::optional<tsql::DateParts> stored = tsql::DateFromStored(tsql::DateNumber(*parts));
      Require(stored && stored->year == parts->year && stored->month == parts->month && stored->day == parts->day);
    }
  }
  if (const std::optional<tsql::DateParts> parts = tsql::ParseDateText(text)) {
    Require(tsql::IsValidDate(*parts));
    for (int style : {0, 103, 112, 120}) (void)tsql::FormatDate(*parts, style);
  }
  return 0;
}
