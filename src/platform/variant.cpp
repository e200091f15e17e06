#include "platform/variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

namespace {

enum Index : size_t {
  kEmpty = 0,
  kNull,
  kBoolean,
  kInteger,
  kLong,
  kDouble,
  kDecimal,
  kDate,
  kString,
  kObject,
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimSpacesAndTabs(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Checks number text (sign, digits, optional "." and digits, optional
// exponent) and estimates its decimal magnitude, which says whether a value
// a double cannot hold is too large or too small.
struct NumberText {
  bool valid = false;
  long magnitude = 0;  // about log10 of the value
};

NumberText ScanNumber(std::string_view s) {
  NumberText r;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  bool anyDigit = false, seenNonZero = false;
  long integerDigits = 0, leadingFractionZeros = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    anyDigit = true;
    if (s[i] != '0') seenNonZero = true;
    if (seenNonZero) ++integerDigits;
    ++i;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      anyDigit = true;
      if (s[i] != '0') seenNonZero = true;
      if (!seenNonZero) ++leadingFractionZeros;
      ++i;
    }
  }
  if (!anyDigit) return r;
  long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return r;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      if (exponent < 1000000) exponent = exponent * 10 + (s[i] - '0');
      ++i;
    }
    if (negative) exponent = -exponent;
  }
  if (i != s.size()) return r;
  r.valid = true;
  r.magnitude = (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
  return r;
}

double TextToDouble(std::string_view text) {
  std::string_view s = TrimSpacesAndTabs(text);
  NumberText scan = ScanNumber(s);
  if (!scan.valid) throw Error::TypeMismatch();
  std::string_view body = s;
  if (!body.empty() && body[0] == '+') body.remove_prefix(1);
  double value = 0;
  auto res = std::from_chars(body.data(), body.data() + body.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    if (scan.magnitude > 0) throw Error::Overflow();
    return 0.0;
  }
  if (res.ec != std::errc() || res.ptr != body.data() + body.size()) throw Error::TypeMismatch();
  return value;
}

Decimal TextToDecimal(std::string_view text) {
  std::string_view s = TrimSpacesAndTabs(text);
  if (!ScanNumber(s).valid) throw Error::TypeMismatch();
  std::optional<Decimal> d = Decimal::Parse(s);
  if (!d) throw Error::Overflow();
  return *d;
}

// At most 15 significant digits, no trailing zeros, E notation only when
// the exponent is below -4 or above 14 ("1E+15", "1E-05").
std::string FormatDouble(double x) {
  if (x == 0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  std::string out(buf, res.ptr);
  for (char& c : out)
    if (c == 'e') c = 'E';
  return out;
}

// The value of an object as the runtime reads it in an expression: its
// default member. Nothing fails with 91; an object without a default member
// with 438.
const Variant& Deref(const Variant& v, Variant& holder) {
  if (!v.IsObject()) return v;
  const ObjectPtr& o = v.AsObject();
  if (!o) throw Error::ObjectNotSet();
  holder = o->GetMember("");
  if (holder.IsObject()) throw Error::TypeMismatch();
  return holder;
}

int64_t RoundToWhole(double x, int64_t lo, int64_t hi) {
  if (std::isnan(x)) throw Error::Overflow();
  double r = std::nearbyint(x);  // the default rounding: half to even
  if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) throw Error::Overflow();
  return static_cast<int64_t>(r);
}

// CInt and CLng: half to even, Overflow outside [lo, hi].
int64_t ToWhole(const Variant& value, int64_t lo, int64_t hi) {
  Variant holder;
  const Variant& v = Deref(value, holder);
  auto fromDecimal = [&](const Decimal& d) {
    Decimal r = d.RoundHalfEven(0);
    if (r < Decimal::FromInt(lo) || r > Decimal::FromInt(hi)) throw Error::Overflow();
    return static_cast<int64_t>(r.mantissa());
  };
  auto check = [&](int64_t x) {
    if (x < lo || x > hi) throw Error::Overflow();
    return x;
  };
  switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: throw Error::InvalidUseOfNull();
    case VarType::Boolean: return v.AsBoolean() ? -1 : 0;
    case VarType::Integer: return v.AsInteger();
    case VarType::Long: return check(v.AsLong());
    case VarType::Double: return RoundToWhole(v.AsDouble(), lo, hi);
    case VarType::Decimal: return fromDecimal(v.AsDecimal());
    case VarType::Date: return RoundToWhole(v.AsDate().ToOADate(), lo, hi);
    case VarType::String: return fromDecimal(TextToDecimal(v.AsString()));
    case VarType::Object: break;
  }
  throw Error::TypeMismatch();
}

// Arithmetic operands: Empty and Boolean count as Integers, texts as Doubles.
enum class Num { Int, Long, Dbl, Dec };

