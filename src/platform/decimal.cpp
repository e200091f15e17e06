#include "platform/decimal.h"

#include <array>
#include <charconv>
#include <cmath>

#include "platform/error.h"

namespace zelmora {

namespace {

using U128 = unsigned __int128;

// 2^96 - 1, the largest magnitude a Decimal holds.
constexpr U128 kMaxMagnitude = (U128{1} << 96) - 1;

constexpr std::array<U128, 39> MakePow10() {
  std::array<U128, 39> p{};
  p[0] = 1;
  for (size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}
constexpr std::array<U128, 39> kPow10 = MakePow10();

U128 Magnitude(__int128 m) { return m < 0 ? U128(0) - U128(m) : U128(m); }

// Unsigned integer wide enough for every intermediate: the product of two
// mantissas (192 bits) and a mantissa scaled by 10^56 for division (283 bits).
struct Wide {
  static constexpr int kLimbs = 5;
  std::array<uint64_t, kLimbs> limb{};  // little endian

  static Wide From(U128 v) {
    Wide w;
    w.limb[0] = static_cast<uint64_t>(v);
    w.limb[1] = static_cast<uint64_t>(v >> 64);
    return w;
  }
  bool IsZero() const {
    for (uint64_t l : limb)
      if (l) return false;
    return true;
  }
  bool FitsU128() const {
    for (int i = 2; i < kLimbs; ++i)
      if (limb[i]) return false;
    return true;
  }
  U128 Low128() const { return (U128(limb[1]) << 64) | limb[0]; }
  bool Bit(int i) const { return (limb[i / 64] >> (i % 64)) & 1; }
  void SetBit(int i) { limb[i / 64] |= uint64_t{1} << (i % 64); }

  void MulSmall(uint64_t f) {
    U128 carry = 0;
    for (auto& l : limb) {
      U128 t = U128(l) * f + carry;
      l = static_cast<uint64_t>(t);
      carry = t >> 64;
    }
    if (carry) throw Error::Overflow();  // cannot happen for the sizes used
  }
  void MulPow10(int n) {
    while (n > 0) {
      int step = n > 19 ? 19 : n;
      MulSmall(static_cast<uint64_t>(kPow10[step]));
      n -= step;
    }
  }
  // Divides in place and returns the remainder.
  uint64_t DivSmall(uint64_t d) {
    U128 rem = 0;
    for (int i = kLimbs - 1; i >= 0; --i) {
      U128 cur = (rem << 64) | limb[i];
      limb[i] = static_cast<uint64_t>(cur / d);
      rem = cur % d;
    }
    return static_cast<uint64_t>(rem);
  }
  void Add(const Wide& o) {
    U128 carry = 0;
    for (int i = 0; i < kLimbs; ++i) {
      U128 t = U128(limb[i]) + o.limb[i] + carry;
      limb[i] = static_cast<uint64_t>(t);
      carry = t >> 64;
    }
  }
  // Requires *this >= o.
  void Sub(const Wide& o) {
    uint64_t borrow = 0;
    for (int i = 0; i < kLimbs; ++i) {
      uint64_t a = limb[i], b = o.limb[i];
      uint64_t r = a - b - borrow;
      borrow = (a < b || (a == b && borrow)) ? 1 : 0;
      limb[i] = r;
    }
  }
  static int Cmp(const Wide& a, const Wide& b) {
    for (int i = kLimbs - 1; i >= 0; --i) {
      if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
    }
    return 0;
  }
  static Wide Mul(U128 a, U128 b) {
    uint64_t a0 = static_cast<uint64_t>(a), a1 = static_cast<uint64_t>(a >> 64);
    uint64_t b0 = static_cast<uint64_t>(b), b1 = static_cast<uint64_t>(b >> 64);
    Wide w;
    U128 p00 = U128(a0) * b0, p01 = U128(a0) * b1, p10 = U128(a1) * b0, p11 = U128(a1) * b1;
    w.limb[0] = static_cast<uint64_t>(p00);
    U128 mid = (p00 >> 64) + static_cast<uint64_t>(p01) + static_cast<uint64_t>(p10);
    w.limb[1] = static_cast<uint64_t>(mid);
    U128 high = (mid >> 64) + (p01 >> 64) + (p10 >> 64) + static_cast<uint64_t>(p11);
    w.limb[2] = static_cast<uint64_t>(high);
    U128 top = (high >> 64) + (p11 >> 64);
    w.limb[3] = static_cast<uint64_t>(top);
    w.limb[4] = static_cast<uint64_t>(top >> 64);
    return w;
  }
  // Quotient and remainder by a divisor below 2^127 (bitwise long division
  // when the divisor needs more than 64 bits).
  Wide DivMod(U128 d, U128& rem) const {
    if (d >> 64 == 0) {
      Wide q = *this;
      rem = q.DivSmall(static_cast<uint64_t>(d));
      return q;
    }
    Wide q;
    U128 r = 0;
    for (int i = kLimbs * 64 - 1; i >= 0; --i) {
      r = (r << 1) | (Bit(i) ? 1 : 0);
      if (r >= d) {
        r -= d;
        q.SetBit(i);
      }
    }
    rem = r;
    return q;
  }
};

// Rounds value / 10^drop half to even; `sticky` says that nonzero digits
// were already lost below the value.
Wide DropDigits(Wide value, int drop, bool sticky) {
  if (drop <= 0) return value;
  // All but the last dropped digit only matter as "nonzero or not".
  for (int rest = drop - 1; rest > 0 && !value.IsZero();) {
    int step = rest > 19 ? 19 : rest;
    if (value.DivSmall(static_cast<uint64_t>(kPow10[step])) != 0) sticky = true;
    rest -= step;
  }
  uint64_t last = value.DivSmall(10);
  bool up = last > 5 || (last == 5 && (sticky || (value.limb[0] & 1)));
  if (up) value.Add(Wide::From(1));
  return value;
}

int CountDigits(U128 v) {
  int n = 1;
  while (n < 39 && v >= kPow10[n]) ++n;
  return n;
}

int CountDigits(Wide w) {
  int n = 0;
  while (!w.FitsU128()) {
    w.DivSmall(static_cast<uint64_t>(kPow10[19]));
    n += 19;
  }
  return n + CountDigits(w.Low128());
}

// Signed magnitude at a scale, rounded into the Decimal range: scale at most
// 28, magnitude at most 2^96 - 1, dropping the fewest digits needed.
struct Fitted {
  __int128 mantissa;
  int scale;
};

Fitted Fit(bool negative, const Wide& magnitude, int scale, bool sticky = false) {
  const Wide max = Wide::From(kMaxMagnitude);
  int drop = scale > Decimal::kMaxScale ? scale - Decimal::kMaxScale : 0;
  if (drop == 0 && !sticky && Wide::Cmp(magnitude, max) <= 0) {
    __int128 m = static_cast<__int128>(magnitude.Low128());
    return {negative ? -m : m, scale};
  }
  // At most 28 digits always fit in 96 bits, 29 digits only sometimes.
  int excess = CountDigits(magnitude) - 29;
  if (excess > drop) drop = excess > scale ? scale : excess;
  for (;; ++drop) {
    Wide r = DropDigits(magnitude, drop, sticky);
    if (Wide::Cmp(r, max) <= 0) {
      __int128 m = static_cast<__int128>(r.Low128());
      return {negative ? -m : m, scale - drop};
    }
    if (scale - drop <= 0) throw Error::Overflow();
  }
}

std::string DigitsOf(U128 v) {
  char buf[40];
  int pos = 40;
  // 128-bit division only for the digits above the 19 low ones.
  while (v >> 64 != 0) {
    auto low = static_cast<uint64_t>(v % kPow10[19]);
    v /= kPow10[19];
    for (int i = 0; i < 19; ++i, low /= 10) buf[--pos] = static_cast<char>('0' + low % 10);
  }
  auto rest = static_cast<uint64_t>(v);
  do {
    buf[--pos] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  return std::string(buf + pos, buf + 40);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

Decimal Decimal::FromParts(Mantissa mantissa, int scale) {
  if (scale < 0) {
    if (scale < -38) {
      if (mantissa == 0) return Decimal();
      throw Error::Overflow();
    }
    Wide w = Wide::From(Magnitude(mantissa));
    w.MulPow10(-scale);
    Fitted f = Fit(mantissa < 0, w, 0);
    return Decimal(f.mantissa, static_cast<uint8_t>(f.scale));
  }
  U128 mag = Magnitude(mantissa);
  if (scale <= kMaxScale && mag <= kMaxMagnitude) return Decimal(mantissa, static_cast<uint8_t>(scale));
  Fitted f = Fit(mantissa < 0, Wide::From(mag), scale);
  return Decimal(f.mantissa, static_cast<uint8_t>(f.scale));
}

std::optional<Decimal> Decimal::Parse(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::string_view s = text.substr(b, e - b);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  // Keep up to 38 significant digits exactly (a Decimal has at most 29); the
  // rest only decide rounding.
  constexpr int kKeep = 38;
  U128 acc = 0;
  int kept = 0;
  bool sticky = false;
  long exponent = 0;  // power of ten to apply to `digits`
  bool anyDigit = false;
  auto take = [&](char c, bool fractional) {
    anyDigit = true;
    int d = c - '0';
    if (kept == 0 && d == 0) {
      if (fractional) --exponent;
      return;
    }
    if (kept < kKeep) {
      acc = acc * 10 + static_cast<unsigned>(d);
      ++kept;
      if (fractional) --exponent;
    } else {
      if (d != 0) sticky = true;
      if (!fractional) ++exponent;
    }
  };
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') take(s[i++], false);
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') take(s[i++], true);
  }
  if (!anyDigit) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
    long value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      if (value < 100000) value = value * 10 + (s[i] - '0');
      ++i;
    }
    exponent += expNegative ? -value : value;
  }
  if (i != s.size()) return std::nullopt;

  if (acc == 0) return Decimal();
  if (!sticky && exponent <= 0 && exponent >= -kMaxScale && acc <= kMaxMagnitude) {
    __int128 m = static_cast<__int128>(acc);
    return Decimal(negative ? -m : m, static_cast<uint8_t>(-exponent));
  }
  Wide digits = Wide::From(acc);
  try {
    if (exponent > 0) {
      if (exponent + kept > 29) return std::nullopt;  // at least 10^29
      digits.MulPow10(static_cast<int>(exponent));
      Fitted f = Fit(negative, digits, 0, sticky);
      return Decimal(f.mantissa, 0);
    }
    long scale = -exponent;
    if (scale > kMaxScale + kKeep + 2) return Decimal();  // far below the smallest step
    Fitted f = Fit(negative, digits, static_cast<int>(scale), sticky);
    return Decimal(f.mantissa, static_cast<uint8_t>(f.scale));
  } catch (const Error&) {
    return std::nullopt;
  }
}

Decimal Decimal::FromDouble(double value) {
  if (!std::isfinite(value)) throw Error::Overflow();
  if (value == 0) return Decimal();
  // Fifteen significant digits, correctly rounded from the binary value.
  // When the shortest text that reads back as the same double has at most
  // fifteen digits, it is that rounding already (and much cheaper to get).
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  int significant = 0;
  bool leading = true;
  for (char* p = buf; p < res.ptr && *p != 'e'; ++p) {
    if (*p < '0' || *p > '9') continue;
    if (leading && *p == '0') continue;
    leading = false;
    ++significant;
  }
  if (significant > 15) res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  auto parsed = Parse(std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
  if (!parsed) throw Error::Overflow();
  return parsed->Normalized();
}

Decimal Decimal::FromStoredDouble(double value) {
  if (!std::isfinite(value)) throw Error::Overflow();
  if (value == 0) return Decimal();
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  auto parsed = Parse(std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
  if (!parsed) throw Error::Overflow();
  return parsed->Normalized();
}

bool Decimal::IsInteger() const {
  return scale_ == 0 || Magnitude(mantissa_) % kPow10[scale_] == 0;
}

double Decimal::ToDouble() const {
  U128 mag = Magnitude(mantissa_);
  // Both operands exact in a double: one correctly rounded division.
  if (mag < (U128{1} << 53) && scale_ <= 22) {
    double d = static_cast<double>(static_cast<uint64_t>(mag)) / static_cast<double>(kPow10[scale_]);
    return mantissa_ < 0 ? -d : d;
  }
  std::string text = DigitsOf(mag) + "e-" + std::to_string(scale_);
  double d = 0;
  std::from_chars(text.data(), text.data() + text.size(), d);
  return mantissa_ < 0 ? -d : d;
}

std::string Decimal::ToString() const {
  Decimal n = Normalized();
  return n.ToFixed(n.scale_);
}

std::string Decimal::ToFixed(int places) const {
  if (places < 0) places = 0;
  Decimal r = places < scale_ ? RoundHalfEven(places) : *this;
  std::string digits = DigitsOf(Magnitude(r.mantissa_));
  int scale = r.scale_;
  if (static_cast<int>(digits.size()) <= scale) digits.insert(0, static_cast<size_t>(scale + 1) - digits.size(), '0');
  std::string out;
  out.reserve(digits.size() + static_cast<size_t>(places) + 2);
  if (r.mantissa_ < 0) out += '-';
  out.append(digits, 0, digits.size() - static_cast<size_t>(scale));
  if (places > 0) {
    out += '.';
    out.append(digits, digits.size() - static_cast<size_t>(scale), std::string::npos);
    out.append(static_cast<size_t>(places - scale), '0');
  }
  return out;
}

Decimal Decimal::operator-() const { return Decimal(-mantissa_, scale_); }

Decimal Decimal::Abs() const {
  const Mantissa m = mantissa_;
  return Decimal(m < 0 ? -m : m, scale_);
}

Decimal operator+(const Decimal& a, const Decimal& b) {
  {
    // Common case: the aligned operands and their sum fit in 128 bits.
    int scale = a.scale_ > b.scale_ ? a.scale_ : b.scale_;
    __int128 x = a.mantissa_, y = b.mantissa_, sum;
    if (!__builtin_mul_overflow(x, static_cast<__int128>(kPow10[scale - a.scale_]), &x) &&
        !__builtin_mul_overflow(y, static_cast<__int128>(kPow10[scale - b.scale_]), &y) &&
        !__builtin_add_overflow(x, y, &sum) && Magnitude(sum) <= kMaxMagnitude) {
      return Decimal(sum, static_cast<uint8_t>(scale));
    }
  }
  int scale = a.scale_ > b.scale_ ? a.scale_ : b.scale_;
  Wide x = Wide::From(Magnitude(a.mantissa_));
  Wide y = Wide::From(Magnitude(b.mantissa_));
  x.MulPow10(scale - a.scale_);
  y.MulPow10(scale - b.scale_);
  bool xNeg = a.mantissa_ < 0, yNeg = b.mantissa_ < 0;
  bool negative;
  if (xNeg == yNeg) {
    x.Add(y);
    negative = xNeg;
  } else if (Wide::Cmp(x, y) >= 0) {
    x.Sub(y);
    negative = xNeg;
  } else {
    y.Sub(x);
    x = y;
    negative = yNeg;
  }
  if (x.IsZero()) negative = false;
  Fitted f = Fit(negative, x, scale);
  return Decimal(f.mantissa, static_cast<uint8_t>(f.scale));
}

Decimal operator-(const Decimal& a, const Decimal& b) { return a + (-b); }

Decimal operator*(const Decimal& a, const Decimal& b) {
  int scale = a.scale_ + b.scale_;
  __int128 product;
  if (scale <= Decimal::kMaxScale && !__builtin_mul_overflow(a.mantissa(), b.mantissa(), &product) &&
      Magnitude(product) <= kMaxMagnitude) {
    return Decimal(product, static_cast<uint8_t>(scale));
  }
  bool negative = (a.mantissa_ < 0) != (b.mantissa_ < 0);
  Wide w = Wide::Mul(Magnitude(a.mantissa_), Magnitude(b.mantissa_));
  if (w.IsZero()) return Decimal();
  Fitted f = Fit(negative, w, scale);
  return Decimal(f.mantissa, static_cast<uint8_t>(f.scale));
}

Decimal operator/(const Decimal& a, const Decimal& b) {
  if (b.mantissa_ == 0) throw Error::DivisionByZero();
  if (a.mantissa_ == 0) return Decimal();
  bool negative = (a.mantissa_ < 0) != (b.mantissa_ < 0);
  // Quotient at scale 28: numerator scaled by 10^(28 - sa + sb), 0..56.
  int shift = Decimal::kMaxScale - a.scale_ + b.scale_;
  Wide n = Wide::From(Magnitude(a.mantissa_));
  n.MulPow10(shift);
  U128 rem = 0;
  Wide q = n.DivMod(Magnitude(b.mantissa_), rem);
  int scale = Decimal::kMaxScale;
  // Keep 28 significant digits (more only for a whole quotient).
  int digits = CountDigits(q);
  int drop = digits > Decimal::kMaxScale ? digits - Decimal::kMaxScale : 0;
  if (drop > scale) drop = scale;
  if (drop > 0) {
    q = DropDigits(q, drop, rem != 0);
    scale -= drop;
  } else if (rem != 0) {
    // Round on the remainder itself: rem < divisor < 2^96, so 2 * rem fits.
    U128 twice = rem * 2;
    U128 d = Magnitude(b.mantissa_);
    if (twice > d || (twice == d && (q.limb[0] & 1))) q.Add(Wide::From(1));
  }
  // An exact quotient keeps no more decimals than it needs (6.00 / 3 = 2.00,
  // 1 / 4 = 0.25).
  int preferred = a.scale_ - b.scale_ > 0 ? a.scale_ - b.scale_ : 0;
  if (q.FitsU128()) {
    U128 v = q.Low128();
    while (scale > preferred && v % 10 == 0) {
      v /= 10;
      --scale;
    }
    q = Wide::From(v);
  }
  Fitted f = Fit(negative, q, scale);
  return Decimal(f.mantissa, static_cast<uint8_t>(f.scale));
}

Decimal Decimal::RoundHalfEven(int places) const {
  if (places < 0) throw Error::InvalidProcedureCall();
  if (places >= scale_) return *this;
  U128 mag = Magnitude(mantissa_);
  U128 div = kPow10[scale_ - places];
  U128 q = mag / div, r = mag % div, half = div / 2;
  if (r > half || (r == half && (q & 1))) ++q;
  __int128 m = static_cast<__int128>(q);
  return Decimal(mantissa_ < 0 ? -m : m, static_cast<uint8_t>(places));
}

Decimal Decimal::RoundHalfAwayFromZero(int places) const {
  if (places < 0) throw Error::InvalidProcedureCall();
  if (places >= scale_) return *this;
  U128 mag = Magnitude(mantissa_);
  U128 div = kPow10[scale_ - places];
  U128 q = mag / div, r = mag % div;
  if (r >= div - r) ++q;
  __int128 m = static_cast<__int128>(q);
  return Decimal(mantissa_ < 0 ? -m : m, static_cast<uint8_t>(places));
}

Decimal Decimal::Truncate() const {
  if (scale_ == 0) return *this;
  return Decimal(mantissa_ / static_cast<__int128>(kPow10[scale_]), 0);
}

Decimal Decimal::Floor() const {
  if (scale_ == 0) return *this;
  __int128 div = static_cast<__int128>(kPow10[scale_]);
  __int128 q = mantissa_ / div;
  if (mantissa_ % div != 0 && mantissa_ < 0) --q;
  return Decimal(q, 0);
}

Decimal Decimal::Normalized() const {
  if (mantissa_ == 0) return Decimal();
  __int128 m = mantissa_;
  int s = scale_;
  while (s > 0 && m % 10 == 0) {
    m /= 10;
    --s;
  }
  return Decimal(m, static_cast<uint8_t>(s));
}

int Decimal::Compare(const Decimal& a, const Decimal& b) {
  int sa = a.Sign(), sb = b.Sign();
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  __int128 x = a.mantissa_, y = b.mantissa_;
  if (a.scale_ < b.scale_) {
    // |x| * 10^k beyond __int128 is beyond any |y|.
    if (__builtin_mul_overflow(x, static_cast<__int128>(kPow10[b.scale_ - a.scale_]), &x)) return sa;
  } else if (b.scale_ < a.scale_) {
    if (__builtin_mul_overflow(y, static_cast<__int128>(kPow10[a.scale_ - b.scale_]), &y)) return -sa;
  }
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace zelmora
