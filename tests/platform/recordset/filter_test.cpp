#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/error.h"
#include "platform/recordset.h"
#include "support/error_of.h"
#include "support/file_bytes.h"
#include "support/recordset_text.h"

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

// Every criteria of recordset/filters.txt lets through the rows it names.
TEST(RecordsetFilter, OperatorsPrecedenceLikeAndNull) {
  std::istringstream lines(testing::TestFile("platform/recordset/filters.txt"));
  int cases = 0;
  for (std::string line; std::getline(lines, line);) {
    const size_t arrow = line.find(" => ");
    if (line.empty() || line[0] == '#' || arrow == std::string::npos) continue;
    auto rs = Sample();
    rs->SetFilter(line.substr(0, arrow));
    EXPECT_EQ(testing::ColumnText(*rs), line.substr(arrow + 4)) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 34);
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
    EXPECT_EQ(testing::ErrorNumberOf([&] { rs->SetFilter(criteria); }), 3001) << criteria;
    EXPECT_EQ(rs->Filter(), "KIND = 1");
    EXPECT_EQ(testing::ColumnText(*rs), "alpha,O'Brien");
  }

  // The description names what could not be read.
  const std::string prefix = "3001: " + Error::BadArguments().description();
  EXPECT_EQ(testing::ErrorOf([&] { rs->SetFilter("KIND = 1 OR AMOUNT ~ 2"); }),
            prefix + " Filter \"KIND = 1 OR AMOUNT ~ 2\": expected an operator (= <> < > <= >= LIKE) at \"~ 2\"");
  EXPECT_EQ(testing::ErrorOf([&] { rs->SetFilter("Kinds = 1"); }),
            prefix + " Filter \"Kinds = 1\": no field named \"Kinds\"");

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

  EXPECT_EQ(testing::ErrorNumberOf([&] { rs->Find("KIND = 1 OR KIND = 2"); }), 3001);
  EXPECT_EQ(testing::ErrorNumberOf([&] { rs->Find("(KIND = 1)"); }), 3001);
}

}  // namespace
}  // namespace zelmora
