// Exact decimal number: a signed integer mantissa and a power-of-ten scale,
// with the range of the runtime's Decimal (|mantissa| <= 2^96 - 1, scale
// 0..28, so at least 28 significant digits). Amounts are Decimals from the
// database to the file: 12.49 stays 12.49, and 0.10 + 0.20 is 0.30.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelmora {

// An exact decimal number: the amounts of movements, lines and totals.
class Decimal {
 public:
  using Mantissa = __int128;
  static constexpr int kMaxScale = 28;

  constexpr Decimal() = default;  // zero

  // value = mantissa / 10^scale. Throws Error::Overflow when out of range.
  static Decimal FromParts(Mantissa mantissa, int scale);
  static Decimal FromInt(int64_t value) { return FromParts(value, 0); }
  // Plain decimal text: optional sign, digits, optional "." and digits,
  // optional exponent ("1.5E3"); surrounding blanks allowed. Digits beyond
  // the 28th decimal are rounded half to even. nullopt when not a number or
  // out of range.
  static std::optional<Decimal> Parse(std::string_view text);
  // The runtime's conversion: the double is first rounded to 15 significant
  // digits, so the double nearest 12.49 becomes exactly 12.49. Throws
  // Error::Overflow for NaN, infinities and values out of range.
  static Decimal FromDouble(double value);
  // The shortest decimal that reads back as the same double (at most 17
  // significant digits): the number a double holds when it was stored from
  // a decimal, as the embedded database stores DECIMAL columns. Up to 15
  // digits it equals FromDouble; beyond, it keeps the digits FromDouble
  // would round away (12345678901234.56 stays exact). Throws
  // Error::Overflow as FromDouble does.
  static Decimal FromStoredDouble(double value);

  Mantissa mantissa() const { return mantissa_; }
  int scale() const { return scale_; }
  int Sign() const { return mantissa_ > 0 ? 1 : (mantissa_ < 0 ? -1 : 0); }
  bool IsZero() const { return mantissa_ == 0; }
  bool IsInteger() const;  // no fractional part

  double ToDouble() const;
  // Exact digits without trailing zeros: "1.5" for 1.50, "-0.25", "0".
  std::string ToString() const;
  // Exactly `places` decimals (rounded half to even when it has more), for
  // fixed-scale database columns and displays: 1.5 -> "1.50" at 2.
  std::string ToFixed(int places) const;

  Decimal operator-() const;
  Decimal Abs() const;
  // Arithmetic is exact when the result fits; otherwise the least
  // significant digits are rounded half to even (as the runtime does).
  // Division keeps 28 significant digits. Errors: Overflow, DivisionByZero.
  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  friend Decimal operator/(const Decimal& a, const Decimal& b);
  Decimal& operator+=(const Decimal& b) { return *this = *this + b; }
  Decimal& operator-=(const Decimal& b) { return *this = *this - b; }

  // Rounding to a number of decimals (0..28).
  Decimal RoundHalfEven(int places) const;      // the runtime's Round and CInt/CLng rule
  Decimal RoundHalfAwayFromZero(int places) const;
  Decimal Floor() const;     // Int: toward minus infinity
  Decimal Truncate() const;  // Fix: toward zero
  // Same value with trailing fractional zeros removed (1.50 -> 1.5).
  Decimal Normalized() const;

  // Value comparison: 1.50 == 1.5.
  friend bool operator==(const Decimal& a, const Decimal& b) { return Compare(a, b) == 0; }
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    return Compare(a, b) <=> 0;
  }
  static int Compare(const Decimal& a, const Decimal& b);

 private:
  // The mantissa in two 64-bit halves: a Decimal then needs 8-byte
  // alignment, not the 16 of a 128-bit integer, and takes 24 bytes (a
  // Variant holding one, 40 instead of 48).
  struct Halves {
    uint64_t low = 0;
    int64_t high = 0;
    constexpr Halves() = default;
    constexpr Halves(Mantissa m) : low(static_cast<uint64_t>(m)), high(static_cast<int64_t>(m >> 64)) {}
    constexpr operator Mantissa() const { return static_cast<Mantissa>(high) * (Mantissa{1} << 64) + low; }
  };
  constexpr Decimal(Mantissa m, uint8_t s) : mantissa_(m), scale_(s) {}
  Halves mantissa_;
  uint8_t scale_ = 0;
};

}  // namespace zelmora
