#include <gtest/gtest.h>

#include "platform/date_helper.h"

namespace zelmora {
namespace {

TEST(DateHelper, AcceptedTextsAndTheirConversions) {
  struct Case {
    const char* text;
    const char* sqlText;
  };
  const Case cases[] = {
      {"2024-03-05", "20240305"},          {"20240305", "20240305"},
      {"05/03/2024", "20240305"},          {"5/3/2024", "20240305"},
      {"29/02/2024", "20240229"},          {"2024-03-05 10:20:30", "20240305"},
      {"31/12/2024 23:59:59", "20241231"}, {"1/12/2024", "20241201"},
  };
  DateHelper helper;
  for (const Case& c : cases) {
    helper.SetText(c.text);
    EXPECT_EQ(helper.ErrorCode(), 0) << c.text;
    EXPECT_EQ(helper.ConvertedDateText(), c.sqlText) << c.text;
    ASSERT_EQ(helper.ConvertedDate().type(), VarType::Date) << c.text;
    EXPECT_EQ(helper.ConvertedDate().AsDate().ToCompact(), c.sqlText) << c.text;
  }
  helper.SetText("31/12/2024 23:59:59");
  EXPECT_EQ(helper.ConvertedDate().AsDate(), *Date::FromYMDHMS(2024, 12, 31, 23, 59, 59));
}

TEST(DateHelper, RejectedTextsLeaveNoDateBehind) {
  const char* rejected[] = {"",           " ",           "2023-02-29",          "31/04/2024",
                            "20240230",   "2024/03/05",  "05-03-2024",          "abc",
                            "05/03/2024x", " 05/03/2024", "05/03/2024 24:00:00", "05/03/2024 10:00",
                            "2024-3-5x",  "0",           "Null"};
  DateHelper helper;
  for (const char* text : rejected) {
    helper.SetText("2024-03-05");  // a valid date first: a rejected text must not keep it
    helper.SetText(text);
    EXPECT_EQ(helper.ErrorCode(), 1) << '"' << text << '"';
    EXPECT_TRUE(helper.ConvertedDate().IsNull()) << '"' << text << '"';
    EXPECT_EQ(helper.ConvertedDateText(), "") << '"' << text << '"';
  }
}

TEST(DateHelper, DateValuesRoundTripThroughTheirText) {
  // The component hands the helper "" & value, so a Date value reaches it as
  // the Date's own text.
  for (Date date : {*Date::FromYMD(2024, 3, 5), *Date::FromYMDHMS(2024, 11, 30, 8, 5, 0)}) {
    Variant text = Concat(Variant::String(""), Variant::FromDate(date));
    DateHelper helper;
    helper.SetText(text.AsString());
    EXPECT_EQ(helper.ErrorCode(), 0) << text.AsString();
    EXPECT_EQ(helper.ConvertedDate(), Variant::FromDate(date)) << text.AsString();
  }
}

}  // namespace
}  // namespace zelmora
