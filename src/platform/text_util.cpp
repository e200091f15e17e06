#include "platform/text_util.h"

namespace zelmora {
namespace {

// Byte offset of the character after `count` characters from `from`.
size_t AdvanceChars(std::string_view text, size_t from, size_t count) {
  size_t pos = from;
  while (count > 0 && pos < text.size()) {
    ++pos;
    // Skip continuation bytes of a multi-byte character.
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
    --count;
  }
  return pos;
}

// Latin Extended-A pairs each capital with the small letter after it; in
// these ranges the capital has an even code...
bool EvenCapitalRange(char32_t c) {
  return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
// ...and in these an odd one.
bool OddCapitalRange(char32_t c) { return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E); }

}  // namespace

char32_t UpperCodePoint(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  if (c < 0x100) {
    if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return c - 32;
    if (c == 0xFF) return 0x178;
    return c == 0xB5 ? 0x39C : c;  // micro sign: capital mu
  }
  if (EvenCapitalRange(c)) return (c % 2 == 1) ? c - 1 : c;
  if (OddCapitalRange(c)) return (c % 2 == 0) ? c - 1 : c;
  if (c == 0x131) return 'I';
  if (c == 0x17F) return 'S';
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x3B1 && c <= 0x3CB) return c - 32;
  if (c == 0x3AC) return 0x386;  // Greek small letters with tonos
  if (c >= 0x3AD && c <= 0x3AF) return c - 37;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 63;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

char32_t LowerCodePoint(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (c < 0x100) return (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 32 : c;
  if (c == 0x178) return 0xFF;
  if (EvenCapitalRange(c)) return (c % 2 == 0) ? c + 1 : c;
  if (OddCapitalRange(c)) return (c % 2 == 1) ? c + 1 : c;
  if (c == 0x130) return 'i';
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c == 0x386) return 0x3AC;  // Greek capitals with tonos
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

size_t Utf8Length(std::string_view text) {
  size_t length = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++length;
  }
  return length;
}

std::string Utf8Left(std::string_view text, size_t count) {
  return std::string(text.substr(0, AdvanceChars(text, 0, count)));
}

std::string Utf8Right(std::string_view text, size_t count) {
  const size_t length = Utf8Length(text);
  if (count >= length) return std::string(text);
  return std::string(text.substr(AdvanceChars(text, 0, length - count)));
}

std::string Utf8Mid(std::string_view text, size_t start, size_t count) {
  if (start == 0) start = 1;
  const size_t begin = AdvanceChars(text, 0, start - 1);
  if (count == std::string_view::npos) return std::string(text.substr(begin));
  const size_t end = AdvanceChars(text, begin, count);
  return std::string(text.substr(begin, end - begin));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  std::string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
    result.append(text, start, at - start);
    result += to;
    start = at + from.size();
  }
  result.append(text, start, std::string::npos);
  text = std::move(result);
}

}  // namespace zelmora
