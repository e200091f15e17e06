#include "platform/date_helper.h"

#include <cctype>

namespace zelmora {

namespace {

// "DD/MM/YYYY HH:MM:SS", the text of a Date value that carries a time of day.
std::optional<Date> ParseDayMonthYearWithTime(std::string_view text) {
  size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  std::string_view time = text.substr(blank + 1);
  if (time.size() != 8 || time[2] != ':' || time[5] != ':') return std::nullopt;
  for (size_t i : {0, 1, 3, 4, 6, 7}) {
    if (!std::isdigit(static_cast<unsigned char>(time[i]))) return std::nullopt;
  }
  auto day = Date::ParseDayMonthYear(text.substr(0, blank));
  if (!day) return std::nullopt;
  int hour = (time[0] - '0') * 10 + (time[1] - '0');
  int minute = (time[3] - '0') * 10 + (time[4] - '0');
  int second = (time[6] - '0') * 10 + (time[7] - '0');
  return Date::FromYMDHMS(day->year(), day->month(), day->day(), hour, minute, second);
}

}  // namespace

void DateHelper::SetText(std::string_view text) {
  std::optional<Date> parsed = Date::Parse(text);
  if (!parsed) parsed = ParseDayMonthYearWithTime(text);
  valid_ = parsed.has_value();
  date_ = parsed.value_or(Date());
}

Variant DateHelper::ConvertedDate() const {
  return valid_ ? Variant::FromDate(date_) : Variant::Null();
}

std::string DateHelper::ConvertedDateText() const {
  return valid_ ? date_.ToCompact() : std::string();
}

}  // namespace zelmora
