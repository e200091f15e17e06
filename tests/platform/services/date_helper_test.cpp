#include <gtest/gtest.h>

#include "platform/date_helper.h"
#include "support/arrow_cases.h"

namespace zelmora {
namespace {

TEST(DateHelper, AcceptedAndRejectedTexts) {
  DateHelper helper;
  testing::ExpectArrowCases("platform/services/date_helper_cases.txt", [&](const std::string& text) {
    helper.SetText("2024-03-05");
    helper.SetText(text);
    if (helper.ErrorCode() == 1 && helper.ConvertedDate().IsNull() && helper.ConvertedDateText().empty()) {
      return std::string("rejected");
    }
    const Variant date = helper.ConvertedDate();
    return helper.ErrorCode() == 0 && date.type() == VarType::Date
               ? helper.ConvertedDateText() + " " + date.AsDate().ToCompact()
               : "error " + std::to_string(helper.ErrorCode()) + ", text " + helper.ConvertedDateText();
  });
  helper.SetText("31/12/2024 23:59:59");
  EXPECT_EQ(helper.ConvertedDate().AsDate(), *Date::FromYMDHMS(2024, 12, 31, 23, 59, 59));
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
