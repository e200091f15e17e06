#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/decimal.h"
#include "support/error_of.h"
#include "support/arrow_cases.h"

namespace zelmora {
namespace {

// A mantissa written in decimal digits, beyond 64 bits too.
Decimal::Mantissa ParseMantissa(const std::string& text) {
  Decimal::Mantissa m = 0;
  for (char c : text.substr(text[0] == '-')) m = m * 10 + (c - '0');
  return text[0] == '-' ? -m : m;
}

Decimal D(std::string_view text) {
  auto d = Decimal::Parse(text);
  if (!d) throw std::invalid_argument("not a decimal: " + std::string(text));
  return *d;
}

TEST(DecimalTest, TwelveFortyNineStaysExactThroughEveryConversion) {
  const Decimal parsed = D("12.49");
  const Decimal fromDouble = Decimal::FromDouble(12.49);
  EXPECT_EQ(fromDouble, parsed);
  EXPECT_EQ(parsed.ToDouble(), 12.49);
  EXPECT_EQ(Decimal::FromDouble(parsed.ToDouble()).ToString(), "12.49");
  EXPECT_EQ((fromDouble - Decimal::FromInt(12)).ToDouble(), 0.49);
}

// The result of one line of platform/values/decimal_cases.txt.
std::string Apply(const std::string& operation, const std::string& operands) {
  if (operation == "Parse") {
    const std::optional<Decimal> parsed = Decimal::Parse(operands);
    return parsed ? parsed->ToString() : "none";
  }
  std::istringstream words(operands);
  std::string a, b;
  words >> a >> b;
  auto parts = [](const Decimal& d) {
    return std::to_string(static_cast<long long>(d.mantissa())) + " " + std::to_string(d.scale());
  };
  if (operation == "FromDoubleParts") return parts(Decimal::FromDouble(std::stod(a)));
  if (operation == "DivideParts") return parts(D(a) / D(b));
  if (operation == "NormalizedParts") return parts(D(a).Normalized());
  if (operation == "IsInteger") return D(a).IsInteger() ? "true" : "false";
  if (operation == "Compare") return std::to_string(Decimal::Compare(D(a), D(b)));
  if (operation == "ToDouble") {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", D(a).ToDouble());
    return text;
  }
  Decimal result;
  const std::string error = testing::ErrorOf([&] {
    if (operation == "FromParts") result = Decimal::FromParts(ParseMantissa(a), std::stoi(b));
    if (operation == "Negate") result = -D(a);
    if (operation == "FromDouble") result = Decimal::FromDouble(std::stod(a));
    if (operation == "Add") result = D(a) + D(b);
    if (operation == "Subtract") result = D(a) - D(b);
    if (operation == "Multiply") result = D(a) * D(b);
    if (operation == "Divide") result = D(a) / D(b);
    if (operation == "RoundHalfEven") result = D(a).RoundHalfEven(std::stoi(b));
    if (operation == "RoundHalfAwayFromZero") result = D(a).RoundHalfAwayFromZero(std::stoi(b));
    if (operation == "Floor") result = D(a).Floor();
    if (operation == "Truncate") result = D(a).Truncate();
  });
  if (operation == "ToFixed") return D(a).ToFixed(std::stoi(b));
  return error == "no error" ? result.ToString() : error;
}

TEST(DecimalTest, TextArithmeticRoundingAndComparisonFollowTheCases) {
  EXPECT_EQ(testing::ExpectArrowCases("platform/values/decimal_cases.txt", [](const std::string& line) {
    const size_t blank = line.find(' ');
    return Apply(line.substr(0, blank), line.substr(blank + 1));
  }), 136);
  EXPECT_RUNTIME_ERROR(Decimal::FromParts(Decimal::Mantissa(1) << 96, 0), 6, "Overflow");
}

}  // namespace
}  // namespace zelmora
