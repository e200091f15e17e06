#include "platform/sqlite/sqlite_extensions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/decimal.h"
#include "platform/sqlite/group_key.h"
#include "platform/sqlite/server_error.h"
#include "platform/sqlite/tsql_text.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

using tsql::DateParts;

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

__int128 Pow10Int(int n) {
  __int128 v = 1;
  while (n-- > 0) v *= 10;
  return v;
}

void Fail(sqlite3_context* ctx, int number, const std::string& text) {
  const std::string message = tsql::ServerErrorMessage(number, text);
  sqlite3_result_error(ctx, message.c_str(), static_cast<int>(message.size()));
}

std::string_view Text(sqlite3_value* v) {
  const unsigned char* p = sqlite3_value_text(v);
  return std::string_view(reinterpret_cast<const char*>(p ? p : reinterpret_cast<const unsigned char*>("")),
                          static_cast<size_t>(sqlite3_value_bytes(v)));
}

void ResultText(sqlite3_context* ctx, const std::string& text) {
  sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (IsNull(argv[i])) return true;
  }
  return false;
}

std::string TypeArgument(int argc, sqlite3_value** argv, int index, const char* fallback) {
  return argc > index ? std::string(Text(argv[index])) : std::string(fallback);
}

std::string ConversionMessage(std::string_view value, const std::string& type) {
  return "Conversion failed when converting the varchar value '" + std::string(value) + "' to data type " + type + ".";
}

constexpr const char* kDateError = "Conversion failed when converting date and/or time from character string.";

// A stored date (the number YYYYMMDD[.HHMMSS], or text in one of the
// accepted forms).
std::optional<DateParts> DateOf(sqlite3_value* v, int style = -1) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return tsql::DateFromStored(sqlite3_value_double(v));
    default: {
      const std::string_view t = Text(v);
      if (style >= 0) return tsql::ParseDateTextStyled(t, style);
      if (std::optional<DateParts> d = tsql::ParseDateText(t)) return d;
      if (std::optional<double> n = tsql::TextToFloat(t); n && !t.empty()) return tsql::DateFromStored(*n);
      return std::nullopt;
    }
  }
}

void ResultDate(sqlite3_context* ctx, const DateParts& d) {
  if (d.HasTime()) {
    sqlite3_result_double(ctx, tsql::DateNumber(d));
  } else {
    sqlite3_result_int64(ctx, d.year * 10000LL + d.month * 100 + d.day);
  }
}

// --- collation ------------------------------------------------------------------
int CollateTsql(void*, int n1, const void* a, int n2, const void* b) {
  return tsql::CompareCollated(std::string_view(static_cast<const char*>(a), static_cast<size_t>(n1)),
                               std::string_view(static_cast<const char*>(b), static_cast<size_t>(n2)));
}

// --- scalar functions -------------------------------------------------------------
void Len(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, static_cast<int64_t>(tsql::LengthWithoutTrailingBlanks(Text(argv[0]))));
}

template <int Part>
void DatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::optional<DateParts> d = DateOf(argv[0]);
  if (!d) return Fail(ctx, 241, kDateError);
  sqlite3_result_int(ctx, Part == 0 ? d->year : (Part == 1 ? d->month : d->day));
}

void ToInt(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: return sqlite3_result_value(ctx, v);
    case SQLITE_FLOAT: return sqlite3_result_int64(ctx, static_cast<int64_t>(std::trunc(sqlite3_value_double(v))));
    default: {
      const std::string type = TypeArgument(argc, argv, 1, "int");
      std::optional<int64_t> n = tsql::TextToInteger(Text(v));
      if (!n) return Fail(ctx, 245, ConversionMessage(Text(v), type));
      if (type == "int" && (*n < INT32_MIN || *n > INT32_MAX)) {
        return Fail(ctx, 248, "The conversion of the varchar value '" + std::string(Text(v)) +
                                  "' overflowed an int column.");
      }
      return sqlite3_result_int64(ctx, *n);
    }
  }
}

void ToNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  if (sqlite3_value_type(v) != SQLITE_TEXT && sqlite3_value_type(v) != SQLITE_BLOB) {
    return sqlite3_result_value(ctx, v);
  }
  std::optional<Decimal> d = tsql::TextToDecimal(Text(v));
  if (!d) return Fail(ctx, 8114, "Error converting data type varchar to numeric.");
  if (d->IsInteger() && d->Abs() < Decimal::FromInt(INT64_MAX)) {
    return sqlite3_result_int64(ctx, static_cast<int64_t>(d->Truncate().mantissa()));
  }
  sqlite3_result_double(ctx, d->ToDouble());
}

