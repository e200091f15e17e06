#include "platform/date.h"

#include <cmath>
#include <cstdio>

#include "platform/civil_calendar.h"
#include "platform/error.h"

namespace zelmora {

namespace {

constexpr int32_t kSecondsPerDay = 86400;
// Days from 1970-01-01 to the runtime's day 0, 1899-12-30.
constexpr int32_t kEpochShift = 25569;
constexpr int32_t kMinDays = -657434;  // 0100-01-01
constexpr int32_t kMaxDays = 2958465;  // 9999-12-31


bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exactly `count` digits at `pos`.
bool Digits(std::string_view s, size_t pos, size_t count, int& out) {
  if (pos + count > s.size()) return false;
  int v = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (!IsDigit(s[i])) return false;
    v = v * 10 + (s[i] - '0');
  }
  out = v;
  return true;
}

}  // namespace

std::optional<Date> Date::FromYMD(int year, int month, int day) {
  return FromYMDHMS(year, month, day, 0, 0, 0);
}

std::optional<Date> Date::FromYMDHMS(int year, int month, int day, int hour, int minute, int second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return std::nullopt;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
  return Date(static_cast<int32_t>(DaysFromCivil(year, month, day)) + kEpochShift, hour * 3600 + minute * 60 + second);
}

Date Date::FromSerial(int32_t days, int32_t seconds) {
  int64_t d = days + static_cast<int64_t>(seconds / kSecondsPerDay);
  int32_t s = seconds % kSecondsPerDay;
  if (s < 0) {
    s += kSecondsPerDay;
    --d;
  }
  if (d < kMinDays || d > kMaxDays) throw Error::Overflow();
  return Date(static_cast<int32_t>(d), s);
}

Date Date::FromOADate(double value) {
  // Beyond the range the checks below would also reject; keeps the casts defined.
  if (!std::isfinite(value) || value < kMinDays - 1.0 || value > kMaxDays + 1.0) throw Error::Overflow();
  // The whole part counts days; the fraction's magnitude is the time of day,
  // also for negative values (-1.25 is 1899-12-29 06:00).
  double whole = std::trunc(value);
  int32_t days = static_cast<int32_t>(whole);
  double fraction = std::fabs(value - whole);
  auto seconds = static_cast<int32_t>(std::llround(fraction * kSecondsPerDay));
  if (seconds >= kSecondsPerDay) {
    seconds = 0;
    days += value < 0 ? -1 : 1;
  }
  if (days < kMinDays || days > kMaxDays) throw Error::Overflow();
  return Date(days, seconds);
}

double Date::ToOADate() const {
  double fraction = static_cast<double>(seconds_) / kSecondsPerDay;
  return days_ < 0 ? days_ - fraction : days_ + fraction;
}

int Date::year() const { return CivilFromDays(days_ - kEpochShift).year; }
int Date::month() const { return CivilFromDays(days_ - kEpochShift).month; }
int Date::day() const { return CivilFromDays(days_ - kEpochShift).day; }

std::optional<Date> Date::ParseIso(std::string_view text) {
  int y, m, d;
  if (!Digits(text, 0, 4, y) || text.size() < 10 || text[4] != '-' || !Digits(text, 5, 2, m) ||
      text[7] != '-' || !Digits(text, 8, 2, d))
    return std::nullopt;
  if (text.size() == 10) return FromYMD(y, m, d);
  int hh, mm, ss;
  if (text.size() != 19 || text[10] != ' ' || !Digits(text, 11, 2, hh) || text[13] != ':' ||
      !Digits(text, 14, 2, mm) || text[16] != ':' || !Digits(text, 17, 2, ss))
    return std::nullopt;
  return FromYMDHMS(y, m, d, hh, mm, ss);
}

std::optional<Date> Date::ParseCompact(std::string_view text) {
  int y, m, d;
  if (text.size() != 8 || !Digits(text, 0, 4, y) || !Digits(text, 4, 2, m) || !Digits(text, 6, 2, d))
    return std::nullopt;
  return FromYMD(y, m, d);
}

std::optional<Date> Date::ParseDayMonthYear(std::string_view text) {
  size_t pos = 0;
  auto number = [&](size_t minDigits, size_t maxDigits, int& out) {
    size_t start = pos;
    int v = 0;
    while (pos < text.size() && IsDigit(text[pos]) && pos - start < maxDigits) v = v * 10 + (text[pos++] - '0');
    out = v;
    return pos - start >= minDigits;
  };
  int d, m, y;
  if (!number(1, 2, d) || pos >= text.size() || text[pos++] != '/') return std::nullopt;
  if (!number(1, 2, m) || pos >= text.size() || text[pos++] != '/') return std::nullopt;
  if (!number(4, 4, y) || pos != text.size()) return std::nullopt;
  return FromYMD(y, m, d);
}

std::optional<Date> Date::Parse(std::string_view text) {
  if (text.size() >= 5 && text[4] == '-') return ParseIso(text);
  if (text.find('/') != std::string_view::npos) return ParseDayMonthYear(text);
  return ParseCompact(text);
}

std::string Date::ToIso() const {
  const CivilDate c = CivilFromDays(days_ - kEpochShift);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day);
  return buf;
}

std::string Date::ToCompact() const {
  const CivilDate c = CivilFromDays(days_ - kEpochShift);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", c.year, c.month, c.day);
  return buf;
}

std::string Date::ToDayMonthYear() const {
  const CivilDate c = CivilFromDays(days_ - kEpochShift);
  char buf[64];
  if (seconds_ == 0) {
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", c.day, c.month, c.year);
  } else {
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", c.day, c.month, c.year, hour(), minute(), second());
  }
  return buf;
}

}  // namespace zelmora
