// Conversions and text comparison as the host's server makes them, shared by
// the translator (which converts literals while it translates) and by the
// SQL functions registered on every SQLite handle (which convert values
// while a statement runs), so that both give the same answer.
#pragma once

#include "platform/text_util.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/decimal.h"

namespace zelmora::tsql {

// --- text under the TSQL collation -------------------------------------------
// Letters compare in their folded form (FoldCodePoint in text_util): every
// letter of the Latin, Greek and Cyrillic alphabets equals its other case;
// accents count.
// Characters of a UTF-8 text (an invalid byte counts as one character).
std::vector<char32_t> DecodeUtf8(std::string_view text);
// The character that starts at `i`, `i` moved past it (an invalid byte is
// one character, its own value).
char32_t NextCodePoint(std::string_view text, size_t& i);
using ::zelmora::AppendUtf8;  // the library's one UTF-8 encoder
// -1, 0 or 1: case-insensitive, and the shorter text is padded with blanks,
// so trailing blanks do not count ('ab' = 'AB  ').
int CompareCollated(std::string_view a, std::string_view b);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
// Characters without the trailing blanks (what LEN counts).
size_t LengthWithoutTrailingBlanks(std::string_view text);
// LIKE with %, _, [set], [a-z] and [^set], case-insensitive; trailing
// blanks count. `escape` is 0 when there is none.
bool LikeMatch(std::string_view value, std::string_view pattern, char32_t escape);
// Every occurrence of `from` (found case-insensitively) replaced by `to`.
std::string ReplaceCollated(std::string_view text, std::string_view from, std::string_view to);
// 1-based position of `what` in `text` from `start`, case-insensitively; 0 when absent.
int64_t FindCollated(std::string_view what, std::string_view text, int64_t start);

// --- text to numbers --------------------------------------------------------
// Integer text: blanks, an optional sign and digits ("" and blanks give 0).
std::optional<int64_t> TextToInteger(std::string_view text);
// Decimal text: blanks, an optional sign, digits with one optional point.
std::optional<Decimal> TextToDecimal(std::string_view text);
// Float text: as decimal text, with an optional exponent ("" gives 0).
std::optional<double> TextToFloat(std::string_view text);

// --- dates -------------------------------------------------------------------
// Inside SQLite a date is the number YYYYMMDD, and YYYYMMDD.HHMMSS when it has
// a time of day: numbers order as the dates do, and a DATETIME column (numeric
// affinity) keeps the stored 'YYYYMMDD' text as that very number.
struct DateParts {
  int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  bool HasTime() const { return hour != 0 || minute != 0 || second != 0; }
};
bool IsValidDate(const DateParts& d);
// 'YYYYMMDD', 'YYYY-MM-DD', either followed by a time 'HH:MM[:SS[.fff]]'
// after a blank or 'T'; blank text is 1 January 1900. nullopt otherwise.
std::optional<DateParts> ParseDateText(std::string_view text);
// CONVERT(DATETIME, text, style): the styles 103 (dd/mm/yyyy), 104
// (dd.mm.yyyy) and 105 (dd-mm-yyyy); the ISO styles read as ParseDateText.
bool IsKnownDateStyle(int style);
std::optional<DateParts> ParseDateTextStyled(std::string_view text, int style);
// The stored number (or its text) back to a date.
std::optional<DateParts> DateFromStored(double value);
// Days counted from 1 January 1900 (the server's number-to-date rule).
std::optional<DateParts> DateFromDayNumber(int64_t days);
// The stored number as SQL text: "20240105" or "20240105.235959".
std::string DateNumberText(const DateParts& d);
double DateNumber(const DateParts& d);
// CONVERT(VARCHAR, date, style); style 0 is CAST's "Jan  5 2024 12:00AM".
// nullopt for a style it does not know.
std::optional<std::string> FormatDate(const DateParts& d, int style);

// --- numbers to text --------------------------------------------------------
// CAST(float AS VARCHAR): at most six significant digits, exponent form
// ("1.23457e+006") when the number needs it.
std::string FloatToText(double value);

}  // namespace zelmora::tsql