void ToFloat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  if (sqlite3_value_type(v) != SQLITE_TEXT && sqlite3_value_type(v) != SQLITE_BLOB) {
    return sqlite3_result_value(ctx, v);
  }
  std::optional<double> d = tsql::TextToFloat(Text(v));
  if (!d) return Fail(ctx, 8114, "Error converting data type varchar to float.");
  sqlite3_result_double(ctx, *d);
}

void ToBit(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0 ? 1 : 0);
    default: {
      const std::string_view t = Text(v);
      if (EqualsIgnoreCase(TrimBlanks(t), "TRUE")) return sqlite3_result_int(ctx, 1);
      if (EqualsIgnoreCase(TrimBlanks(t), "FALSE")) return sqlite3_result_int(ctx, 0);
      std::optional<double> d = tsql::TextToFloat(t);
      if (!d) return Fail(ctx, 245, ConversionMessage(t, "bit"));
      return sqlite3_result_int(ctx, *d != 0 ? 1 : 0);
    }
  }
}

void ToDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const int style = argc > 1 ? sqlite3_value_int(argv[1]) : -1;
  std::optional<DateParts> d = DateOf(argv[0], style);
  if (!d) return Fail(ctx, 241, kDateError);
  ResultDate(ctx, *d);
}

// A number of days from 1 January 1900 (a fraction is the time of day).
void DayDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  double days = sqlite3_value_double(argv[0]);
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    std::optional<double> d = tsql::TextToFloat(Text(argv[0]));
    if (!d) return Fail(ctx, 241, kDateError);
    days = *d;
  }
  const double whole = std::floor(days);
  std::optional<DateParts> d = tsql::DateFromDayNumber(static_cast<int64_t>(whole));
  if (!d) return Fail(ctx, 8115, "Arithmetic overflow error converting expression to data type datetime.");
  const int64_t seconds = std::llround((days - whole) * 86400.0);
  if (seconds > 0 && seconds < 86400) {
    d->hour = static_cast<int>(seconds / 3600);
    d->minute = static_cast<int>(seconds / 60 % 60);
    d->second = static_cast<int>(seconds % 60);
  }
  ResultDate(ctx, *d);
}

// A number as the server writes it in text: decimals with their scale
// (second argument; Null for other numbers), floats with at most six
// significant digits. With a length (third argument), a longer text is
// replaced by the fourth argument when that is '*', and is an overflow
// error for the type it names otherwise.
void NumberText(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  const bool decimal = argc > 1 && !IsNull(argv[1]);
  const int scale = decimal ? sqlite3_value_int(argv[1]) : 0;
  std::string text;
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
      text = decimal ? Decimal::FromInt(sqlite3_value_int64(v)).ToFixed(scale) : std::to_string(sqlite3_value_int64(v));
      break;
    case SQLITE_FLOAT:
      text = decimal ? Decimal::FromStoredDouble(sqlite3_value_double(v)).RoundHalfAwayFromZero(scale).ToFixed(scale)
                     : tsql::FloatToText(sqlite3_value_double(v));
      break;
    default: return sqlite3_result_value(ctx, v);
  }
  if (argc > 3 && Utf8Length(text) > static_cast<size_t>(std::max(0, sqlite3_value_int(argv[2])))) {
    const std::string fallback(Text(argv[3]));
    if (fallback == "*") return ResultText(ctx, fallback);
    return Fail(ctx, 8115, std::string("Arithmetic overflow error converting ") + (decimal ? "numeric" : "expression") +
                               " to data type " + fallback + ".");
  }
  ResultText(ctx, text);
}

void DateText(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::optional<DateParts> d = DateOf(argv[0]);
  if (!d) return Fail(ctx, 241, kDateError);
  std::optional<std::string> text = tsql::FormatDate(*d, argc > 1 ? sqlite3_value_int(argv[1]) : 0);
  if (!text) return Fail(ctx, 281, "The style given is not a valid date style.");
  ResultText(ctx, *text);
}

bool IsZero(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return sqlite3_value_int64(v) == 0;
    case SQLITE_FLOAT: return sqlite3_value_double(v) == 0.0;
    case SQLITE_TEXT: {
      std::optional<double> d = tsql::TextToFloat(Text(v));
      return d && *d == 0.0;
    }
    default: return false;
  }
}

