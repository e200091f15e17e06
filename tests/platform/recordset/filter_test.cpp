#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "platform/recordset.h"

namespace zelmora {
namespace {

Variant Dec(std::string_view text) { return Variant::Dec(*Decimal::Parse(text)); }
Variant Day(int y, int m, int d) { return Variant::FromDate(*Date::FromYMD(y, m, d)); }

// Six rows with a text, a decimal, a whole-number code and a date; row "f"
// has Nulls in every column but its name.
RecordsetPtr Sample() {
  std::vector<FieldInfo> fields = {
      {"NAME", DataType::VarChar, 40, kFieldIsNullable, 0, 0},
      {"AMOUNT", DataType::Decimal, 0, kFieldIsNullable, 18, 2},
      {"KIND", DataType::Decimal, 0, kFieldIsNullable, 2, 0},
      {"DAY", DataType::Date, 0, kFieldIsNullable, 0, 0},
  };
  std::vector<Row> rows = {
      {Variant::String("alpha"), Dec("10.50"), Dec("1"), Day(2024, 3, 31)},
      {Variant::String("Beta"), Dec("0.00"), Dec("2"), Day(2024, 4, 1)},
      {Variant::String("O'Brien"), Dec("-3.25"), Dec("1"), Day(2023, 12, 31)},
      {Variant::String("gamma ray"), Dec("100"), Dec("3"), Day(2024, 3, 30)},
      {Variant::String("ALPHABET"), Dec("10.5"), Dec("2"), Day(2024, 2, 29)},
      {Variant::String("f"), Variant::Null(), Variant::Null(), Variant::Null()},
  };
  return Recordset::FromRows(std::move(fields), std::move(rows));
}

// Names of the visible rows, in order, joined by commas.
std::string Visible(const Recordset& rs) {
  std::string out;
  for (const Row* row : rs.VisibleRows()) {
    if (!out.empty()) out += ',';
    out += (*row)[0].Text();
  }
  return out;
}

std::string Filtered(std::string_view criteria) {
  auto rs = Sample();
  rs->SetFilter(criteria);
  return Visible(*rs);
}

TEST(RecordsetFilter, OperatorsOnNumbersTextsAndDates) {
  EXPECT_EQ(Filtered("AMOUNT = 10.5"), "alpha,ALPHABET");
  EXPECT_EQ(Filtered("AMOUNT <> 0"), "alpha,O'Brien,gamma ray,ALPHABET");
  EXPECT_EQ(Filtered("AMOUNT < 0"), "O'Brien");
  EXPECT_EQ(Filtered("AMOUNT > 10.5"), "gamma ray");
  EXPECT_EQ(Filtered("AMOUNT <= 0"), "Beta,O'Brien");
  EXPECT_EQ(Filtered("AMOUNT >= 10.50"), "alpha,gamma ray,ALPHABET");
  EXPECT_EQ(Filtered("AMOUNT=-3.25"), "O'Brien");
  EXPECT_EQ(Filtered("amount = 1E2"), "gamma ray");

  // Text compares ignoring case; a doubled quote is one quote.
  EXPECT_EQ(Filtered("NAME = 'ALPHA'"), "alpha");
  EXPECT_EQ(Filtered("NAME = 'o''brien'"), "O'Brien");
  EXPECT_EQ(Filtered("NAME < 'b'"), "alpha,ALPHABET");
  EXPECT_EQ(Filtered("[NAME] >= 'GAMMA'"), "O'Brien,gamma ray");

  // Dates, in ISO and in month/day/year form.
  EXPECT_EQ(Filtered("DAY = #2024-03-31#"), "alpha");
  EXPECT_EQ(Filtered("DAY >= #03/30/2024#"), "alpha,Beta,gamma ray");
  EXPECT_EQ(Filtered("DAY < #2024-01-01#"), "O'Brien");
  EXPECT_EQ(Filtered("DAY = '2024-02-29'"), "ALPHABET");
}

TEST(RecordsetFilter, AndBindsTighterThanOrAndParenthesesRegroup) {
  EXPECT_EQ(Filtered("KIND = 2 OR KIND = 1 AND AMOUNT < 0"), "Beta,O'Brien,ALPHABET");
  EXPECT_EQ(Filtered("(KIND = 2 OR KIND = 1) AND AMOUNT < 0"), "O'Brien");
  EXPECT_EQ(Filtered("KIND = 1 AND AMOUNT > 0 OR KIND = 3"), "alpha,gamma ray");
  EXPECT_EQ(Filtered("KIND = 1 and (AMOUNT > 0 or KIND = 3)"), "alpha");
  EXPECT_EQ(Filtered("((KIND = 3)) OR (NAME = 'beta' AND (DAY = #2024-04-01#))"), "Beta,gamma ray");
  // The component's zero-lines filter.
  EXPECT_EQ(Filtered("AMOUNT <> 0 OR KIND <> 2"), "alpha,O'Brien,gamma ray,ALPHABET");
}

TEST(RecordsetFilter, LikeWildcards) {
  EXPECT_EQ(Filtered("NAME LIKE 'alpha*'"), "alpha,ALPHABET");
  EXPECT_EQ(Filtered("NAME LIKE '%A%'"), "alpha,Beta,gamma ray,ALPHABET");
  EXPECT_EQ(Filtered("NAME LIKE 'b_ta'"), "Beta");
  EXPECT_EQ(Filtered("NAME LIKE '?'"), "f");
  EXPECT_EQ(Filtered("NAME like '*RAY'"), "gamma ray");
  EXPECT_EQ(Filtered("NAME LIKE 'alpha'"), "alpha");
  EXPECT_EQ(Filtered("NAME LIKE '*a*b*'"), "ALPHABET");
}

TEST(RecordsetFilter, NullNeverMatches) {
  // Row "f" is Null in AMOUNT, KIND and DAY: no comparison lets it through,
  // not even <> or the negation written the other way round.
  EXPECT_EQ(Filtered("AMOUNT <> 999"), "alpha,Beta,O'Brien,gamma ray,ALPHABET");
  EXPECT_EQ(Filtered("AMOUNT < 999 OR AMOUNT >= 999"), "alpha,Beta,O'Brien,gamma ray,ALPHABET");
  EXPECT_EQ(Filtered("DAY <> #2000-01-01# OR NAME = 'F'"), "alpha,Beta,O'Brien,gamma ray,ALPHABET,f");
  EXPECT_EQ(Filtered("KIND <> 1 AND NAME LIKE '*'"), "Beta,gamma ray,ALPHABET");
}

TEST(RecordsetFilter, BadCriteriaFailWith3001AndKeepThePreviousFilter) {
  auto rs = Sample();
  rs->SetFilter("KIND = 1");
  const std::string bad[] = {
      "KIND = ",        "KIND 1",          "KIND = 1 AND",  "(KIND = 1",     "KIND = 1)",
      "NAME = 'abc",    "DAY = #2024-13-01#", "KIND = abc", "NAME LIKE 3",   "NOSUCH = 1",
      "KIND = 'x'",     "DAY = 5",         "KIND = 1 KIND = 2", "= 1",       "[KIND = 1",
  };
  for (const std::string& criteria : bad) {
    try {
      rs->SetFilter(criteria);
      ADD_FAILURE() << "accepted: " << criteria;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 3001) << criteria;
    }
    EXPECT_EQ(rs->Filter(), "KIND = 1");
    EXPECT_EQ(Visible(*rs), "alpha,O'Brien");
  }

