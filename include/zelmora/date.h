// A calendar date with an optional time of day, counted as the runtime
// counts it: whole days from 1899-12-30 plus seconds into the day. Years
// 100 to 9999.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelmora {

// A date and time of the runtime (a day, optionally with a time of day).
class Date {
 public:
  constexpr Date() = default;  // 1899-12-30 00:00:00

  // nullopt when the day does not exist (2023-02-29) or is out of range.
  static std::optional<Date> FromYMD(int year, int month, int day);
  static std::optional<Date> FromYMDHMS(int year, int month, int day, int hour, int minute, int second);
  // Throws Error::Overflow when out of range.
  static Date FromSerial(int32_t days, int32_t seconds = 0);
  // The runtime's double form (days, fraction = time of day).
  static Date FromOADate(double value);

  // Strict parsers for the forms the host uses: "YYYY-MM-DD", "YYYYMMDD"
  // (eight digits) and "DD/MM/YYYY" (one or two digits for day and month).
  // A trailing time " HH:MM:SS" is accepted after the ISO form only.
  static std::optional<Date> ParseIso(std::string_view text);
  static std::optional<Date> ParseCompact(std::string_view text);
  static std::optional<Date> ParseDayMonthYear(std::string_view text);
  // Any of the three.
  static std::optional<Date> Parse(std::string_view text);

  int32_t days() const { return days_; }
  int32_t seconds() const { return seconds_; }
  int year() const;
  int month() const;
  int day() const;
  int hour() const { return seconds_ / 3600; }
  int minute() const { return seconds_ / 60 % 60; }
  int second() const { return seconds_ % 60; }
  bool HasTime() const { return seconds_ != 0; }
  double ToOADate() const;

  std::string ToIso() const;            // "2024-03-05"
  std::string ToCompact() const;        // "20240305", the SQL literal form
  std::string ToDayMonthYear() const;   // "05/03/2024", plus " HH:MM:SS" when it has a time

  friend bool operator==(const Date&, const Date&) = default;
  friend auto operator<=>(const Date&, const Date&) = default;

 private:
  constexpr Date(int32_t d, int32_t s) : days_(d), seconds_(s) {}
  int32_t days_ = 0;
  int32_t seconds_ = 0;
};

}  // namespace zelmora