void NonZero(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsZero(argv[0])) return Fail(ctx, 8134, "Divide by zero error encountered.");
  sqlite3_result_value(ctx, argv[0]);
}

void Modulo(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  if (IsZero(argv[1])) return Fail(ctx, 8134, "Divide by zero error encountered.");
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
    return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) % sqlite3_value_int64(argv[1]));
  }
  sqlite3_result_double(ctx, std::fmod(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1])));
}

// "+" between values of unknown types: texts concatenate, numbers add.
void Add(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int a = sqlite3_value_type(argv[0]);
  const int b = sqlite3_value_type(argv[1]);
  if (a == SQLITE_TEXT && b == SQLITE_TEXT) return ResultText(ctx, std::string(Text(argv[0])) + std::string(Text(argv[1])));
  if (a == SQLITE_INTEGER && b == SQLITE_INTEGER) {
    return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) + sqlite3_value_int64(argv[1]));
  }
  double sum = 0;
  for (int i = 0; i < 2; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_TEXT) {
      std::optional<double> d = tsql::TextToFloat(Text(argv[i]));
      if (!d) return Fail(ctx, 245, ConversionMessage(Text(argv[i]), "float"));
      sum += *d;
    } else {
      sum += sqlite3_value_double(argv[i]);
    }
  }
  sqlite3_result_double(ctx, sum);
}

void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  char32_t escape = 0;
  if (argc > 2) {
    std::vector<char32_t> e = tsql::DecodeUtf8(Text(argv[2]));
    if (e.size() != 1) return Fail(ctx, 506, "The invalid escape character was specified in a LIKE predicate.");
    escape = e[0];
  }
  sqlite3_result_int(ctx, tsql::LikeMatch(Text(argv[0]), Text(argv[1]), escape) ? 1 : 0);
}

template <bool Up>
void ChangeCase(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
  ResultText(ctx, Up ? tsql::ToUpper(Text(argv[0])) : tsql::ToLower(Text(argv[0])));
}

void Replace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  ResultText(ctx, tsql::ReplaceCollated(Text(argv[0]), Text(argv[1]), Text(argv[2])));
}

void CharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int64_t start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
  sqlite3_result_int64(ctx, tsql::FindCollated(Text(argv[0]), Text(argv[1]), start));
}

template <bool FromLeft>
void Side(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int64_t n = sqlite3_value_int64(argv[1]);
  if (n < 0) {
    return Fail(ctx, 536, std::string("Invalid length parameter passed to the ") + (FromLeft ? "left" : "right") +
                              " function.");
  }
  const std::string_view t = Text(argv[0]);
  ResultText(ctx, FromLeft ? Utf8Left(t, static_cast<size_t>(n)) : Utf8Right(t, static_cast<size_t>(n)));
}

// SUBSTRING(text, start, length): the characters at positions start to
// start + length - 1 that exist (a start before 1 shortens the result).
void Substring(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int64_t start = sqlite3_value_int64(argv[1]);
  const int64_t length = sqlite3_value_int64(argv[2]);
  if (length < 0) return Fail(ctx, 536, "Invalid length parameter passed to the substring function.");
  const int64_t first = std::max<int64_t>(start, 1);
  const int64_t end = start + length;  // exclusive
  if (end <= first) return ResultText(ctx, "");
  ResultText(ctx, Utf8Mid(Text(argv[0]), static_cast<size_t>(first), static_cast<size_t>(end - first)));
}

// CHAR(n): cut or padded with blanks to n characters.
void Pad(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const size_t n = static_cast<size_t>(std::max(0, sqlite3_value_int(argv[1])));
  std::string t = Utf8Left(Text(argv[0]), n);
  const size_t have = Utf8Length(t);
  if (have < n) t.append(n - have, ' ');
  ResultText(ctx, t);
}

