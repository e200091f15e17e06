#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <optional>
#include <sstream>
#include <string>

#include "platform/decimal.h"
#include "platform/error.h"
#include "support/error_of.h"
#include "support/file_bytes.h"

namespace zelmora {
namespace {

constexpr const char* kMax = "79228162514264337593543950335";  // 2^96 - 1

Decimal D(std::string_view text) {
  auto d = Decimal::Parse(text);
  if (!d) throw std::invalid_argument("not a decimal: " + std::string(text));
  return *d;
}

TEST(DecimalTest, TwelveFortyNineStaysExactThroughEveryConversion) {
  const Decimal parsed = D("12.49");
  const Decimal fromDouble = Decimal::FromDouble(12.49);
  EXPECT_EQ(fromDouble, parsed);
  EXPECT_EQ(fromDouble.mantissa(), 1249);
  EXPECT_EQ(fromDouble.scale(), 2);
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
  Decimal result;
  const std::string error = testing::ErrorOf([&] {
    if (operation == "FromParts") result = Decimal::FromParts(std::stoll(a), std::stoi(b));
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

TEST(DecimalTest, TextArithmeticAndRoundingFollowTheCases) {
  std::istringstream lines(testing::TestFile("platform/values/decimal_cases.txt"));
  int cases = 0;
  for (std::string line; std::getline(lines, line);) {
    const size_t arrow = line.find(" => ");
    if (line.empty() || line[0] == '#' || arrow == std::string::npos) continue;
    const size_t blank = line.find(' ');
    EXPECT_EQ(Apply(line.substr(0, blank), line.substr(blank + 1, arrow - blank - 1)), line.substr(arrow + 4)) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 114);
}

TEST(DecimalTest, TheMantissaLimitsAndTheScaleKept) {
  EXPECT_RUNTIME_ERROR(Decimal::FromParts(Decimal::Mantissa(1) << 96, 0), 6, "Overflow");
  EXPECT_EQ(Decimal::FromParts((Decimal::Mantissa(1) << 96) + 4, 1).ToString(), "7922816251426433759354395034");
  EXPECT_EQ(D(kMax).ToDouble(), 79228162514264337593543950335.0);
  const Decimal quarter = Decimal::FromInt(1) / Decimal::FromInt(4);
  EXPECT_EQ(quarter.mantissa(), 25);
  EXPECT_EQ(quarter.scale(), 2);
  const Decimal two00 = D("6.00") / Decimal::FromInt(3);
  EXPECT_EQ(two00.mantissa(), 200);
  EXPECT_EQ(two00.scale(), 2);
  EXPECT_EQ(D("1.50").Normalized().scale(), 1);
  EXPECT_TRUE(D("3.000").IsInteger());
  EXPECT_FALSE(D("3.001").IsInteger());
}

TEST(DecimalTest, ComparesByValue) {
  EXPECT_EQ(D("1.5"), D("1.50"));
  EXPECT_NE(D("1.5"), D("1.51"));
  EXPECT_LT(D("-0.1"), Decimal());
  EXPECT_LT(D("0.3"), D("0.30001"));
  EXPECT_GT(D("-0.3"), D("-0.30001"));
  // Aligning the scales would overflow 128 bits: the larger magnitude wins.
  EXPECT_GT(D(kMax), Decimal::FromParts(1, 28));
  EXPECT_LT(-D(kMax), Decimal::FromParts(-1, 28));
  EXPECT_LT(Decimal::FromParts(1, 28), D(kMax));
  EXPECT_EQ(Decimal::Compare(Decimal::FromParts(0, 7), Decimal()), 0);
  EXPECT_EQ(D("0.1").ToDouble(), 0.1);
  EXPECT_EQ(D("1.2345678901234567890123456789").ToDouble(), 1.2345678901234567890123456789);
  EXPECT_EQ(D("-0.0000000000000000000000000001").ToDouble(), -1e-28);
}

}  // namespace
}  // namespace zelmora
