#include "platform/sqlite/tsql_text.h"

#include "platform/civil_calendar.h"
#include "platform/text_util.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zelmora::tsql {
namespace {

bool IsBlank(char c) { return c == ' '; }

std::string_view TrimBlanks(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

// Decodes one character at `i` and advances it.
char32_t NextChar(std::string_view s, size_t& i) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    ++i;
    return b;
  }
  int extra = 0;
  char32_t c = 0;
  if ((b & 0xE0) == 0xC0) {
    extra = 1;
    c = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2;
    c = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3;
    c = b & 0x07;
  } else {
    ++i;
    return b;
  }
  if (i + extra >= s.size()) {
    ++i;
    return b;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char n = static_cast<unsigned char>(s[i + k]);
    if ((n & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    c = (c << 6) | (n & 0x3F);
  }
  i += extra + 1;
  return c;
}

constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};


int Number(std::string_view t) {
  int v = 0;
  for (char c : t) v = v * 10 + (c - '0');
  return v;
}

// "HH:MM[:SS[.fff]]" (fractions are dropped: dates here carry whole seconds).
bool ParseTime(std::string_view t, DateParts& d) {
  if (t.size() < 5 || t[2] != ':' || !IsDigits(t.substr(0, 2)) || !IsDigits(t.substr(3, 2))) return false;
  d.hour = Number(t.substr(0, 2));
  d.minute = Number(t.substr(3, 2));
  t.remove_prefix(5);
  if (!t.empty()) {
    if (t.size() < 3 || t[0] != ':' || !IsDigits(t.substr(1, 2))) return false;
    d.second = Number(t.substr(1, 2));
    t.remove_prefix(3);
    if (!t.empty()) {
      if (t[0] != '.' || !IsDigits(t.substr(1))) return false;
    }
  }
  return d.hour < 24 && d.minute < 60 && d.second < 60;
}

}  // namespace

char32_t NextCodePoint(std::string_view text, size_t& i) { return NextChar(text, i); }

std::vector<char32_t> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) out.push_back(NextChar(text, i));
  return out;
}

int CompareCollated(std::string_view a, std::string_view b) {
  // Equal bytes are equal text: the common case when rows are grouped.
  if (a == b) return 0;
  size_t i = 0, j = 0;
  // Plain ASCII letters and digits first, byte by byte: the common case.
  while (i < a.size() && j < b.size()) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[j]);
    if ((x | y) & 0x80) break;
    if (x != y) {
      const unsigned char fx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
      const unsigned char fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
      if (fx != fy) return fx < fy ? -1 : 1;
    }
    ++i;
    ++j;
  }
  // The rest, with the shorter text padded with blanks.
  while (i < a.size() || j < b.size()) {
    const char32_t x = i < a.size() ? FoldCodePoint(NextChar(a, i)) : U' ';
    const char32_t y = j < b.size() ? FoldCodePoint(NextChar(b, j)) : U' ';
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

std::string ToUpper(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) AppendUtf8(out, UpperCodePoint(NextChar(text, i)));
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) AppendUtf8(out, LowerCodePoint(NextChar(text, i)));
  return out;
}

size_t LengthWithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool LikeMatch(std::string_view valueText, std::string_view patternText, char32_t escape) {
  const std::vector<char32_t> v = DecodeUtf8(valueText);
  const std::vector<char32_t> p = DecodeUtf8(patternText);
  // One pattern element at `pi`: how long it is and whether character c matches it.
  auto element = [&](size_t pi, char32_t c, size_t& length) -> bool {
    const char32_t pc = p[pi];
    if (escape != 0 && pc == escape && pi + 1 < p.size()) {
      length = 2;
      return FoldCodePoint(p[pi + 1]) == FoldCodePoint(c);
    }
    if (pc == U'_') {
      length = 1;
      return true;
    }
    if (pc == U'[') {
      size_t k = pi + 1;
      bool negate = false;
      if (k < p.size() && p[k] == U'^') {
        negate = true;
        ++k;
      }
      bool matched = false;
      const size_t first = k;
      while (k < p.size() && (p[k] != U']' || k == first)) {
        if (k + 2 < p.size() && p[k + 1] == U'-' && p[k + 2] != U']') {
          const char32_t lo = FoldCodePoint(p[k]), hi = FoldCodePoint(p[k + 2]), fc = FoldCodePoint(c);
          if (fc >= lo && fc <= hi) matched = true;
          k += 3;
        } else {
          if (FoldCodePoint(p[k]) == FoldCodePoint(c)) matched = true;
          ++k;
        }
      }
      if (k >= p.size()) {  // no closing bracket: a plain '['
        length = 1;
        return c == U'[';
      }
      length = k - pi + 1;
      return matched != negate;
    }
    length = 1;
    return FoldCodePoint(pc) == FoldCodePoint(c);
  };
  size_t vi = 0, pi = 0;
  size_t starP = std::string::npos, starV = 0;
  while (vi < v.size()) {
    if (pi < p.size() && p[pi] == U'%' && !(escape != 0 && escape == U'%')) {
      starP = ++pi;
      starV = vi;
      continue;
    }
    size_t length = 0;
    if (pi < p.size() && element(pi, v[vi], length)) {
      pi += length;
      ++vi;
      continue;
    }
    if (starP == std::string::npos) return false;
    pi = starP;
    vi = ++starV;
  }
  while (pi < p.size() && p[pi] == U'%') ++pi;
  return pi == p.size();
}