// ROUND(x, places[, truncate]): half away from zero on the exact decimal.
void Round(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int places = sqlite3_value_int(argv[1]);
  const bool truncate = argc > 2 && sqlite3_value_int(argv[2]) != 0;
  sqlite3_value* v = argv[0];
  if (places < 0) {
    const double factor = std::pow(10.0, -places);
    const double x = sqlite3_value_double(v) / factor;
    const double r = (truncate ? std::trunc(x) : std::round(x)) * factor;
    if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_result_int64(ctx, static_cast<int64_t>(r));
    return sqlite3_result_double(ctx, r);
  }
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_result_value(ctx, v);
  std::optional<Decimal> d;
  if (sqlite3_value_type(v) == SQLITE_TEXT) {
    d = tsql::TextToDecimal(Text(v));
    if (!d) return Fail(ctx, 8114, "Error converting data type varchar to numeric.");
  } else {
    const double x = sqlite3_value_double(v);
    if (!std::isfinite(x)) return sqlite3_result_double(ctx, x);
    d = Decimal::FromStoredDouble(x);
  }
  const int p = std::min(places, Decimal::kMaxScale);
  Decimal r = d->RoundHalfAwayFromZero(p);
  if (truncate) {
    const Decimal scale = Decimal::FromParts(Pow10Int(p), 0);
    r = (*d * scale).Truncate() / scale;
  }
  sqlite3_result_double(ctx, r.ToDouble());
}

// The terms of a key appended to it: `collated(i)` says whether term i, when
// it is text, compares under TSQL. False when a term is Null and `nullEnds`.
template <class Collated>
bool AppendTerms(tsql::GroupKey& key, int argc, sqlite3_value** argv, int first, bool nullEnds, Collated collated) {
  for (int i = first; i < argc; ++i) {
    sqlite3_value* v = argv[i];
    switch (sqlite3_value_type(v)) {
      case SQLITE_NULL:
        if (nullEnds) return false;
        key.AppendNull();
        break;
      case SQLITE_INTEGER: key.AppendInteger(sqlite3_value_int64(v)); break;
      case SQLITE_FLOAT: key.AppendReal(sqlite3_value_double(v)); break;
      case SQLITE_BLOB:
        key.AppendBlob(std::string_view(static_cast<const char*>(sqlite3_value_blob(v)),
                                        static_cast<size_t>(sqlite3_value_bytes(v))));
        break;
      default: key.AppendText(Text(v), collated(i)); break;
    }
  }
  return true;
}

void ResultKey(sqlite3_context* ctx, const tsql::GroupKey& key) {
  const std::string& bytes = key.bytes();
  sqlite3_result_blob(ctx, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

// The key being built, its buffer kept from row to row (SQLite copies the
// result out, and a connection is used by one thread at a time).
tsql::GroupKey& ScratchKey() {
  thread_local tsql::GroupKey key;
  key.Clear();
  return key;
}

// tsql_key(v1, v2, ...): one value for a list of values that is equal for
// two lists exactly when every pair of values is equal under the server's
// comparison (text under TSQL, numbers whatever their storage, 1 and 1.0
// alike; GroupKey). Null when a value is Null, since a Null equals nothing.
// It lets a join on many keys compare one.
void Key(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  tsql::GroupKey& key = ScratchKey();
  if (!AppendTerms(key, argc, argv, 0, true, [](int) { return true; })) return sqlite3_result_null(ctx);
  ResultKey(ctx, key);
}

// tsql_group_key(modes, v1, v2, ...): the key a GROUP BY of many terms is
// grouped on (GroupKey); `modes` has one letter a term, 'c' for text
// compared under TSQL, 'b' for text compared byte for byte.
void GroupKeyOf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 1) return sqlite3_result_error(ctx, "tsql_group_key needs its modes", -1);
  const std::string_view modes = Text(argv[0]);
  tsql::GroupKey& key = ScratchKey();
  AppendTerms(key, argc, argv, 1, false, [modes](int i) {
    return static_cast<size_t>(i - 1) < modes.size() && modes[i - 1] == 'c';
  });
  ResultKey(ctx, key);
}

// --- aggregates -------------------------------------------------------------------
// An exact sum: whole numbers and decimals with up to 15 digits add in a
// 128-bit mantissa at a common scale (each double is read as the shortest
// decimal that gives it back, as the 15-significant-digit rule reads it);
// anything else joins through Decimal.
struct ExactSum {
  bool any = false;
  bool allIntegers = true;
  __int128 mantissa = 0;
  int scale = 0;
  Decimal rest;
  int64_t count = 0;

  void Flush() {
    rest += Decimal::FromParts(mantissa, scale);
    mantissa = 0;
  }

