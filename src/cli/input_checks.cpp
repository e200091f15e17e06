#include "cli/input_checks.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "platform/recordset_filter.h"
#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A column of a movement list that a condition or an ordering may name:
// one of the list's own columns, from the movement tables (whose prefixes
// make the name unambiguous in the statement), with whether it holds a
// number (a number column compares only with a number or a 'number').
// Dates are compared as text, as the statement writes them ('20240131').
struct ListColumn {
  std::string_view name;
  bool number;
};

constexpr ListColumn kLineColumns[] = {
    {"IN01_INDTIPODOC", true},     {"IN01_CAMBIO", true},         {"IN01_CODICE_CG08", false},
    {"IN01_DITTA_CG18", true},     {"IN01_NUMREG_CG41", true},    {"IN01_PORTOSPA", false},
    {"IN01_CODINCOTERMS_MG0T", false}, {"CG41_NUMDOCORIG", false}, {"CG41_DATADOC", false},
    {"CG41_DATAREG", false},       {"CG41_CODICE_CG33", false},   {"CG41_DESCAUSALE", false},
    {"IN02_MESERIF", true},        {"IN02_ANNORIF", true},        {"IN02_NOMENCLATURA", false},
    {"IN02_IMPORTO", true},        {"IN02_INDNATURA", true},      {"IN02_NUMRIGA", true},
    {"IN02_IMPORTOVAL", true},     {"IN02_INDCONS", true},        {"IN02_PAESEPRO_CG07", true},
    {"IN02_PAESEORI_CG07", true},  {"IN02_PAESEDES_CG07", true},  {"IN02_PROVDEST", false},
    {"IN02_PROVORIG", false},      {"IN02_MASSA", true},          {"IN02_UNSUPPL", true},
    {"IN02_VALSTAT", true},        {"IN02_INDTRASP", true},       {"IN02_FLGSEGNO", true},
    {"IN02_INDTIPODATI", true},    {"IN02_INDOPER", true},        {"IN02_CODICE_IN03", false},
    {"IN02_CODICE_IN04", false},
};

constexpr ListColumn kDocumentColumns[] = {
    {"IN01_INDTIPODOC", true},     {"IN01_CAMBIO", true},         {"IN01_CODICE_CG08", false},
    {"IN01_DITTA_CG18", true},     {"IN01_NUMREG_CG41", true},    {"IN01_PORTOSPA", false},
    {"IN01_CODINCOTERMS_MG0T", false}, {"IN01_FLGSTANDALONE", true}, {"CG41_NUMDOCORIG", false},
    {"CG41_DATADOC", false},       {"CG41_SEZIONALE", false},     {"CG41_NUMDOC", true},
    {"CG41_FLGDOCBIS", true},      {"CG41_DATAREG", false},       {"CG41_CODICE_CG33", false},
    {"CG41_DESCAUSALE", false},    {"CG41_INDPROVREG", true},
};

}  // namespace

std::vector<FieldInfo> MovementListFields(MovementList list) {
  std::vector<FieldInfo> fields;
  auto add = [&fields](const auto& columns) {
    for (const ListColumn& column : columns) {
      FieldInfo field;
      field.name = std::string(column.name);
      field.type = column.number ? DataType::Integer : DataType::VarChar;
      fields.push_back(std::move(field));
    }
  };
  if (list == MovementList::Lines) {
    add(kLineColumns);
  } else {
    add(kDocumentColumns);
  }
  return fields;
}

namespace {

bool IsListColumn(std::string_view name, MovementList list) {
  for (const FieldInfo& field : MovementListFields(list)) {
    if (EqualsIgnoreCase(field.name, name)) return true;
  }
  return false;
}

const char* ListName(MovementList list) { return list == MovementList::Lines ? "line list" : "document list"; }

// Whether a keyword starts at `at`: the word, ignoring case, not part of a
// longer name.
bool WordAt(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size() || !EqualsIgnoreCase(text.substr(at, word.size()), word)) return false;
  auto inName = [](char c) { return IsAsciiAlnum(c) || c == '_'; };
  if (at > 0 && inName(text[at - 1])) return false;
  const size_t after = at + word.size();
  return after == text.size() || !inName(text[after]);
}

// What a criterion that parsed still cannot be in the statement: a #date#
// (the statement's dialect has no such literal) or an OR outside
// parentheses. Quoted texts and bracketed names are skipped whole; the
// parser has already checked that each is closed.
std::string StatementProblem(std::string_view criterion) {
  int depth = 0;
  for (size_t i = 0; i < criterion.size(); ++i) {
    const char c = criterion[i];
    if (c == '\'') {
      for (++i; i < criterion.size(); ++i) {
        if (criterion[i] != '\'') continue;
        if (i + 1 < criterion.size() && criterion[i + 1] == '\'') {
          ++i;
          continue;
        }
        break;
      }
    } else if (c == '[') {
      i = criterion.find(']', i);
      if (i == std::string_view::npos) break;
    } else if (c == '#') {
      return "a date is written as text, '20240131', not between #";
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (depth == 0 && WordAt(criterion, i, "OR")) {
      return "an OR must stand inside parentheses, or it would reach other companies' movements";
    }
  }
  return {};
}

}  // namespace

