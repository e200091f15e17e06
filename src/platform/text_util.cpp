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

}  // namespace

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

}  // namespace zelmora