  void AddScaled(int64_t m, int k) {
    if (k > scale) {
      mantissa *= Pow10Int(k - scale);
      scale = k;
    }
    mantissa += static_cast<__int128>(m) * Pow10Int(scale - k);
    const __int128 limit = static_cast<__int128>(1000000000000000000LL) * 1000000000;  // 1e27
    if (mantissa > limit || mantissa < -limit) Flush();
  }

  // Returns false for a value that is not a number.
  bool Add(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
      case SQLITE_NULL: return true;
      case SQLITE_INTEGER:
        AddScaled(sqlite3_value_int64(v), 0);
        break;
      case SQLITE_FLOAT: {
        allIntegers = false;
        const double x = sqlite3_value_double(v);
        if (!std::isfinite(x)) return false;
        bool done = false;
        if (std::fabs(x) < 1e15) {
          for (int k = 0; k <= 15; ++k) {
            const double r = std::nearbyint(x * kPow10[k]);
            if (std::fabs(r) >= 9007199254740992.0) break;
            if (r / kPow10[k] == x) {
              AddScaled(static_cast<int64_t>(r), k);
              done = true;
              break;
            }
          }
        }
        if (!done) rest += Decimal::FromStoredDouble(x);
        break;
      }
      default: {
        allIntegers = false;
        std::optional<Decimal> d = Decimal::Parse(Text(v));
        if (!d) return false;
        rest += *d;
        break;
      }
    }
    any = true;
    ++count;
    return true;
  }

  Decimal Total() const { return rest + Decimal::FromParts(mantissa, scale); }
};

void ResultDecimal(sqlite3_context* ctx, const Decimal& total) {
  // Up to 15 significant digits a double carries the decimal exactly (it
  // reads back as the shortest decimal of that double); longer sums travel
  // as text.
  const Decimal d = total.Normalized();
  __int128 m = d.mantissa() < 0 ? -d.mantissa() : d.mantissa();
  int digits = 0;
  while (m > 0) {
    m /= 10;
    ++digits;
  }
  if (digits <= 15 && d.scale() <= 22) {
    return sqlite3_result_double(ctx, static_cast<double>(static_cast<int64_t>(d.mantissa())) / kPow10[d.scale()]);
  }
  ResultText(ctx, d.ToString());
}

template <class State>
State* StateOf(sqlite3_context* ctx, bool create) {
  auto** slot = static_cast<State**>(sqlite3_aggregate_context(ctx, create ? sizeof(State*) : 0));
  if (slot == nullptr) return nullptr;
  if (*slot == nullptr && create) *slot = new State();
  return *slot;
}

template <class State>
State* TakeState(sqlite3_context* ctx) {
  auto** slot = static_cast<State**>(sqlite3_aggregate_context(ctx, 0));
  if (slot == nullptr) return nullptr;
  State* s = *slot;
  *slot = nullptr;
  return s;
}

void SumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  ExactSum* s = StateOf<ExactSum>(ctx, true);
  if (!s) return sqlite3_result_error_nomem(ctx);
  try {
    if (!s->Add(argv[0])) Fail(ctx, 8114, "Error converting data type varchar to numeric.");
  } catch (const Error& e) {
    Fail(ctx, e.number() == 6 ? 8115 : e.number(), "Arithmetic overflow error converting expression to data type numeric.");
  }
}

void SumFinal(sqlite3_context* ctx) {
  std::unique_ptr<ExactSum> s(TakeState<ExactSum>(ctx));
  if (!s || !s->any) return sqlite3_result_null(ctx);
  try {
    const Decimal total = s->Total();
    if (s->allIntegers) {
      if (total.Abs() > Decimal::FromInt(INT64_MAX)) {
        return Fail(ctx, 8115, "Arithmetic overflow error converting expression to data type bigint.");
      }
      return sqlite3_result_int64(ctx, static_cast<int64_t>(total.Truncate().mantissa()));
    }
    ResultDecimal(ctx, total);
  } catch (const Error&) {
    Fail(ctx, 8115, "Arithmetic overflow error converting expression to data type numeric.");
  }
}

void AvgFinal(sqlite3_context* ctx) {
  std::unique_ptr<ExactSum> s(TakeState<ExactSum>(ctx));
  if (!s || !s->any) return sqlite3_result_null(ctx);
  try {
    const Decimal total = s->Total();
    if (s->allIntegers) {
      // The average of whole numbers is a whole number, cut toward zero.
      return sqlite3_result_int64(ctx, static_cast<int64_t>(total.Truncate().mantissa()) / s->count);
    }
    ResultDecimal(ctx, total / Decimal::FromInt(s->count));
  } catch (const Error&) {
    Fail(ctx, 8115, "Arithmetic overflow error converting expression to data type numeric.");
  }
}