struct Operand {
  Num kind = Num::Int;
  int64_t whole = 0;
  double real = 0;
  Decimal dec;

  double AsReal() const {
    switch (kind) {
      case Num::Int:
      case Num::Long: return static_cast<double>(whole);
      case Num::Dbl: return real;
      case Num::Dec: return dec.ToDouble();
    }
    return 0;
  }
  Decimal AsDec() const {
    switch (kind) {
      case Num::Int:
      case Num::Long: return Decimal::FromInt(whole);
      case Num::Dbl: return Decimal::FromDouble(real);
      case Num::Dec: return dec;
    }
    return {};
  }
};

Operand ToOperand(const Variant& v) {
  Operand o;
  switch (v.type()) {
    case VarType::Empty: break;
    case VarType::Boolean: o.whole = v.AsBoolean() ? -1 : 0; break;
    case VarType::Integer: o.whole = v.AsInteger(); break;
    case VarType::Long:
      o.kind = Num::Long;
      o.whole = v.AsLong();
      break;
    case VarType::Double:
      o.kind = Num::Dbl;
      o.real = v.AsDouble();
      break;
    case VarType::Decimal:
      o.kind = Num::Dec;
      o.dec = v.AsDecimal();
      break;
    case VarType::Date:
      o.kind = Num::Dbl;
      o.real = v.AsDate().ToOADate();
      break;
    case VarType::String:
      o.kind = Num::Dbl;
      o.real = TextToDouble(v.AsString());
      break;
    case VarType::Null:
    case VarType::Object: throw Error::TypeMismatch();
  }
  return o;
}

enum class Op { Add, Sub, Mul };

Variant CheckedDouble(double r, double a, double b) {
  if (!std::isfinite(r) && std::isfinite(a) && std::isfinite(b)) throw Error::Overflow();
  return Variant::Double(r);
}

// Integer overflows to Long, Long to Double; Decimal with anything stays Decimal.
Variant Numeric(Op op, const Operand& a, const Operand& b) {
  Num kind = a.kind > b.kind ? a.kind : b.kind;
  switch (kind) {
    case Num::Int:
    case Num::Long: {
      int64_t r = op == Op::Add ? a.whole + b.whole : op == Op::Sub ? a.whole - b.whole : a.whole * b.whole;
      if (kind == Num::Int && r >= INT16_MIN && r <= INT16_MAX) return Variant::Integer(static_cast<int16_t>(r));
      if (r >= INT32_MIN && r <= INT32_MAX) return Variant::Long(static_cast<int32_t>(r));
      return Variant::Double(static_cast<double>(r));
    }
    case Num::Dbl: {
      double x = a.AsReal(), y = b.AsReal();
      return CheckedDouble(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y, x, y);
    }
    case Num::Dec: {
      Decimal x = a.AsDec(), y = b.AsDec();
      return Variant::Dec(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y);
    }
  }
  return {};
}

Variant DateFromNumber(double value) { return Variant::FromDate(Date::FromOADate(value)); }

}  // namespace

// ---- Construction and access ---------------------------------------------

Variant Variant::Null() { return Variant(Storage(std::in_place_index<kNull>)); }
Variant Variant::Boolean(bool value) { return Variant(Storage(std::in_place_index<kBoolean>, value)); }
Variant Variant::Integer(int16_t value) { return Variant(Storage(std::in_place_index<kInteger>, Int16{value})); }
Variant Variant::Long(int32_t value) { return Variant(Storage(std::in_place_index<kLong>, Int32{value})); }
Variant Variant::Double(double value) { return Variant(Storage(std::in_place_index<kDouble>, value)); }
Variant Variant::Dec(Decimal value) { return Variant(Storage(std::in_place_index<kDecimal>, value)); }
Variant Variant::FromDate(Date value) { return Variant(Storage(std::in_place_index<kDate>, value)); }
Variant Variant::String(std::string value) {
  return Variant(Storage(std::in_place_index<kString>, std::move(value)));
}
Variant Variant::Obj(ObjectPtr value) { return Variant(Storage(std::in_place_index<kObject>, std::move(value))); }

Variant Variant::Whole(int64_t value) {
  if (value >= INT16_MIN && value <= INT16_MAX) return Integer(static_cast<int16_t>(value));
  if (value >= INT32_MIN && value <= INT32_MAX) return Long(static_cast<int32_t>(value));
  return Dec(Decimal::FromInt(value));
}

bool Variant::IsNothing() const { return value_.index() == kObject && !std::get<kObject>(value_); }

bool Variant::IsNumber() const {
  size_t i = value_.index();
  return i == kInteger || i == kLong || i == kDouble || i == kDecimal;
}

