#include "telematic/line_movements.h"

#include <string_view>
#include <vector>

#include "component/value_helpers.h"
#include "platform/text_util.h"

namespace zelmora::telematic {

namespace {

// How a column of the line narrows the movements that made it.
enum class Match { kNone, kQuoted, kPlain, kPlainAlways };

Match MatchOf(std::string_view name) {
  for (std::string_view quoted : {"CG07_CODICECF", "IN02_NOMENCLATURA", "CG07_CODISOPAG"}) {
    if (EqualsIgnoreCase(name, quoted)) return Match::kQuoted;
  }
  for (std::string_view plain :
       {"IN02_INDOPER", "IN01_INDTIPODOC", "IN02_PROTDICH", "IN02_PROGRSEZ3", "IN02_INDTIPODATI"}) {
    if (EqualsIgnoreCase(name, plain)) return Match::kPlain;
  }
  for (std::string_view always : {"CG41_TIPOCF_CG44", "CG41_CLIFOR_CG44", "CG16_CODICE"}) {
    if (EqualsIgnoreCase(name, always)) return Match::kPlainAlways;
  }
  return Match::kNone;
}

// A number as the recordset holds it, written as it is; any other text as
// a string literal (the server converts it when it compares it with a
// number column).
bool IsPlainNumber(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return IsDigits(text);
}

}  // namespace

std::string SqlTextLiteral(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += c;
  }
  return out + "'";
}

std::string BoundLineMovementsCondition(const Recordset& rs, const Row& row, bool emptyNarrows) {
  std::string condition;
  for (size_t i = 0; i < rs.FieldCount(); ++i) {
    const std::string& name = rs.Field(i).name;
    const Match match = MatchOf(name);
    if (match == Match::kNone) continue;
    const std::string text = row[i].Text();
    if (!emptyNarrows && text.empty()) continue;
    if (match != Match::kPlainAlways && text.empty()) {
      condition += " AND " + name + " IS NULL \r\n";
    } else if (match == Match::kQuoted || !IsPlainNumber(text)) {
      condition += " AND " + name + " = " + SqlTextLiteral(text) + "\r\n";
    } else {
      condition += " AND " + name + " = " + text + "\r\n";
    }
  }
  return condition;
}

std::string BoundLineMovementsCondition(const Recordset& rs, bool emptyNarrows) {
  Row values;
  for (size_t i = 0; i < rs.FieldCount(); ++i) values.push_back(rs.Value(i));
  return BoundLineMovementsCondition(rs, values, emptyNarrows);
}

std::string LineMovementsCondition(const Recordset& rs, bool emptyNarrows) {
  Row values;
  for (size_t i = 0; i < rs.FieldCount(); ++i) values.push_back(rs.Value(i));
  return LineMovementsCondition(rs, values, emptyNarrows);
}

std::string LineMovementsCondition(const Recordset& rs, const Row& row, bool emptyNarrows) {
  std::string condition;
  for (size_t i = 0; i < rs.FieldCount(); ++i) {
    const std::string name = SeNullo(Variant::String(rs.Field(i).name), Variant::String("")).Text();
    const Match match = MatchOf(name);
    if (match == Match::kNone) continue;
    const std::string text = row[i].Text();
    if (!emptyNarrows && text.empty()) continue;
    if (match != Match::kPlainAlways && text.empty()) {
      condition += " AND " + name + " IS NULL \r\n";
    } else if (match == Match::kQuoted) {
      condition += " AND " + name + " = '" + text + "'\r\n";
    } else {
      condition += " AND " + name + " = " + text + "\r\n";
    }
  }
  return condition;
}

}  // namespace zelmora::telematic
