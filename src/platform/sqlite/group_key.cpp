#include "platform/sqlite/group_key.h"

#include <cmath>
#include <cstring>

#include "platform/sqlite/tsql_text.h"
#include "platform/text_util.h"

namespace zelmora::tsql {

namespace {

// The first byte of each term: its class, in SQLite's order of classes.
constexpr char kNull = 0x01;
constexpr char kText = 0x30;
constexpr char kBlob = 0x40;
// Numbers take 0x0B to 0x1D: below and above the whole-number range, and
// in it a whole part of 0 to 8 bytes, negative below 0x14, positive above.
constexpr unsigned char kBelowRange = 0x0B;
constexpr unsigned char kZero = 0x14;
constexpr unsigned char kAboveRange = 0x1D;

void AppendBigEndian(std::string& out, uint64_t value, int bytes) {
  char buffer[8];
  for (int i = 0; i < bytes; ++i) buffer[i] = static_cast<char>((value >> (8 * (bytes - 1 - i))) & 0xFF);
  out.append(buffer, static_cast<size_t>(bytes));
}

uint64_t Bits(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The whole part, in as few bytes as it needs: a positive one as it is, a
// negative one as its complement, so that more bytes mean farther from 0.
void AppendWhole(std::string& out, int64_t whole) {
  if (whole == 0) {
    out += static_cast<char>(kZero);
    return;
  }
  const bool negative = whole < 0;
  const uint64_t magnitude = negative ? ~static_cast<uint64_t>(whole) + 1 : static_cast<uint64_t>(whole);
  int bytes = 0;
  while (bytes < 8 && (magnitude >> (8 * bytes)) != 0) ++bytes;
  if (negative) {
    out += static_cast<char>(kZero - bytes);
    AppendBigEndian(out, ~magnitude, bytes);
  } else {
    out += static_cast<char>(kZero + bytes);
    AppendBigEndian(out, magnitude, bytes);
  }
}

// The characters of a TSQL-collated text compare folded, the shorter text
// padded with blanks. So a character after k blanks (the text's trailing
// blanks dropped) is one token: one below a blank sorts before every token
// with more blanks before it, one above a blank after them; the text's end
// sorts as endless blanks, between the two kinds.
constexpr unsigned char kLowTokens = 0x01;   // 0x01 + k, k < 0x3F; 0x40 and k in 4 bytes
constexpr unsigned char kTextEnd = 0x80;
constexpr unsigned char kHighTokens = 0xFF;  // 0xFF - k, k < 0x3F; 0xC0 and ~k in 4 bytes
constexpr uint32_t kShortRun = 0x3F;

}  // namespace

void GroupKey::AppendNull() { bytes_ += kNull; }

void GroupKey::AppendInteger(int64_t value) {
  AppendWhole(bytes_, value);
  bytes_ += '\0';  // no fraction
}

void GroupKey::AppendReal(double value) {
  if (std::isnan(value)) return AppendNull();
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (value < -kLimit) {
    bytes_ += static_cast<char>(kBelowRange);
    AppendBigEndian(bytes_, ~Bits(-value), 8);
    return;
  }
  if (value >= kLimit) {
    bytes_ += static_cast<char>(kAboveRange);
    AppendBigEndian(bytes_, Bits(value), 8);
    return;
  }
  const double whole = std::floor(value);
  AppendWhole(bytes_, static_cast<int64_t>(whole));
  const double fraction = value - whole;  // exact, in [0, 1)
  if (fraction == 0) {
    bytes_ += '\0';
  } else {
    bytes_ += '\x01';
    AppendBigEndian(bytes_, Bits(fraction), 8);  // positive doubles sort as their bits
  }
}

void GroupKey::AppendEscaped(std::string_view bytes) {
  for (char c : bytes) {
    bytes_ += c;
    if (c == '\0') bytes_ += '\xFF';
  }
  bytes_ += '\0';
  bytes_ += '\0';
}

void GroupKey::AppendBlob(std::string_view bytes) {
  bytes_ += kBlob;
  AppendEscaped(bytes);
}

void GroupKey::AppendText(std::string_view text, bool collated) {
  bytes_ += kText;
  if (!collated) return AppendEscaped(text);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  uint32_t blanks = 0;
  size_t i = 0;
  while (i < text.size()) {
    // The common run: ASCII characters above a blank, none after a blank,
    // each a high token and its folded byte.
    if (blanks == 0) {
      size_t end = i;
      while (end < text.size() && static_cast<unsigned char>(text[end]) > 0x20 &&
             static_cast<unsigned char>(text[end]) < 0x80) {
        ++end;
      }
      if (end > i) {
        const size_t at = bytes_.size();
        bytes_.resize(at + 2 * (end - i));
        char* out = bytes_.data() + at;
        for (; i < end; ++i) {
          const unsigned char b = static_cast<unsigned char>(text[i]);
          *out++ = static_cast<char>(kHighTokens);
          *out++ = static_cast<char>((b >= 'A' && b <= 'Z') ? b + 32 : b);
        }
        continue;
      }
    }
    const unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t c;
    if (b < 0x80) {
      c = (b >= 'A' && b <= 'Z') ? b + 32 : b;
      ++i;
    } else {
      c = FoldCodePoint(NextCodePoint(text, i));
    }
    if (c == U' ') {
      ++blanks;
      continue;
    }
    if (c < U' ') {
      if (blanks < kShortRun) {
        bytes_ += static_cast<char>(kLowTokens + blanks);
      } else {
        bytes_ += static_cast<char>(kLowTokens + kShortRun);
        AppendBigEndian(bytes_, blanks, 4);
      }
    } else if (blanks < kShortRun) {
      bytes_ += static_cast<char>(kHighTokens - blanks);
    } else {
      bytes_ += static_cast<char>(kHighTokens - kShortRun);
      AppendBigEndian(bytes_, ~blanks, 4);
    }
    // UTF-8's byte order is the code points' order (up to 21 bits, which
    // is as far as a decoded character goes).
    AppendUtf8(bytes_, c);
    blanks = 0;
  }
  bytes_ += static_cast<char>(kTextEnd);
}

}  // namespace zelmora::tsql