bool Variant::IsNumeric() const {
  switch (value_.index()) {
    case kEmpty:
    case kBoolean:
    case kInteger:
    case kLong:
    case kDouble:
    case kDecimal: return true;
    case kString: {
      try {
        TextToDouble(std::get<kString>(value_));
        return true;
      } catch (const Error&) {
        return false;
      }
    }
    case kObject: {
      try {
        Variant holder;
        return Deref(*this, holder).IsNumeric();
      } catch (const Error&) {
        return false;
      }
    }
    default: return false;
  }
}

void Variant::ThrowTypeMismatch() { throw Error::TypeMismatch(); }

// ---- Conversions ---------------------------------------------------------

bool Variant::ToBoolean() const {
  switch (value_.index()) {
    case kEmpty: return false;
    case kNull: throw Error::InvalidUseOfNull();
    case kBoolean: return std::get<kBoolean>(value_);
    case kInteger: return std::get<kInteger>(value_).v != 0;
    case kLong: return std::get<kLong>(value_).v != 0;
    case kDouble: return std::get<kDouble>(value_) != 0;
    case kDecimal: return !std::get<kDecimal>(value_).IsZero();
    case kDate: return std::get<kDate>(value_) != Date();
    case kString: {
      std::string_view s = TrimSpacesAndTabs(std::get<kString>(value_));
      if (EqualsIgnoreCase(s, "true")) return true;
      if (EqualsIgnoreCase(s, "false")) return false;
      return TextToDouble(s) != 0;
    }
    default: {
      Variant holder;
      return Deref(*this, holder).ToBoolean();
    }
  }
}

int16_t Variant::ToInteger() const { return static_cast<int16_t>(ToWhole(*this, INT16_MIN, INT16_MAX)); }

int32_t Variant::ToLong() const { return static_cast<int32_t>(ToWhole(*this, INT32_MIN, INT32_MAX)); }

double Variant::ToDouble() const {
  switch (value_.index()) {
    case kEmpty: return 0;
    case kNull: throw Error::InvalidUseOfNull();
    case kBoolean: return std::get<kBoolean>(value_) ? -1 : 0;
    case kInteger: return std::get<kInteger>(value_).v;
    case kLong: return std::get<kLong>(value_).v;
    case kDouble: return std::get<kDouble>(value_);
    case kDecimal: return std::get<kDecimal>(value_).ToDouble();
    case kDate: return std::get<kDate>(value_).ToOADate();
    case kString: return TextToDouble(std::get<kString>(value_));
    default: {
      Variant holder;
      return Deref(*this, holder).ToDouble();
    }
  }
}

Decimal Variant::ToDecimal() const {
  switch (value_.index()) {
    case kEmpty: return {};
    case kNull: throw Error::InvalidUseOfNull();
    case kBoolean: return Decimal::FromInt(std::get<kBoolean>(value_) ? -1 : 0);
    case kInteger: return Decimal::FromInt(std::get<kInteger>(value_).v);
    case kLong: return Decimal::FromInt(std::get<kLong>(value_).v);
    case kDouble: return Decimal::FromDouble(std::get<kDouble>(value_));
    case kDecimal: return std::get<kDecimal>(value_);
    case kDate: return Decimal::FromDouble(std::get<kDate>(value_).ToOADate());
    case kString: return TextToDecimal(std::get<kString>(value_));
    default: {
      Variant holder;
      return Deref(*this, holder).ToDecimal();
    }
  }
}

Date Variant::ToDate() const {
  switch (value_.index()) {
    case kEmpty: return {};
    case kNull: throw Error::InvalidUseOfNull();
    case kDate: return std::get<kDate>(value_);
    case kString: {
      std::optional<Date> d = Date::Parse(TrimSpacesAndTabs(std::get<kString>(value_)));
      if (!d) throw Error::TypeMismatch();
      return *d;
    }
    case kObject: {
      Variant holder;
      return Deref(*this, holder).ToDate();
    }
    default: return Date::FromOADate(ToDouble());
  }
}

std::string Variant::ToString() const {
  switch (value_.index()) {
    case kEmpty: return {};
    case kNull: throw Error::InvalidUseOfNull();
    case kBoolean: return std::get<kBoolean>(value_) ? "True" : "False";
    case kInteger: return std::to_string(std::get<kInteger>(value_).v);
    case kLong: return std::to_string(std::get<kLong>(value_).v);
    case kDouble: return FormatDouble(std::get<kDouble>(value_));
    case kDecimal: return std::get<kDecimal>(value_).ToString();
    case kDate: return std::get<kDate>(value_).ToDayMonthYear();
    case kString: return std::get<kString>(value_);
    default: {
      Variant holder;
      return Deref(*this, holder).ToString();
    }
  }
}

std::string Variant::Text() const {
  if (IsEmptyOrNull()) return {};
  return ToString();
}

bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

