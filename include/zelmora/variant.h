// The loosely typed value of the component's interfaces: Empty, Null,
// Boolean, Integer (16-bit), Long (32-bit), Double, Decimal, Date, String or
// an object reference. Values are built through named factories only, so a
// double never turns into an amount by accident; every conversion rule of
// the runtime (errors 13, 6 and 94, half-to-even rounding, the text forms)
// lives in the library.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "zelmora/date.h"
#include "zelmora/decimal.h"
#include "zelmora/object.h"

namespace zelmora {

// The runtime's VarType codes.
enum class VarType : uint8_t {
  Empty = 0,
  Null = 1,
  Integer = 2,
  Long = 3,
  Double = 5,
  Date = 7,
  String = 8,
  Object = 9,
  Boolean = 11,
  Decimal = 14,
};

// The loosely typed value of the component's properties and results.
class Variant {
 public:
  Variant() = default;  // Empty

  static Variant Null();
  static Variant Boolean(bool value);
  static Variant Integer(int16_t value);
  static Variant Long(int32_t value);
  static Variant Double(double value);
  static Variant Dec(Decimal value);
  static Variant FromDate(Date value);
  static Variant String(std::string value);
  static Variant Obj(ObjectPtr value);  // nullptr is Nothing
  // The smallest integer kind that holds the value: Integer, Long, then Decimal.
  static Variant Whole(int64_t value);

  VarType type() const {
    static constexpr VarType kTypes[] = {VarType::Empty,  VarType::Null,    VarType::Boolean, VarType::Integer,
                                         VarType::Long,   VarType::Double,  VarType::Decimal, VarType::Date,
                                         VarType::String, VarType::Object};
    return kTypes[value_.index()];
  }
  bool IsEmpty() const { return value_.index() == 0; }
  bool IsNull() const { return value_.index() == 1; }
  bool IsEmptyOrNull() const { return value_.index() <= 1; }
  bool IsObject() const { return type() == VarType::Object; }
  bool IsNothing() const;  // an object reference that holds nothing
  // Integer, Long, Double, Decimal (the kinds arithmetic takes as they are).
  bool IsNumber() const;
  // The runtime's IsNumeric: numbers, Booleans, Empty, and text that parses as a number.
  bool IsNumeric() const;

  // Direct access to the held value; throws Error::TypeMismatch when the kind differs.
  bool AsBoolean() const { return Held<bool>(); }
  int16_t AsInteger() const { return Held<Int16>().v; }
  int32_t AsLong() const { return Held<Int32>().v; }
  double AsDouble() const { return Held<double>(); }
  const Decimal& AsDecimal() const { return Held<Decimal>(); }
  const Date& AsDate() const { return Held<Date>(); }
  const std::string& AsString() const { return Held<std::string>(); }
  const ObjectPtr& AsObject() const { return Held<ObjectPtr>(); }
  // The held object cast to T; nullptr when Nothing or of another class.
  template <class T>
  std::shared_ptr<T> ObjectAs() const {
    if (!IsObject()) return nullptr;
    return std::dynamic_pointer_cast<T>(AsObject());
  }

  // Conversions with the runtime's rules (CBool, CInt, CLng, CDbl, CDec,
  // CDate, CStr). Empty converts to 0, "" or false; Null fails with 94;
  // text that is not a number fails with 13; out of range fails with 6.
  // CInt and CLng round half to even.
  bool ToBoolean() const;
  int16_t ToInteger() const;
  int32_t ToLong() const;
  double ToDouble() const;
  Decimal ToDecimal() const;
  Date ToDate() const;
  std::string ToString() const;
  // The text that concatenation uses: as ToString, but Empty and Null give "".
  std::string Text() const;

  // Identity comparison for tests and containers: same kind and same value.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  struct EmptyTag {
    friend bool operator==(EmptyTag, EmptyTag) { return true; }
  };
  struct NullTag {
    friend bool operator==(NullTag, NullTag) { return true; }
  };
  struct Int16 {
    int16_t v;
    friend bool operator==(Int16, Int16) = default;
  };
  struct Int32 {
    int32_t v;
    friend bool operator==(Int32, Int32) = default;
  };
  using Storage = std::variant<EmptyTag, NullTag, bool, Int16, Int32, double, Decimal, Date,
                               std::string, ObjectPtr>;
  explicit Variant(Storage s) : value_(std::move(s)) {}
  // The held value of kind T; a value of another kind is a type mismatch.
  template <class T>
  const T& Held() const {
    if (const T* p = std::get_if<T>(&value_)) return *p;
    ThrowTypeMismatch();
  }
  [[noreturn]] static void ThrowTypeMismatch();
  Storage value_;
};

// Runtime operators. Each follows the runtime: Null in arithmetic gives Null,
// "+" adds numbers and concatenates two texts, "&" always concatenates.
Variant Concat(const Variant& a, const Variant& b);  // a & b
Variant Add(const Variant& a, const Variant& b);
Variant Subtract(const Variant& a, const Variant& b);
Variant Multiply(const Variant& a, const Variant& b);
Variant Divide(const Variant& a, const Variant& b);  // "/" is always fractional
Variant Negate(const Variant& a);
// Comparison of two values as the runtime's "=", "<" ... on Variants:
// nullopt when either is Null; numbers compare by value (exactly when one is
// a Decimal), texts compare binary, a number is less than a text, Empty is 0
// or "" as the other side asks. Returns -1, 0 or 1.
std::optional<int> Compare(const Variant& a, const Variant& b);

}  // namespace zelmora
