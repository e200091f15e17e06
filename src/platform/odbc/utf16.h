// UTF-8 text (the program's) to and from UTF-16 (ODBC's wide calls, where a
// character beyond the Basic Multilingual Plane is a surrogate pair). A
// malformed sequence becomes U+FFFD rather than failing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelmora {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace zelmora
