#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "platform/recordset.h"
#include "support/error_of.h"
#include "support/arrow_cases.h"
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

// Every criteria of recordset/filters.txt lets through the rows it names,
// or fails and keeps the filter set before it.
TEST(RecordsetFilter, OperatorsPrecedenceLikeNullAndBadCriteria) {
  EXPECT_EQ(testing::ExpectArrowCases("platform/recordset/filters.txt", [](const std::string& criteria) {
    auto rs = Sample();
    rs->SetFilter("KIND = 1");
    const int32_t error = testing::ErrorNumberOf([&] { rs->SetFilter(criteria); });
    const std::string kept = rs->Filter() == "KIND = 1" ? ", kept: " : ", lost: ";
    if (error != 0) return std::to_string(error) + kept + testing::ColumnText(*rs);
    auto fresh = Sample();
    fresh->SetFilter(criteria);
    return testing::ColumnText(*fresh);
  }), 49);
}

// The description names what could not be read; an empty filter clears it.
TEST(RecordsetFilter, BadCriteriaNameWhatCouldNotBeRead) {
  auto rs = Sample();
  rs->SetFilter("KIND = 1");
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