  // The description names what could not be read.
  const std::string prefix = Error::BadArguments().description();
  try {
    rs->SetFilter("KIND = 1 OR AMOUNT ~ 2");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), prefix +
                                   " Filter \"KIND = 1 OR AMOUNT ~ 2\": expected an operator (= <> < > <= >= LIKE) "
                                   "at \"~ 2\"");
  }
  try {
    rs->SetFilter("Kinds = 1");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), prefix + " Filter \"Kinds = 1\": no field named \"Kinds\"");
  }

  rs->SetFilter("");
  EXPECT_EQ(rs->Filter(), "");
  EXPECT_EQ(rs->RecordCount(), 6);
}

TEST(RecordsetFilter, FindSearchesForwardFromTheCurrentRow) {
  auto rs = Sample();
  rs->MoveNext();
  rs->MoveNext();  // O'Brien, the third row
  rs->Find("KIND = 1");
  EXPECT_EQ(rs->AbsolutePosition(), 3);  // the current row itself matches
  rs->MoveNext();
  rs->Find("NAME LIKE 'ALPHA*'");
  EXPECT_EQ(rs->Value("NAME").AsString(), "ALPHABET");  // the first row is behind it
  rs->MoveNext();
  rs->Find("KIND = 1");
  EXPECT_TRUE(rs->EOF());
  EXPECT_EQ(rs->AbsolutePosition(), kPositionEOF);
  rs->Find("KIND = 2");  // from EOF nothing is ahead
  EXPECT_TRUE(rs->EOF());

  // Under a filter only visible rows are searched.
  rs->SetFilter("AMOUNT > 0");
  rs->Find("KIND = 3");
  EXPECT_EQ(rs->AbsolutePosition(), 2);
  rs->MoveFirst();
  rs->Find("NAME = 'Beta'");
  EXPECT_TRUE(rs->EOF());

  EXPECT_THROW(rs->Find("KIND = 1 OR KIND = 2"), Error);
  try {
    rs->Find("(KIND = 1)");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 3001);
  }
}

}  // namespace
}  // namespace zelmora
