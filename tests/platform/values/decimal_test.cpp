#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/decimal.h"
#include "platform/error.h"
#include "support/error_of.h"

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
  EXPECT_EQ(fromDouble.ToString(), "12.49");
  EXPECT_EQ(parsed.ToDouble(), 12.49);
  EXPECT_EQ(Decimal::FromDouble(parsed.ToDouble()).ToString(), "12.49");

  // In binary 12.49 - 12 is 0.49000000000000021; exactly it is 0.49.
  const Decimal diff = fromDouble - Decimal::FromInt(12);
  EXPECT_EQ(diff, D("0.49"));
  EXPECT_EQ(diff.ToString(), "0.49");
  EXPECT_EQ(diff.ToDouble(), 0.49);
  EXPECT_EQ(Decimal::FromDouble(0.1 + 0.2).ToString(), "0.3");
  EXPECT_EQ((D("0.10") + D("0.20")).ToFixed(2), "0.30");
  EXPECT_EQ((D("12.49") * Decimal::FromInt(3)).ToString(), "37.47");
  // Fifteen significant digits, not more and not fewer.
  EXPECT_EQ(Decimal::FromDouble(1.0 / 3).ToString(), "0.333333333333333");
  EXPECT_EQ(Decimal::FromDouble(-123456789.123456789).ToString(), "-123456789.123457");
  EXPECT_EQ(Decimal::FromDouble(1e20).ToString(), "100000000000000000000");
}

TEST(DecimalTest, TextForms) {
  EXPECT_EQ(Decimal::FromParts(150, 2).ToString(), "1.5");
  EXPECT_EQ(Decimal::FromParts(-25, 2).ToString(), "-0.25");
  EXPECT_EQ(Decimal::FromParts(0, 5).ToString(), "0");
  EXPECT_EQ(Decimal::FromParts(-5, 28).ToString(), "-0.0000000000000000000000000005");
  EXPECT_EQ(Decimal::FromParts(12, -3).ToString(), "12000");
  EXPECT_EQ(D(kMax).ToString(), kMax);
  EXPECT_EQ(D("-" + std::string(kMax)).ToString(), "-" + std::string(kMax));

  EXPECT_EQ(D("1.5").ToFixed(2), "1.50");
  EXPECT_EQ(D("2.345").ToFixed(2), "2.34");
  EXPECT_EQ(D("2.355").ToFixed(2), "2.36");
  EXPECT_EQ(D("-0.005").ToFixed(2), "0.00");
  EXPECT_EQ(D("-0.0051").ToFixed(2), "-0.01");
  EXPECT_EQ(D("123").ToFixed(0), "123");
  EXPECT_EQ(D("0.5").ToFixed(0), "0");
  EXPECT_EQ(D("-7.25").ToFixed(3), "-7.250");
}

TEST(DecimalTest, ParseAcceptsNumberTextOnly) {
  EXPECT_EQ(D(" 1.5E3 ").ToString(), "1500");
  EXPECT_EQ(D("-.5").ToString(), "-0.5");
  EXPECT_EQ(D("+7.").ToString(), "7");
  EXPECT_EQ(D("1e-2").ToString(), "0.01");
  EXPECT_EQ(D("007.100").ToString(), "7.1");
  EXPECT_EQ(D("7.9228162514264337593543950335E28").ToString(), kMax);
  for (const char* bad : {"", " ", ".", "-", "1e", "1e+", "1.2.3", "1,5", "12a", "--1", "e5", "1 2", "0x10"}) {
    EXPECT_FALSE(Decimal::Parse(bad).has_value()) << '"' << bad << '"';
  }
  // Beyond the 28th decimal the digits are rounded half to even.
  EXPECT_TRUE(D("0.00000000000000000000000000005").IsZero());
  EXPECT_EQ(D("0.00000000000000000000000000015").ToString(), "0.0000000000000000000000000002");
  EXPECT_EQ(D("0.000000000000000000000000000050001").ToString(), "0.0000000000000000000000000001");
  EXPECT_EQ(D("1.00000000000000000000000000005").ToString(), "1");
  EXPECT_EQ(D("1.000000000000000000000000000051").ToString(), "1.0000000000000000000000000001");
  EXPECT_TRUE(D("1E-60").IsZero());
  // Out of range is not a Decimal.
  EXPECT_FALSE(Decimal::Parse("79228162514264337593543950336").has_value());
  EXPECT_FALSE(Decimal::Parse("-79228162514264337593543950336").has_value());
  EXPECT_FALSE(Decimal::Parse("1E29").has_value());
  EXPECT_FALSE(Decimal::Parse("1E99999999999").has_value());
}

