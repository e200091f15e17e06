#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "platform/error.h"
#include "support/error_of.h"
#include "platform/variant.h"

namespace zelmora {

// Failure messages show the kind and the text of a value.
static void PrintTo(const Variant& v, std::ostream* os) {
  *os << "VarType " << static_cast<int>(v.type()) << " ";
  try {
    *os << '"' << v.Text() << '"';
  } catch (const Error& e) {
    *os << "(error " << e.number() << ")";
  }
}

namespace {

// A double never becomes a value by accident.
static_assert(!std::is_constructible_v<Variant, double>);
static_assert(!std::is_constructible_v<Variant, int>);
static_assert(!std::is_constructible_v<Variant, const char*>);
static_assert(!std::is_constructible_v<Decimal, double>);
static_assert(!std::is_convertible_v<double, Decimal>);
static_assert(!std::is_convertible_v<int64_t, Decimal>);

Variant Dec(std::string_view text) {
  auto d = Decimal::Parse(text);
  if (!d) throw std::invalid_argument("not a decimal: " + std::string(text));
  return Variant::Dec(*d);
}
Variant Str(const char* text) { return Variant::String(text); }
Variant Int(int16_t v) { return Variant::Integer(v); }
Variant Dbl(double v) { return Variant::Double(v); }

class Plain : public Object {
 public:
  std::string_view Kind() const override { return "Plain"; }
};

class WithDefault : public Object {
 public:
  explicit WithDefault(Variant v) : value_(std::move(v)) {}
  std::string_view Kind() const override { return "Field"; }
  Variant GetMember(std::string_view name) override {
    if (name.empty()) return value_;
    return Object::GetMember(name);
  }

