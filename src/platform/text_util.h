// Small text helpers shared across the library.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace zelmora {

// ASCII case-insensitive equality, for member, field and property names.
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// One or more digits 0-9 and nothing else.
inline bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace zelmora

namespace zelmora {

// Fixed widths count characters, not bytes: these work on UTF-8 text.
size_t Utf8Length(std::string_view text);
// The first `count` characters (all of them when fewer).
std::string Utf8Left(std::string_view text, size_t count);
// The last `count` characters.
std::string Utf8Right(std::string_view text, size_t count);
// Characters from `start` (1-based), at most `count` of them (npos: to the end).
std::string Utf8Mid(std::string_view text, size_t start, size_t count = std::string_view::npos);
// Appends one code point encoded as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// Case of one character, one to one, for the letters that names and
// addresses carry: Basic Latin, Latin-1, Latin Extended-A, Greek and
// Cyrillic (other characters are returned as they are). The upper case of
// dotless i, long s and micro sign are I, S and capital mu.
char32_t UpperCodePoint(char32_t c);
char32_t LowerCodePoint(char32_t c);
// The form in which two characters are compared when case does not count:
// the lower case of the upper case, so that i, I, dotless i and dotted I
// are one letter, as are s, S and long s.
inline char32_t FoldCodePoint(char32_t c) { return LowerCodePoint(UpperCodePoint(c)); }
// Leading and trailing blanks (spaces only) removed.
std::string_view TrimBlanks(std::string_view text);
// Every occurrence of `from` replaced by `to`, case-sensitively, left to
// right; the replacements are not searched again.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to);

// `from` appended to `to`; an empty `to` takes `from`'s buffer instead of a
// copy (a submission text is the largest thing a job makes).
inline void AppendOrTake(std::string& to, std::string&& from) {
  if (to.empty()) {
    to = std::move(from);
  } else {
    to += from;
  }
}

}  // namespace zelmora
