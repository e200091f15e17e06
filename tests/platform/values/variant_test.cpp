#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

#include "platform/error.h"
#include "support/error_of.h"
#include "support/file_bytes.h"
#include "support/value_text.h"
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

TEST(VariantTest, ObjectsAndWholeNumbers) {
  EXPECT_TRUE(Variant::Obj(nullptr).IsNothing());
  EXPECT_FALSE(Variant::Obj(std::make_shared<Plain>()).IsNothing());
  EXPECT_EQ(Variant::Obj(std::make_shared<Plain>()).ObjectAs<WithDefault>(), nullptr);
  EXPECT_RUNTIME_ERROR(Variant::Obj(std::make_shared<Plain>()).ToString(), 438,
                       "Object doesn't support this property or method");
  // An object in an expression is its default member.
  EXPECT_EQ(Variant::Obj(std::make_shared<WithDefault>(Dec("12.49"))).ToString(), "12.49");
  auto shared = std::make_shared<Plain>();
  EXPECT_EQ(Variant::Obj(shared), Variant::Obj(shared));
  EXPECT_NE(Variant::Obj(shared), Variant::Obj(std::make_shared<Plain>()));

  EXPECT_EQ(Variant::Whole(-32768).type(), VarType::Integer);
  EXPECT_EQ(Variant::Whole(32768).type(), VarType::Long);
  EXPECT_EQ(Variant::Whole(-2147483648LL).type(), VarType::Long);
  EXPECT_EQ(Variant::Whole(2147483648LL), Dec("2147483648"));
}

using testing::ParseValue;

Variant Apply(const std::string& operation, const std::vector<Variant>& a) {
  static const std::map<std::string, std::function<Variant(const std::vector<Variant>&)>> operations = {
      {"Add", [](auto& a) { return Add(a[0], a[1]); }},
      {"Subtract", [](auto& a) { return Subtract(a[0], a[1]); }},
      {"Multiply", [](auto& a) { return Multiply(a[0], a[1]); }},
      {"Divide", [](auto& a) { return Divide(a[0], a[1]); }},
      {"Concat", [](auto& a) { return Concat(a[0], a[1]); }},
      {"Negate", [](auto& a) { return Negate(a[0]); }},
      {"Compare", [](auto& a) {
         const std::optional<int> c = Compare(a[0], a[1]);
         return c ? Variant::Integer(static_cast<int16_t>(*c)) : Variant::Null();
       }},
      {"Same", [](auto& a) { return Variant::Boolean(a[0] == a[1]); }},
      {"IsNumeric", [](auto& a) { return Variant::Boolean(a[0].IsNumeric()); }},
      {"AsLong", [](auto& a) { return Variant::Long(a[0].AsLong()); }},
      {"AsDouble", [](auto& a) { return Variant::Double(a[0].AsDouble()); }},
      {"AsString", [](auto& a) { return Variant::String(a[0].AsString()); }},
      {"ToInteger", [](auto& a) { return Variant::Integer(a[0].ToInteger()); }},
      {"ToLong", [](auto& a) { return Variant::Long(a[0].ToLong()); }},
      {"ToDouble", [](auto& a) { return Variant::Double(a[0].ToDouble()); }},
      {"ToDecimal", [](auto& a) { return Variant::Dec(a[0].ToDecimal()); }},
      {"ToBoolean", [](auto& a) { return Variant::Boolean(a[0].ToBoolean()); }},
      {"ToDate", [](auto& a) { return Variant::FromDate(a[0].ToDate()); }},
      {"ToString", [](auto& a) { return Variant::String(a[0].ToString()); }},
      {"Text", [](auto& a) { return Variant::String(a[0].Text()); }},
  };
  return operations.at(operation)(a);
}

// Each line of platform/values/variant_cases.txt: the operation gives a
// value of the same kind and value, or fails with the error written.
TEST(VariantTest, ConversionsArithmeticAndComparisonFollowTheRuntime) {
  std::istringstream lines(testing::TestFile("platform/values/variant_cases.txt"));
  int cases = 0;
  for (std::string line; std::getline(lines, line);) {
    const size_t arrow = line.find(" => ");
    if (line.empty() || line[0] == '#' || arrow == std::string::npos) continue;
    SCOPED_TRACE(line);
    std::istringstream words(line.substr(0, arrow));
    std::string operation, word;
    words >> operation;
    std::vector<Variant> args;
    while (words >> word) {
      while (word.starts_with("s'") && (word.size() < 3 || !word.ends_with("'"))) {
        std::string more;
        if (!std::getline(words, more, '\'')) break;
        word += more + "'";
      }
      args.push_back(ParseValue(word));
    }
    const std::string expected = line.substr(arrow + 4);
    Variant result;
    const std::string error = testing::ErrorOf([&] { result = Apply(operation, args); });
    if (std::isdigit(static_cast<unsigned char>(expected[0]))) {
      EXPECT_EQ(error, expected);
    } else {
      EXPECT_EQ(error, "no error");
      EXPECT_EQ(result, ParseValue(expected));
    }
    ++cases;
  }
  EXPECT_EQ(cases, 177);
}

}  // namespace
}  // namespace zelmora