TEST(DecimalTest, RangeLimitsAndOverflow) {
  const Decimal max = D(kMax);
  const Decimal one = Decimal::FromInt(1);
  EXPECT_RUNTIME_ERROR(max + one, 6, "Overflow");
  EXPECT_RUNTIME_ERROR(-max - one, 6, "Overflow");
  EXPECT_RUNTIME_ERROR(max * Decimal::FromInt(2), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(max / D("0.5"), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Decimal::FromParts(Decimal::Mantissa(1) << 96, 0), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Decimal::FromDouble(1e29), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Decimal::FromDouble(std::numeric_limits<double>::quiet_NaN()), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Decimal::FromDouble(-std::numeric_limits<double>::infinity()), 6, "Overflow");
  // A fraction that does not fit is rounded away; only the whole part overflows.
  EXPECT_EQ((max + D("0.4")).ToString(), kMax);
  EXPECT_RUNTIME_ERROR(max + D("0.5"), 6, "Overflow");  // ...335.5 rounds to the even ...336
  EXPECT_EQ((max - D("0.5")).ToString(), "79228162514264337593543950334");
  EXPECT_EQ(Decimal::FromParts((Decimal::Mantissa(1) << 96) + 4, 1).ToString(), "7922816251426433759354395034");
  EXPECT_TRUE(Decimal::FromParts(1, 29).IsZero());
  EXPECT_EQ(Decimal::FromParts(15, 29).ToString(), "0.0000000000000000000000000002");
  EXPECT_EQ(Decimal::FromInt(std::numeric_limits<int64_t>::min()).ToString(), "-9223372036854775808");
  EXPECT_EQ((max - max).ToString(), "0");
  EXPECT_EQ(max.ToDouble(), 79228162514264337593543950335.0);
}

TEST(DecimalTest, ProductsBeyondTheMantissaRoundHalfToEven) {
  // 29 decimals: the 29th is dropped half to even.
  EXPECT_TRUE((Decimal::FromParts(5, 28) * D("0.1")).IsZero());
  EXPECT_EQ((Decimal::FromParts(15, 28) * D("0.1")).ToString(), "0.0000000000000000000000000002");
  EXPECT_EQ((Decimal::FromParts(25, 28) * D("0.1")).ToString(), "0.0000000000000000000000000002");
  EXPECT_EQ((Decimal::FromParts(-25, 28) * D("0.1")).ToString(), "-0.0000000000000000000000000002");
  // Mantissa product above 2^128.
  const Decimal a = D("1.2345678901234567890123456789");
  EXPECT_EQ((a * a).ToString(), "1.5241578753238836750495351563");
  EXPECT_EQ((a * -a).ToString(), "-1.5241578753238836750495351563");
  const Decimal b = D("123456789012345.123456789");
  EXPECT_EQ((b * b).ToString(), "15241578753238699603719902454");
  // Sum whose aligned operands exceed 128 bits.
  EXPECT_EQ((D("12345678901234567890123456789") + D("0.0000000000000000000000000001")).ToString(),
            "12345678901234567890123456789");
  EXPECT_EQ((D("1.5") + D("-1.50")).ToString(), "0");
  EXPECT_EQ((D("0.1") - D("0.35")).ToString(), "-0.25");
}

TEST(DecimalTest, DivisionKeepsTwentyEightSignificantDigits) {
  const Decimal one = Decimal::FromInt(1), two = Decimal::FromInt(2), three = Decimal::FromInt(3);
  EXPECT_EQ((one / three).ToString(), "0.3333333333333333333333333333");
  EXPECT_EQ((two / three).ToString(), "0.6666666666666666666666666667");
  EXPECT_EQ((-two / three).ToString(), "-0.6666666666666666666666666667");
  EXPECT_EQ((Decimal::FromInt(10) / three).ToString(), "3.333333333333333333333333333");
  EXPECT_EQ((one / D("300")).ToString(), "0.0033333333333333333333333333");
  EXPECT_EQ((two / three * three).ToString(), "2.0000000000000000000000000001");

  const Decimal quarter = one / Decimal::FromInt(4);
  EXPECT_EQ(quarter.mantissa(), 25);
  EXPECT_EQ(quarter.scale(), 2);
  const Decimal two00 = D("6.00") / three;
  EXPECT_EQ(two00.mantissa(), 200);
  EXPECT_EQ(two00.scale(), 2);
  EXPECT_EQ((D("12.49") / D("0.01")).ToString(), "1249");
  EXPECT_EQ((D(kMax) / one).ToString(), kMax);
  EXPECT_TRUE((Decimal() / three).IsZero());
  EXPECT_RUNTIME_ERROR(one / Decimal(), 11, "Division by zero");
  EXPECT_RUNTIME_ERROR(Decimal() / D("0.00"), 11, "Division by zero");
}

TEST(DecimalTest, RoundingModesDifferOnTiesOnly) {
  struct Case {
    const char* value;
    int places;
    const char* halfEven;
    const char* awayFromZero;
  };
  for (const Case& c : {
           Case{"2.5", 0, "2", "3"},
           Case{"3.5", 0, "4", "4"},
           Case{"-2.5", 0, "-2", "-3"},
           Case{"-3.5", 0, "-4", "-4"},
           Case{"-2.51", 0, "-3", "-3"},
           Case{"2.45", 1, "2.4", "2.5"},
           Case{"-0.125", 2, "-0.12", "-0.13"},
           Case{"-0.005", 2, "0", "-0.01"},
           Case{"0.49999", 0, "0", "0"},
           Case{"1.25", 5, "1.25", "1.25"},
       }) {
    const Decimal v = D(c.value);
    EXPECT_EQ(v.RoundHalfEven(c.places).ToString(), c.halfEven) << c.value;
    EXPECT_EQ(v.RoundHalfAwayFromZero(c.places).ToString(), c.awayFromZero) << c.value;
  }
  EXPECT_EQ(D("-2.5").Floor().ToString(), "-3");
  EXPECT_EQ(D("-2.5").Truncate().ToString(), "-2");
  EXPECT_EQ(D("2.5").Floor().ToString(), "2");
  EXPECT_EQ(D("-2.00").Floor().ToString(), "-2");
  EXPECT_EQ(D("-0.0000000000000000000000000001").Floor().ToString(), "-1");
  EXPECT_EQ(D("1.50").Normalized().scale(), 1);
  EXPECT_TRUE(D("3.000").IsInteger());
  EXPECT_FALSE(D("3.001").IsInteger());
  EXPECT_RUNTIME_ERROR(D("1.5").RoundHalfEven(-1), 5, "Invalid procedure call or argument");
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
