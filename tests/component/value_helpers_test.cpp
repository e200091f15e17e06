#include "component/value_helpers.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/recordset.h"
#include "support/arrow_cases.h"
#include "support/recordset_text.h"
#include "support/value_text.h"

namespace zelmora {
namespace {

// The value a line of component/value_helper_cases.txt gives.
std::string Call(const std::string& line) {
  std::vector<std::string> parts;
  for (size_t at = 0, bar; at != std::string::npos; at = bar == std::string::npos ? bar : bar + 3) {
    bar = line.find(" | ", at);
    parts.push_back(line.substr(at, bar == std::string::npos ? bar : bar - at));
  }
  const Variant value = testing::ParseValue(parts.at(1));
  if (parts[0] == "SeNullo") return testing::ValueText(SeNullo(value, testing::ParseValue(parts.at(2))));
  if (parts[0] == "AllineaASinistra") {
    return testing::ValueText(Variant::String(AllineaASinistra(value, testing::ParseValue(parts.at(2)).AsInteger())));
  }
  using enum TipoOperazioneEnum;
  const Variant date = FormattaData(value, parts.at(2) == "stringa" ? stringa : Recordset);
  return testing::ValueText(date) + (date.type() == VarType::Date && date.AsDate().HasTime() ? "+time" : "");
}

TEST(ValueHelpers, NullDefaultsLeftAlignmentAndDateFormsFollowTheCases) {
  testing::ExpectArrowCases("component/value_helper_cases.txt", Call);
  // Only blanks are trimmed, not tabs.
  EXPECT_EQ(AllineaASinistra(Variant::String("\tA"), 3), "\tA ");
  // An object has no text: the test fails and the default comes back.
  EXPECT_EQ(SeNullo(Variant::Obj(std::make_shared<Recordset>()), Variant::String("D")), Variant::String("D"));
  // A mode outside the enumeration gives Empty.
  EXPECT_TRUE(FormattaData(Variant::FromDate(*Date::FromYMD(2024, 3, 5)), static_cast<TipoOperazioneEnum>(7)).IsEmpty());
}

}  // namespace
}  // namespace zelmora