// ---- Operators -----------------------------------------------------------

Variant Concat(const Variant& a, const Variant& b) {
  if (a.IsNull() && b.IsNull()) return Variant::Null();
  return Variant::String(a.Text() + b.Text());
}

Variant Add(const Variant& a0, const Variant& b0) {
  Variant ha, hb;
  const Variant& a = Deref(a0, ha);
  const Variant& b = Deref(b0, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  VarType ta = a.type(), tb = b.type();
  if (ta == VarType::String && (tb == VarType::String || tb == VarType::Empty)) {
    return Variant::String(a.AsString() + (tb == VarType::String ? b.AsString() : std::string()));
  }
  if (ta == VarType::Empty && tb == VarType::String) return b;
  if (ta == VarType::Date || tb == VarType::Date) return DateFromNumber(a.ToDouble() + b.ToDouble());
  return Numeric(Op::Add, ToOperand(a), ToOperand(b));
}

Variant Subtract(const Variant& a0, const Variant& b0) {
  Variant ha, hb;
  const Variant& a = Deref(a0, ha);
  const Variant& b = Deref(b0, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  VarType ta = a.type(), tb = b.type();
  if (ta == VarType::Date && tb == VarType::Date) {
    double x = a.ToDouble(), y = b.ToDouble();
    return Variant::Double(x - y);
  }
  if (ta == VarType::Date || tb == VarType::Date) return DateFromNumber(a.ToDouble() - b.ToDouble());
  return Numeric(Op::Sub, ToOperand(a), ToOperand(b));
}

Variant Multiply(const Variant& a0, const Variant& b0) {
  Variant ha, hb;
  const Variant& a = Deref(a0, ha);
  const Variant& b = Deref(b0, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  return Numeric(Op::Mul, ToOperand(a), ToOperand(b));
}

Variant Divide(const Variant& a0, const Variant& b0) {
  Variant ha, hb;
  const Variant& a = Deref(a0, ha);
  const Variant& b = Deref(b0, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  Operand x = ToOperand(a), y = ToOperand(b);
  if (x.kind == Num::Dec || y.kind == Num::Dec) return Variant::Dec(x.AsDec() / y.AsDec());
  double n = x.AsReal(), d = y.AsReal();
  if (d == 0) {
    if (n == 0) throw Error::Overflow();  // 0 / 0
    throw Error::DivisionByZero();
  }
  return CheckedDouble(n / d, n, d);
}

Variant Negate(const Variant& a0) {
  Variant ha;
  const Variant& a = Deref(a0, ha);
  switch (a.type()) {
    case VarType::Null: return a;
    case VarType::Empty: return Variant::Integer(0);
    case VarType::Date: return DateFromNumber(-a.ToDouble());
    default: break;
  }
  Operand o = ToOperand(a);
  switch (o.kind) {
    case Num::Int:
    case Num::Long: return Numeric(Op::Sub, Operand{o.kind, 0, 0, {}}, o);
    case Num::Dbl: return Variant::Double(-o.real);
    case Num::Dec: return Variant::Dec(-o.dec);
  }
  return {};
}

std::optional<int> Compare(const Variant& a0, const Variant& b0) {
  Variant ha, hb;
  const Variant& a = Deref(a0, ha);
  const Variant& b = Deref(b0, hb);
  if (a.IsNull() || b.IsNull()) return std::nullopt;
  auto sign = [](auto x, auto y) { return x < y ? -1 : (x > y ? 1 : 0); };
  VarType ta = a.type(), tb = b.type();
  bool sa = ta == VarType::String, sb = tb == VarType::String;
  if (sa || sb) {
    if (sa && sb) return sign(a.AsString().compare(b.AsString()), 0);
    if (ta == VarType::Empty) return b.AsString().empty() ? 0 : -1;
    if (tb == VarType::Empty) return a.AsString().empty() ? 0 : 1;
    return sa ? 1 : -1;  // a number is less than a text
  }
  Operand x = ToOperand(a), y = ToOperand(b);
  if (x.kind == Num::Dec || y.kind == Num::Dec) {
    // A Double beyond the Decimal range is beyond every Decimal.
    auto exact = [](const Operand& o, Decimal& out) {
      try {
        out = o.AsDec();
        return true;
      } catch (const Error&) {
        return false;
      }
    };
    Decimal dx, dy;
    bool okx = exact(x, dx), oky = exact(y, dy);
    if (okx && oky) return Decimal::Compare(dx, dy);
    if (!okx) return x.real > 0 ? 1 : -1;
    return y.real > 0 ? -1 : 1;
  }
  if (x.kind != Num::Dbl && y.kind != Num::Dbl) return sign(x.whole, y.whole);
  return sign(x.AsReal(), y.AsReal());
}

}  // namespace zelmora