// The value of a scalar subquery: more than one row is an error.
struct Single {
  int64_t rows = 0;
  sqlite3_value* value = nullptr;
  ~Single() { sqlite3_value_free(value); }
};

void SingleStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Single* s = StateOf<Single>(ctx, true);
  if (!s) return sqlite3_result_error_nomem(ctx);
  if (++s->rows == 1) {
    s->value = sqlite3_value_dup(argv[0]);
    return;
  }
  Fail(ctx, 512,
       "Subquery returned more than 1 value. This is not permitted when the subquery follows =, !=, <, <= , >, >= "
       "or when the subquery is used as an expression.");
}

void SingleFinal(sqlite3_context* ctx) {
  std::unique_ptr<Single> s(TakeState<Single>(ctx));
  if (!s || !s->value) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, s->value);
}

using ScalarFn = void (*)(sqlite3_context*, int, sqlite3_value**);

struct ScalarEntry {
  const char* name;
  int arguments;
  ScalarFn fn;
};

constexpr ScalarEntry kScalars[] = {
    {"LEN", 1, Len},
    {"YEAR", 1, DatePart<0>},
    {"MONTH", 1, DatePart<1>},
    {"DAY", 1, DatePart<2>},
    {"tsql_int", 1, ToInt},
    {"tsql_int", 2, ToInt},
    {"tsql_num", 1, ToNumeric},
    {"tsql_float", 1, ToFloat},
    {"tsql_bit", 1, ToBit},
    {"tsql_date", 1, ToDate},
    {"tsql_date", 2, ToDate},
    {"tsql_daydate", 1, DayDate},
    {"tsql_text", 1, NumberText},
    {"tsql_text", 2, NumberText},
    {"tsql_text", 4, NumberText},
    {"tsql_datetext", 1, DateText},
    {"tsql_datetext", 2, DateText},
    {"tsql_nonzero", 1, NonZero},
    {"tsql_mod", 2, Modulo},
    {"tsql_add", 2, Add},
    {"tsql_like", 2, Like},
    {"tsql_like", 3, Like},
    {"tsql_upper", 1, ChangeCase<true>},
    {"tsql_lower", 1, ChangeCase<false>},
    {"tsql_replace", 3, Replace},
    {"tsql_charindex", 2, CharIndex},
    {"tsql_charindex", 3, CharIndex},
    {"tsql_left", 2, Side<true>},
    {"tsql_right", 2, Side<false>},
    {"tsql_substring", 3, Substring},
    {"tsql_pad", 2, Pad},
    {"tsql_round", 2, Round},
    {"tsql_round", 3, Round},
    {"tsql_key", -1, Key},
    {"tsql_group_key", -1, GroupKeyOf},
};

}  // namespace

int RegisterTsqlExtensions(sqlite3* db) {
  int rc = sqlite3_create_collation(db, "TSQL", SQLITE_UTF8, nullptr, CollateTsql);
  if (rc != SQLITE_OK) return rc;
  // SQLite's Bloom filters (the join pre-check on automatic and ordinary
  // indexes) hash text ignoring the collation, so 'EUR' would miss 'eur ' in
  // a join that TSQL says matches: they are switched off on this handle.
  constexpr int kBloomFilter = 0x00080000;
  constexpr int kBloomPulldown = 0x00100000;
  sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db, kBloomFilter | kBloomPulldown);
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (const ScalarEntry& s : kScalars) {
    rc = sqlite3_create_function_v2(db, s.name, s.arguments, flags, nullptr, s.fn, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  rc = sqlite3_create_function_v2(db, "tsql_sum", 1, flags, nullptr, nullptr, SumStep, SumFinal, nullptr);
  if (rc != SQLITE_OK) return rc;
  rc = sqlite3_create_function_v2(db, "tsql_avg", 1, flags, nullptr, nullptr, SumStep, AvgFinal, nullptr);
  if (rc != SQLITE_OK) return rc;
  return sqlite3_create_function_v2(db, "tsql_single", 1, flags, nullptr, nullptr, SingleStep, SingleFinal, nullptr);
}

}  // namespace zelmora