std::string ReplaceCollated(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  const std::vector<char32_t> t = DecodeUtf8(text);
  const std::vector<char32_t> f = DecodeUtf8(from);
  std::string out;
  size_t i = 0;
  while (i < t.size()) {
    bool hit = i + f.size() <= t.size();
    for (size_t k = 0; hit && k < f.size(); ++k) hit = FoldCodePoint(t[i + k]) == FoldCodePoint(f[k]);
    if (hit) {
      out += to;
      i += f.size();
    } else {
      AppendUtf8(out, t[i]);
      ++i;
    }
  }
  return out;
}

int64_t FindCollated(std::string_view what, std::string_view text, int64_t start) {
  const std::vector<char32_t> w = DecodeUtf8(what);
  const std::vector<char32_t> t = DecodeUtf8(text);
  if (w.empty()) return 0;
  size_t from = start > 1 ? static_cast<size_t>(start - 1) : 0;
  for (size_t i = from; i + w.size() <= t.size(); ++i) {
    bool hit = true;
    for (size_t k = 0; hit && k < w.size(); ++k) hit = FoldCodePoint(t[i + k]) == FoldCodePoint(w[k]);
    if (hit) return static_cast<int64_t>(i + 1);
  }
  return 0;
}

std::optional<int64_t> TextToInteger(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  if (t.empty()) return 0;
  bool negative = false;
  if (t[0] == '+' || t[0] == '-') {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  if (!IsDigits(t)) return std::nullopt;
  while (t.size() > 1 && t[0] == '0') t.remove_prefix(1);
  if (t.size() > 19) return std::nullopt;
  unsigned __int128 v = 0;
  for (char c : t) v = v * 10 + static_cast<unsigned>(c - '0');
  const unsigned __int128 limit = negative ? (static_cast<unsigned __int128>(INT64_MAX) + 1) : INT64_MAX;
  if (v > limit) return std::nullopt;
  return negative ? static_cast<int64_t>(-static_cast<__int128>(v)) : static_cast<int64_t>(v);
}

std::optional<Decimal> TextToDecimal(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      digits = true;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return Decimal::Parse(t);
}

std::optional<double> TextToFloat(std::string_view text) {
  const std::string t(TrimBlanks(text));
  if (t.empty()) return 0.0;
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digits = false, point = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      digits = true;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < t.size()) {
    if (t[i] != 'e' && t[i] != 'E') return std::nullopt;
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= t.size() || !IsDigits(std::string_view(t).substr(i))) return std::nullopt;
  }
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