 private:
  Variant value_;
};

TEST(VariantTest, KindsAndAccessors) {
  EXPECT_EQ(Variant().type(), VarType::Empty);
  EXPECT_EQ(Variant::Null().type(), VarType::Null);
  EXPECT_EQ(Variant::Boolean(false).type(), VarType::Boolean);
  EXPECT_EQ(Int(1).type(), VarType::Integer);
  EXPECT_EQ(Variant::Long(1).type(), VarType::Long);
  EXPECT_EQ(Dbl(1).type(), VarType::Double);
  EXPECT_EQ(Dec("1").type(), VarType::Decimal);
  EXPECT_EQ(Variant::FromDate(Date()).type(), VarType::Date);
  EXPECT_EQ(Str("").type(), VarType::String);
  EXPECT_EQ(Variant::Obj(nullptr).type(), VarType::Object);
  EXPECT_TRUE(Variant::Obj(nullptr).IsNothing());
  EXPECT_FALSE(Variant::Obj(std::make_shared<Plain>()).IsNothing());
  EXPECT_EQ(Variant::Obj(std::make_shared<Plain>()).ObjectAs<WithDefault>(), nullptr);

  EXPECT_EQ(Variant::Whole(-32768).type(), VarType::Integer);
  EXPECT_EQ(Variant::Whole(32768).type(), VarType::Long);
  EXPECT_EQ(Variant::Whole(-2147483648LL).type(), VarType::Long);
  EXPECT_EQ(Variant::Whole(2147483648LL), Dec("2147483648"));

  EXPECT_RUNTIME_ERROR(Int(1).AsLong(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("1").AsDouble(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Variant().AsString(), 13, "Type mismatch");

  for (const Variant& v : {Variant(), Variant::Boolean(true), Int(0), Dbl(0.5), Dec("1"), Str(" -1.5E3 "), Str("+.5")}) {
    EXPECT_TRUE(v.IsNumeric()) << v.Text();
  }
  for (const Variant& v : {Variant::Null(), Str(""), Str("1,5"), Str("abc"), Str("1E400"),
                           Variant::FromDate(*Date::FromYMD(2024, 1, 1)), Variant::Obj(nullptr)}) {
    EXPECT_FALSE(v.IsNumeric()) << v.Text();
  }
}

TEST(VariantTest, ConversionsFailWithTheRuntimeErrors) {
  EXPECT_RUNTIME_ERROR(Str("").ToLong(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("abc").ToInteger(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("12abc").ToDouble(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("").ToDecimal(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("maybe").ToBoolean(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("2024-13-01").ToDate(), 13, "Type mismatch");
  EXPECT_RUNTIME_ERROR(Str("").ToDate(), 13, "Type mismatch");

  EXPECT_RUNTIME_ERROR(Variant::Null().ToLong(), 94, "Invalid use of Null");
  EXPECT_RUNTIME_ERROR(Variant::Null().ToDouble(), 94, "Invalid use of Null");
  EXPECT_RUNTIME_ERROR(Variant::Null().ToDecimal(), 94, "Invalid use of Null");
  EXPECT_RUNTIME_ERROR(Variant::Null().ToBoolean(), 94, "Invalid use of Null");
  EXPECT_RUNTIME_ERROR(Variant::Null().ToString(), 94, "Invalid use of Null");
  EXPECT_RUNTIME_ERROR(Variant::Null().ToDate(), 94, "Invalid use of Null");

  EXPECT_RUNTIME_ERROR(Variant::Long(32768).ToInteger(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Dbl(32767.5).ToInteger(), 6, "Overflow");  // rounds to 32768
  EXPECT_RUNTIME_ERROR(Dec("-32768.51").ToInteger(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Str("40000").ToInteger(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Dbl(2147483647.5).ToLong(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Str("1E400").ToDouble(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Str("1E30").ToDecimal(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Dbl(1e30).ToDecimal(), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Dbl(1e7).ToDate(), 6, "Overflow");

  EXPECT_RUNTIME_ERROR(Variant::Obj(nullptr).ToLong(), 91, "Object variable or With block variable not set");
  EXPECT_RUNTIME_ERROR(Variant::Obj(std::make_shared<Plain>()).ToString(), 438,
                       "Object doesn't support this property or method");
  // An object in an expression is its default member.
  EXPECT_EQ(Variant::Obj(std::make_shared<WithDefault>(Dec("12.49"))).ToString(), "12.49");
}

TEST(VariantTest, WholeNumbersRoundHalfToEven) {
  struct Case {
    double value;
    int expected;
  };
  for (const Case& c : {Case{2.5, 2}, Case{3.5, 4}, Case{-2.5, -2}, Case{-3.5, -4}, Case{0.5, 0}, Case{1.5, 2},
                        Case{2.5000001, 3}, Case{-0.4, 0}, Case{32766.5, 32766}, Case{-32768.5, -32768}}) {
    EXPECT_EQ(Dbl(c.value).ToInteger(), c.expected) << c.value;
    EXPECT_EQ(Dbl(c.value).ToLong(), c.expected) << c.value;
  }
  EXPECT_EQ(Dec("2.5").ToInteger(), 2);
  EXPECT_EQ(Dec("-3.5").ToLong(), -4);
  EXPECT_EQ(Str(" 2.5 ").ToInteger(), 2);
  EXPECT_EQ(Str("3.5").ToLong(), 4);
  // The text is read exactly, not through a double.
  EXPECT_EQ(Str("2.50000000000000000001").ToInteger(), 3);
  EXPECT_EQ(Str("1e3").ToInteger(), 1000);
  EXPECT_EQ(Variant::Boolean(true).ToInteger(), -1);
  EXPECT_EQ(Variant().ToLong(), 0);
  EXPECT_EQ(Variant::FromDate(*Date::FromYMDHMS(2024, 3, 5, 18, 0, 0)).ToLong(), 45357);
  EXPECT_EQ(Variant::Long(-2147483647 - 1).ToLong(), -2147483647 - 1);
}

TEST(VariantTest, TextOfValues) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{5.0 / 3, "1.66666666666667"}, Case{6.0 / 3, "2"}, Case{0.5, "0.5"},
                        Case{-0.25, "-0.25"}, Case{0.1 + 0.2, "0.3"}, Case{1.0 / 3, "0.333333333333333"},
                        Case{123456789012345.0, "123456789012345"}, Case{1e15, "1E+15"}, Case{1e20, "1E+20"},
                        Case{-1234567890123456789.0, "-1.23456789012346E+18"}, Case{0.0001, "0.0001"},
                        Case{0.00001, "1E-05"}, Case{-0.0, "0"}, Case{12.49 - 12, "0.49"}}) {
    EXPECT_EQ(Dbl(c.value).ToString(), c.text) << c.text;
  }
  EXPECT_EQ(Dec("1.50").ToString(), "1.5");
  EXPECT_EQ(Dec("-0.0000000000000000000000000001").ToString(), "-0.0000000000000000000000000001");
  EXPECT_EQ(Variant::Boolean(true).ToString(), "True");
  EXPECT_EQ(Variant::Boolean(false).ToString(), "False");
  EXPECT_EQ(Int(-5).ToString(), "-5");
  EXPECT_EQ(Variant::Long(-2147483647 - 1).ToString(), "-2147483648");
  EXPECT_EQ(Variant::FromDate(*Date::FromYMD(2024, 3, 5)).ToString(), "05/03/2024");
  EXPECT_EQ(Variant::FromDate(*Date::FromYMDHMS(2024, 3, 5, 7, 8, 9)).ToString(), "05/03/2024 07:08:09");
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(Variant().Text(), "");
  EXPECT_EQ(Variant::Null().Text(), "");
}

TEST(VariantTest, ConversionsThatSucceed) {
  EXPECT_EQ(Str(" 12.5 ").ToDouble(), 12.5);
  EXPECT_EQ(Str("-1E-3").ToDouble(), -0.001);
  EXPECT_EQ(Str("12.49").ToDecimal(), *Decimal::Parse("12.49"));
  EXPECT_EQ(Dbl(12.49).ToDecimal().ToString(), "12.49");
  EXPECT_EQ(Variant::Boolean(true).ToDouble(), -1);
  EXPECT_EQ(Variant::Boolean(true).ToDecimal(), Decimal::FromInt(-1));
  EXPECT_EQ(Dec("0.49").ToDouble(), 0.49);
  EXPECT_TRUE(Str(" True ").ToBoolean());
  EXPECT_FALSE(Str("false").ToBoolean());
  EXPECT_FALSE(Str("0").ToBoolean());
  EXPECT_TRUE(Str("-0.5").ToBoolean());
  EXPECT_TRUE(Dec("0.0001").ToBoolean());
  EXPECT_FALSE(Variant().ToBoolean());
  EXPECT_EQ(Str("05/03/2024").ToDate(), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Str("20240305").ToDate(), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Variant().ToDate(), Date());
  EXPECT_EQ(Dbl(45356.25).ToDate(), Date::FromYMDHMS(2024, 3, 5, 6, 0, 0));
  EXPECT_EQ(Variant::FromDate(*Date::FromYMD(2024, 3, 5)).ToDouble(), 45356);
}

TEST(VariantTest, ArithmeticFollowsTheRuntime) {
  EXPECT_EQ(Add(Int(32767), Int(1)), Variant::Long(32768));
  EXPECT_EQ(Add(Int(1), Int(1)), Int(2));
  EXPECT_EQ(Add(Variant::Long(2147483647), Int(1)), Dbl(2147483648.0));
  EXPECT_EQ(Multiply(Int(200), Int(200)), Variant::Long(40000));
  EXPECT_EQ(Subtract(Variant::Boolean(true), Variant::Boolean(true)), Int(0));
  EXPECT_EQ(Add(Variant(), Variant()), Int(0));
  EXPECT_EQ(Add(Dec("0.1"), Dbl(0.2)), Dec("0.3"));
  EXPECT_EQ(Add(Dbl(0.2), Dec("0.1")).type(), VarType::Decimal);
  EXPECT_EQ(Subtract(Dec("12.49"), Int(12)), Dec("0.49"));
  EXPECT_EQ(Multiply(Dec("12.49"), Variant::Long(3)), Dec("37.47"));
  EXPECT_EQ(Add(Dbl(0.5), Variant::Long(1)), Dbl(1.5));
  EXPECT_EQ(Divide(Int(6), Int(3)), Dbl(2));
  EXPECT_EQ(Divide(Int(7), Int(2)), Dbl(3.5));
  EXPECT_EQ(Divide(Dec("1"), Int(3)), Dec("0.3333333333333333333333333333"));
  EXPECT_EQ(Divide(Dbl(1), Dec("4")), Dec("0.25"));
  EXPECT_RUNTIME_ERROR(Divide(Int(1), Int(0)), 11, "Division by zero");
  EXPECT_RUNTIME_ERROR(Divide(Int(0), Variant()), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Divide(Dec("1"), Dec("0")), 11, "Division by zero");
  EXPECT_RUNTIME_ERROR(Multiply(Dbl(1e200), Dbl(1e200)), 6, "Overflow");
  EXPECT_RUNTIME_ERROR(Add(Str("a"), Int(2)), 13, "Type mismatch");

  // Null spreads through arithmetic; "+" of two texts concatenates.
  EXPECT_TRUE(Add(Variant::Null(), Int(1)).IsNull());
  EXPECT_TRUE(Divide(Int(1), Variant::Null()).IsNull());
  EXPECT_TRUE(Negate(Variant::Null()).IsNull());
  EXPECT_EQ(Add(Str("a"), Str("b")), Str("ab"));
  EXPECT_EQ(Add(Str("a"), Variant()), Str("a"));
  EXPECT_EQ(Add(Str("1"), Int(2)), Dbl(3));
  EXPECT_EQ(Subtract(Str("3"), Str("1")), Dbl(2));

  EXPECT_EQ(Negate(Int(-32768)), Variant::Long(32768));
  EXPECT_EQ(Negate(Variant::Long(-2147483647 - 1)), Dbl(2147483648.0));
  EXPECT_EQ(Negate(Variant::Boolean(true)), Int(1));
  EXPECT_EQ(Negate(Dec("1.50")), Dec("-1.5"));

  const Variant day = Variant::FromDate(*Date::FromYMD(2024, 2, 28));
  EXPECT_EQ(Add(day, Int(1)), Variant::FromDate(*Date::FromYMD(2024, 2, 29)));
  EXPECT_EQ(Subtract(day, Int(59)), Variant::FromDate(*Date::FromYMD(2023, 12, 31)));
  EXPECT_EQ(Subtract(Variant::FromDate(*Date::FromYMD(2024, 3, 1)), day), Dbl(2));

  EXPECT_TRUE(Concat(Variant::Null(), Variant::Null()).IsNull());
  EXPECT_EQ(Concat(Variant::Null(), Str("x")), Str("x"));
  EXPECT_EQ(Concat(Variant(), Int(5)), Str("5"));
  EXPECT_EQ(Concat(Dbl(0.5), Dec("1.50")), Str("0.51.5"));
  EXPECT_EQ(Concat(Variant::Boolean(false), Dbl(1e20)), Str("False1E+20"));
}

TEST(VariantTest, ComparisonAndIdentity) {
  EXPECT_EQ(Compare(Variant::Null(), Int(1)), std::nullopt);
  EXPECT_EQ(Compare(Variant::Null(), Variant::Null()), std::nullopt);
  EXPECT_EQ(Compare(Int(1), Dbl(1.0)), 0);
  EXPECT_EQ(Compare(Variant::Long(100000), Int(5)), 1);
  EXPECT_EQ(Compare(Dec("0.3"), Dbl(0.1 + 0.2)), 0);
  EXPECT_EQ(Compare(Dec("1.50"), Dec("1.5")), 0);
  EXPECT_EQ(Compare(Dec("79228162514264337593543950335"), Dbl(1e30)), -1);
  EXPECT_EQ(Compare(Dbl(-1e30), Dec("-79228162514264337593543950335")), -1);
  EXPECT_EQ(Compare(Str("abc"), Str("abd")), -1);
  EXPECT_EQ(Compare(Str("B"), Str("a")), -1);  // binary
  EXPECT_EQ(Compare(Str("ab"), Str("ab ")), -1);
  EXPECT_EQ(Compare(Int(5), Str("1")), -1);  // a number is less than a text
  EXPECT_EQ(Compare(Str("1"), Int(5)), 1);
  EXPECT_EQ(Compare(Variant(), Str("")), 0);
  EXPECT_EQ(Compare(Variant(), Str("a")), -1);
  EXPECT_EQ(Compare(Variant(), Int(0)), 0);
  EXPECT_EQ(Compare(Variant(), Dbl(-1)), 1);
  EXPECT_EQ(Compare(Variant::Boolean(true), Int(0)), -1);
  EXPECT_EQ(Compare(Variant::FromDate(*Date::FromYMD(2024, 1, 2)), Variant::FromDate(*Date::FromYMD(2024, 1, 1))), 1);

  EXPECT_EQ(Dec("1.5"), Dec("1.50"));
  EXPECT_NE(Int(1), Variant::Long(1));
  EXPECT_NE(Dbl(1), Dec("1"));
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_NE(Str(""), Variant());
  EXPECT_EQ(Variant::Null(), Variant::Null());
  auto shared = std::make_shared<Plain>();
  EXPECT_EQ(Variant::Obj(shared), Variant::Obj(shared));
  EXPECT_NE(Variant::Obj(shared), Variant::Obj(std::make_shared<Plain>()));
}

}  // namespace
}  // namespace zelmora
