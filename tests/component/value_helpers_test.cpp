#include "component/value_helpers.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/recordset.h"

namespace zelmora {
namespace {

TEST(SeNullo, EmptyNullAndEmptyTextGiveTheDefaultOtherValuesThemselves) {
  EXPECT_EQ(SeNullo(Variant::Null(), Variant::Integer(0)), Variant::Integer(0));
  EXPECT_EQ(SeNullo(Variant(), Variant::String("X")), Variant::String("X"));
  EXPECT_EQ(SeNullo(Variant::String(""), Variant::String("X")), Variant::String("X"));
  // A zero and a blank are values, returned as they are (not as text).
  EXPECT_EQ(SeNullo(Variant::Integer(0), Variant::Integer(5)), Variant::Integer(0));
  EXPECT_EQ(SeNullo(Variant::String(" "), Variant::String("X")), Variant::String(" "));
  EXPECT_EQ(SeNullo(Variant::Dec(*Decimal::Parse("12.49")), Variant::String("")), Variant::Dec(*Decimal::Parse("12.49")));
  EXPECT_EQ(SeNullo(Variant::Boolean(false), Variant::Integer(1)), Variant::Boolean(false));
  // An object has no text: the test fails and the default comes back.
  EXPECT_EQ(SeNullo(Variant::Obj(std::make_shared<Recordset>()), Variant::String("D")), Variant::String("D"));
}

TEST(AllineaASinistra, TrimsThenPadsOrCutsToTheWidthInCharacters) {
  EXPECT_EQ(AllineaASinistra(Variant::String("  AB "), 4), "AB  ");
  EXPECT_EQ(AllineaASinistra(Variant::String("ABCDEFGHIJ"), 8), "ABCDEFGH");
  EXPECT_EQ(AllineaASinistra(Variant::Null(), 3), "   ");
  EXPECT_EQ(AllineaASinistra(Variant(), 2), "  ");
  EXPECT_EQ(AllineaASinistra(Variant::Long(123), 5), "123  ");
  EXPECT_EQ(AllineaASinistra(Variant::String("x"), 0), "");
  // Accented letters are one character each, not two bytes.
  EXPECT_EQ(AllineaASinistra(Variant::String("CITTÀ"), 6), "CITTÀ ");
  EXPECT_EQ(AllineaASinistra(Variant::String("ÀÈÌÒÙ"), 3), "ÀÈÌ");
  // Only blanks are trimmed, not tabs.
  EXPECT_EQ(AllineaASinistra(Variant::String("\tA"), 3), "\tA ");
}

TEST(FormattaData, DatesBecomeSqlLiteralsOrDateValuesAndAnythingElseNull) {
  const Date day = *Date::FromYMD(2024, 3, 5);
  using enum TipoOperazioneEnum;
  EXPECT_EQ(FormattaData(Variant::FromDate(day), stringa), Variant::String("'20240305'"));
  EXPECT_EQ(FormattaData(Variant::String("2024-03-05"), stringa), Variant::String("'20240305'"));
  EXPECT_EQ(FormattaData(Variant::String("05/03/2024"), stringa), Variant::String("'20240305'"));
  EXPECT_EQ(FormattaData(Variant::Long(20240305), stringa), Variant::String("'20240305'"));
  EXPECT_EQ(FormattaData(Variant::String("05/03/2024"), Recordset), Variant::FromDate(day));

  EXPECT_EQ(FormattaData(Variant(), stringa), Variant::String("Null"));
  EXPECT_EQ(FormattaData(Variant::Null(), stringa), Variant::String("Null"));
  EXPECT_EQ(FormattaData(Variant::String("31/02/2024"), stringa), Variant::String("Null"));
  EXPECT_EQ(FormattaData(Variant::String(""), Recordset), Variant::Null());
  EXPECT_EQ(FormattaData(Variant::String("yesterday"), Recordset), Variant::Null());
  // A mode outside the enumeration gives Empty.
  EXPECT_TRUE(FormattaData(Variant::FromDate(day), static_cast<TipoOperazioneEnum>(7)).IsEmpty());
}

}  // namespace
}  // namespace zelmora