bool IsValidDate(const DateParts& d) {
  if (d.year < 1753 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  return d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60 &&
         d.second >= 0 && d.second < 60;
}

std::optional<DateParts> ParseDateText(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  DateParts d;
  if (t.empty()) return d;  // blank text is the first day the server counts from
  std::string_view datePart = t, timePart;
  if (t.size() > 10 && (t[10] == ' ' || t[10] == 'T') && t[4] == '-') {
    datePart = t.substr(0, 10);
    timePart = TrimBlanks(t.substr(11));
  } else if (t.size() > 8 && t[8] == ' ' && IsDigits(t.substr(0, 8))) {
    datePart = t.substr(0, 8);
    timePart = TrimBlanks(t.substr(9));
  }
  if (datePart.size() == 8 && IsDigits(datePart)) {
    d.year = Number(datePart.substr(0, 4));
    d.month = Number(datePart.substr(4, 2));
    d.day = Number(datePart.substr(6, 2));
  } else if (datePart.size() == 10 && datePart[4] == '-' && datePart[7] == '-' && IsDigits(datePart.substr(0, 4)) &&
             IsDigits(datePart.substr(5, 2)) && IsDigits(datePart.substr(8, 2))) {
    d.year = Number(datePart.substr(0, 4));
    d.month = Number(datePart.substr(5, 2));
    d.day = Number(datePart.substr(8, 2));
  } else {
    return std::nullopt;
  }
  if (!timePart.empty() && !ParseTime(timePart, d)) return std::nullopt;
  if (!IsValidDate(d)) return std::nullopt;
  return d;
}

bool IsKnownDateStyle(int style) {
  return style == 0 || style == 100 || style == 112 || style == 120 || style == 121 || style == 23 || style == 126 ||
         style == 103 || style == 104 || style == 105;
}

std::optional<DateParts> ParseDateTextStyled(std::string_view text, int style) {
  if (style != 103 && style != 104 && style != 105) {
    if (!IsKnownDateStyle(style)) return std::nullopt;
    return ParseDateText(text);
  }
  const char separator = style == 103 ? '/' : (style == 104 ? '.' : '-');
  std::string_view t = TrimBlanks(text);
  if (t.empty()) return DateParts{};
  std::string_view timePart;
  if (t.size() > 10 && t[10] == ' ') {
    timePart = TrimBlanks(t.substr(11));
    t = t.substr(0, 10);
  }
  if (t.size() != 10 || t[2] != separator || t[5] != separator || !IsDigits(t.substr(0, 2)) ||
      !IsDigits(t.substr(3, 2)) || !IsDigits(t.substr(6, 4))) {
    return std::nullopt;
  }
  DateParts d;
  d.day = Number(t.substr(0, 2));
  d.month = Number(t.substr(3, 2));
  d.year = Number(t.substr(6, 4));
  if (!timePart.empty() && !ParseTime(timePart, d)) return std::nullopt;
  if (!IsValidDate(d)) return std::nullopt;
  return d;
}

std::optional<DateParts> DateFromStored(double value) {
  if (!std::isfinite(value) || value < 17530101 || value >= 100000000) return std::nullopt;
  const double whole = std::floor(value);
  const int64_t ymd = static_cast<int64_t>(whole);
  DateParts d;
  d.year = static_cast<int>(ymd / 10000);
  d.month = static_cast<int>(ymd / 100 % 100);
  d.day = static_cast<int>(ymd % 100);
  const int64_t hms = std::llround((value - whole) * 1e6);
  d.hour = static_cast<int>(hms / 10000);
  d.minute = static_cast<int>(hms / 100 % 100);
  d.second = static_cast<int>(hms % 100);
  if (!IsValidDate(d)) return std::nullopt;
  return d;
}

std::optional<DateParts> DateFromDayNumber(int64_t days) {
  if (days < -53690 || days > 2958463) return std::nullopt;  // 1753-01-01 .. 9999-12-31
  DateParts d;
  const CivilDate civil = CivilFromDays(DaysFromCivil(1900, 1, 1) + days);
  d.year = civil.year;
  d.month = civil.month;
  d.day = civil.day;
  return d;
}

std::string DateNumberText(const DateParts& d) {
  char buffer[32];
  if (d.HasTime()) {
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d.%02d%02d%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
  }
  return buffer;
}

double DateNumber(const DateParts& d) {
  return d.year * 10000.0 + d.month * 100 + d.day + (d.hour * 10000 + d.minute * 100 + d.second) / 1e6;
}

std::optional<std::string> FormatDate(const DateParts& d, int style) {
  char b[64];
  switch (style) {
    case 0:
    case 100: {
      const int h12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
      std::snprintf(b, sizeof b, "%s %2d %04d %2d:%02d%s", kMonthNames[d.month - 1], d.day, d.year, h12, d.minute,
                    d.hour < 12 ? "AM" : "PM");
      break;
    }
    case 103: std::snprintf(b, sizeof b, "%02d/%02d/%04d", d.day, d.month, d.year); break;
    case 104: std::snprintf(b, sizeof b, "%02d.%02d.%04d", d.day, d.month, d.year); break;
    case 105: std::snprintf(b, sizeof b, "%02d-%02d-%04d", d.day, d.month, d.year); break;
    case 112: std::snprintf(b, sizeof b, "%04d%02d%02d", d.year, d.month, d.day); break;
    case 23: std::snprintf(b, sizeof b, "%04d-%02d-%02d", d.year, d.month, d.day); break;
    case 120:
      std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
      break;
    case 121:
      std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d.000", d.year, d.month, d.day, d.hour, d.minute,
                    d.second);
      break;
    default: return std::nullopt;
  }
  return std::string(b);
}

std::string FloatToText(double value) {
  char b[64];
  std::snprintf(b, sizeof b, "%.6g", value);
  std::string s(b);
  // The server writes the exponent with three digits: 1.23457e+006.
  const size_t e = s.find('e');
  if (e != std::string::npos && e + 2 < s.size()) {
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    s = s.substr(0, e + 2) + digits;
  }
  return s;
}

}  // namespace zelmora::tsql
