// Tokens of a T-SQL batch: identifiers (plain, [bracketed] or "quoted",
// #temporary), @variables, numbers, 'text' and N'text' literals, operators
// and punctuation. Comments (-- and /* */, which nest) and line breaks are
// dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace zelmora::tsql {

// The number of an error for a construct the SQLite backend does not
// translate; its message names the construct.
constexpr int32_t kUntranslatable = 30100;
Error Untranslatable(const std::string& construct);

enum class TokenKind { End, Identifier, QuotedIdentifier, Variable, Number, String, UnicodeString, Symbol };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // the name without quotes, the literal's value, the symbol
  size_t offset = 0;

  // A plain identifier equal to the keyword (which is given in upper case).
  bool Is(std::string_view keyword) const;
  bool IsSymbol(std::string_view symbol) const { return kind == TokenKind::Symbol && text == symbol; }
};

// Throws Error 105 for an unclosed quotation mark and 102 for a character
// that starts no token.
std::vector<Token> Tokenize(std::string_view batch);

}  // namespace zelmora::tsql
