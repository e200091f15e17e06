#include "platform/sqlite/tsql_lexer.h"

#include <cctype>

namespace zelmora::tsql {
namespace {

bool IdentifierStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c >= 0x80;
}

bool IdentifierPart(unsigned char c) {
  return IdentifierStart(c) || (c >= '0' && c <= '9') || c == '@' || c == '$';
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Error Untranslatable(const std::string& construct) {
  return Error(kUntranslatable, "The SQLite backend cannot translate this T-SQL construct: " + construct);
}

bool Token::Is(std::string_view keyword) const {
  if (kind != TokenKind::Identifier || text.size() != keyword.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != keyword[i]) return false;
  }
  return true;
}

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> tokens;
  size_t i = 0;
  auto quoted = [&](char close, size_t start) {
    // Returns the text between the quotes; a doubled closing quote is one.
    std::string value;
    size_t k = start;
    while (true) {
      if (k >= s.size()) {
        throw Error(105, "Unclosed quotation mark after the character string '" + value + "'.");
      }
      if (s[k] == close) {
        if (k + 1 < s.size() && s[k + 1] == close) {
          value += close;
          k += 2;
          continue;
        }
        i = k + 1;
        return value;
      }
      value += s[k++];
    }
  };
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
      continue;
    }
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      int depth = 0;
      do {
        if (i + 1 < s.size() && s[i] == '/' && s[i + 1] == '*') {
          ++depth;
          i += 2;
        } else if (i + 1 < s.size() && s[i] == '*' && s[i + 1] == '/') {
          --depth;
          i += 2;
        } else if (i < s.size()) {
          ++i;
        }
        if (i >= s.size() && depth > 0) throw Error(113, "Missing end comment mark '*/'.");
      } while (depth > 0);
      continue;
    }
    Token t;
    t.offset = i;
    if ((c == 'N' || c == 'n') && i + 1 < s.size() && s[i + 1] == '\'') {
      t.kind = TokenKind::UnicodeString;
      t.text = quoted('\'', i + 2);
    } else if (c == '\'') {
      t.kind = TokenKind::String;
      t.text = quoted('\'', i + 1);
    } else if (c == '[') {
      t.kind = TokenKind::QuotedIdentifier;
      t.text = quoted(']', i + 1);
    } else if (c == '"') {
      t.kind = TokenKind::QuotedIdentifier;
      t.text = quoted('"', i + 1);
    } else if (c == '@') {
      size_t k = i + 1;
      while (k < s.size() && IdentifierPart(static_cast<unsigned char>(s[k]))) ++k;
      t.kind = TokenKind::Variable;
      t.text = std::string(s.substr(i, k - i));
      i = k;
    } else if (IdentifierStart(static_cast<unsigned char>(c))) {
      size_t k = i + 1;
      while (k < s.size() && IdentifierPart(static_cast<unsigned char>(s[k]))) ++k;
      t.kind = TokenKind::Identifier;
      t.text = std::string(s.substr(i, k - i));
      i = k;
    } else if (Digit(c) || (c == '.' && i + 1 < s.size() && Digit(s[i + 1]))) {
      size_t k = i;
      if (c == '0' && k + 1 < s.size() && (s[k + 1] == 'x' || s[k + 1] == 'X')) {
        k += 2;
        while (k < s.size() && std::isxdigit(static_cast<unsigned char>(s[k]))) ++k;
      } else {
        while (k < s.size() && Digit(s[k])) ++k;
        if (k < s.size() && s[k] == '.') {
          ++k;
          while (k < s.size() && Digit(s[k])) ++k;
        }
        if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
          size_t e = k + 1;
          if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
          if (e < s.size() && Digit(s[e])) {
            k = e;
            while (k < s.size() && Digit(s[k])) ++k;
          }
        }
      }
      t.kind = TokenKind::Number;
      t.text = std::string(s.substr(i, k - i));
      i = k;
    } else {
      static constexpr std::string_view kTwo[] = {"<=", ">=", "<>", "!=", "!<", "!>", "::"};
      t.kind = TokenKind::Symbol;
      for (std::string_view two : kTwo) {
        if (s.substr(i, 2) == two) t.text = std::string(two);
      }
      if (t.text.empty()) {
        static constexpr std::string_view kOne = "(),.;*/%+-=<>&|^~";
        if (kOne.find(c) == std::string_view::npos) {
          throw Error(102, std::string("Incorrect syntax near '") + c + "'.");
        }
        t.text = std::string(1, c);
      }
      i += t.text.size();
    }
    tokens.push_back(std::move(t));
  }
  Token end;
  end.offset = s.size();
  tokens.push_back(end);
  return tokens;
}

}  // namespace zelmora::tsql
