#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>

#include "platform/date.h"
#include "support/arrow_cases.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

// A date as "YYYY-MM-DD HH:MM:SS #serial", "none" when there is none.
std::string Shown(const std::optional<Date>& date) {
  if (!date) return "none";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d #%d", date->year(), date->month(), date->day(),
                date->hour(), date->minute(), date->second(), date->days());
  return text;
}

// The result of one line of platform/values/date_cases.txt.
std::string Apply(const std::string& operation, const std::string& operands) {
  if (operation.starts_with("Parse")) {
    using Parser = std::optional<Date> (*)(std::string_view);
    const Parser parser = operation == "ParseIso" ? Date::ParseIso
                          : operation == "ParseCompact" ? Date::ParseCompact
                          : operation == "ParseDayMonthYear" ? Date::ParseDayMonthYear
                                                             : Date::Parse;
    return Shown(parser(operands));
  }
  std::istringstream words(operands);
  int n[6] = {};
  if (operation == "FromOADate") {
    std::string value;
    words >> value;
    std::string shown;
    const std::string error = testing::ErrorOf([&] { shown = Shown(Date::FromOADate(std::stod(value))); });
    return error == "no error" ? shown : error;
  }
  for (int& k : n) words >> k;
  if (operation == "FromYMD") return Shown(Date::FromYMD(n[0], n[1], n[2]));
  if (operation == "FromSerial") {
    std::string shown;
    const std::string error = testing::ErrorOf([&] { shown = Shown(Date::FromSerial(n[0], n[1])); });
    return error == "no error" ? shown : error;
  }
  const std::optional<Date> date = Date::FromYMDHMS(n[0], n[1], n[2], n[3], n[4], n[5]);
  if (operation == "FromYMDHMS") return Shown(date);
  if (!date) return "no such date";
  if (operation == "ToIso") return date->ToIso();
  if (operation == "ToCompact") return date->ToCompact();
  if (operation == "ToDayMonthYear") return date->ToDayMonthYear();
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", date->ToOADate());
  return operation == "ToOADate" ? text : "no operation " + operation;
}

TEST(DateTest, CasesOfConstructionParsingTextAndDoubleForms) {
  testing::ExpectArrowCases("platform/values/date_cases.txt", [](const std::string& line) {
    const size_t blank = line.find(' ');
    return Apply(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
  });
}

TEST(DateTest, SerialDaysFollowTheCalendar) {
  EXPECT_EQ(Date(), *Date::FromYMD(1899, 12, 30));
  // Walk every day from 1753 to 9999 with an independent calendar.
  int y = 1753, m = 1, d = 1;
  for (int32_t serial = -53688; serial <= 2958465; ++serial) {
    const Date date = Date::FromSerial(serial);
    if (date.year() != y || date.month() != m || date.day() != d) {
      FAIL() << "serial " << serial << " gives " << date.ToIso() << ", expected " << y << '-' << m << '-' << d;
    }
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    const int length = m == 2 ? (leap ? 29 : 28) : (m == 4 || m == 6 || m == 9 || m == 11) ? 30 : 31;
    if (++d > length) {
      d = 1;
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
  EXPECT_EQ(y, 10000);
}

TEST(DateTest, TextFormsParseBack) {
  const Date d = *Date::FromYMD(2024, 3, 5);
  const Date t = *Date::FromYMDHMS(2024, 3, 5, 9, 5, 7);
  EXPECT_EQ(Date::Parse(t.ToDayMonthYear().substr(0, 10)), d);
  EXPECT_EQ(Date::Parse(d.ToCompact()), d);
  EXPECT_EQ(Date::Parse(d.ToIso()), d);
}

// Seconds round to the nearest; 23:59:59.6 is the next midnight.
TEST(DateTest, DoubleFormRoundsToTheSecond) {
  const Date old = *Date::FromYMDHMS(1753, 1, 1, 18, 0, 0);
  EXPECT_EQ(Date::FromOADate(old.ToOADate()), old);
  EXPECT_EQ(Date::FromOADate(45356 + 86399.6 / 86400), Date::FromYMD(2024, 3, 6));
  EXPECT_EQ(Date::FromOADate(45356 + 3600.4 / 86400), Date::FromYMDHMS(2024, 3, 5, 1, 0, 0));
}

}  // namespace
}  // namespace zelmora