bool HasControlCharacter(std::string_view text) {
  for (unsigned char c : text) {
    if (IsControl(c)) return true;
  }
  return false;
}

std::string Shown(const std::string& text) {
  std::string shown;
  auto escape = [&shown](unsigned char c) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    shown += escaped;
  };
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (IsControl(c)) {
        escape(c);
      } else {
        shown += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    // A character of several bytes is kept when it is well formed UTF-8
    // and not one of the C1 controls (U+0080 to U+009F), which terminals
    // obey as they do the C0 ones; any other byte is shown as \xNN.
    const size_t length = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool whole = length != 0 && i + length <= text.size();
    for (size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    char32_t point = 0;
    if (whole) {
      point = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
      for (size_t k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
      whole = point >= least && point <= 0x10FFFF && !(point >= 0xD800 && point <= 0xDFFF);
    }
    if (!whole || point < 0xA0) {
      escape(c);
      ++i;
      continue;
    }
    shown.append(text, i, length);
    i += length;
  }
  return shown;
}

int64_t Whole(const std::string& text, const char* option, int64_t low, int64_t high) {
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  const bool digits = !text.empty() && text[0] != '-';
  if (!digits || error != std::errc() || at != end || value < low || value > high) {
    throw Refusal{std::string(option) + " must be a whole number from " + std::to_string(low) + " to " +
                  std::to_string(high) + ", not '" + Shown(text) + "'"};
  }
  return value;
}

void CheckDate(const std::string& text, const char* option) {
  if (!text.empty() && !Date::Parse(text)) {
    throw Refusal{std::string(option) + " is not a date (YYYY-MM-DD, YYYYMMDD or DD/MM/YYYY): \"" + Shown(text) +
                  "\""};
  }
}

void CheckCode(const std::string& text, const char* option, size_t width, bool alphanumeric) {
  if (text.empty()) return;
  const std::string name(option);
  if (HasControlCharacter(text)) throw Refusal{name + " must not hold a control character: '" + Shown(text) + "'"};
  if (alphanumeric) {
    for (char c : text) {
      if (!IsAsciiAlnum(c)) throw Refusal{name + " must be letters and digits, not '" + text + "'"};
    }
  }
  if (text.find('\'') != std::string::npos) throw Refusal{name + " must not hold a quote: '" + text + "'"};
  if (text.find(';') != std::string::npos || text.find("--") != std::string::npos) {
    throw Refusal{name + " must not hold ';' or '--': '" + text + "'"};
  }
  const size_t length = Utf8Length(text);
  if (length > width) {
    throw Refusal{name + " has at most " + std::to_string(width) + " characters, not " + std::to_string(length) +
                  ": '" + text + "'"};
  }
}

void CheckMovementFilter(const std::string& text, const char* option, MovementList list) {
  if (text.empty()) return;
  const std::string name(option);
  if (HasControlCharacter(text)) throw Refusal{name + " must not hold a control character: '" + Shown(text) + "'"};
  const std::string_view condition = TrimBlanks(text);
  if (!WordAt(condition, 0, "AND")) {
    throw Refusal{name + " must start with AND: it is added to the list's own conditions"};
  }
  const std::string_view criterion = TrimBlanks(condition.substr(3));
  try {
    FilterCriteria parsed = FilterCriteria::Parse(criterion);
    parsed.Bind(MovementListFields(list));
  } catch (const Error& error) {
    // The parser's text starts with the generic description of error 3001.
    std::string why = error.description();
    const std::string generic = Error::BadArguments().description() + " ";
    if (why.starts_with(generic)) why.erase(0, generic.size());
    throw Refusal{name + " is not a condition on the " + ListName(list) + ": " + why};
  }
  const std::string problem = StatementProblem(criterion);
  if (!problem.empty()) throw Refusal{name + " is not a condition on the " + ListName(list) + ": " + problem};
}

void CheckMovementOrder(const std::string& text, const char* option, MovementList list) {
  if (text.empty()) return;
  const std::string name(option);
  if (HasControlCharacter(text)) throw Refusal{name + " must not hold a control character: '" + Shown(text) + "'"};
  std::string_view rest = text;
  for (;;) {
    const size_t comma = rest.find(',');
    const std::string_view item = TrimBlanks(rest.substr(0, comma));
    const size_t blank = item.find(' ');
    const std::string_view column = item.substr(0, blank);
    const std::string_view direction =
        blank == std::string_view::npos ? std::string_view() : TrimBlanks(item.substr(blank));
    const bool directionOk =
        direction.empty() || EqualsIgnoreCase(direction, "ASC") || EqualsIgnoreCase(direction, "DESC");
    if (!IsListColumn(column, list) || !directionOk) {
      throw Refusal{name + " takes columns of the " + ListName(list) + ", each with ASC or DESC at most, separated " +
                    "by commas: '" + std::string(item) + "' is not one"};
    }
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
}

}  // namespace zelmora::cli
