#include <gtest/gtest.h>

#include "telematic/declaration_lines.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {
namespace {

using namespace zelmora::testing;

TEST(FieldEncoders, AmountsRoundOnExactDecimals) {
  CLSIN_INTRABO object;
  IntraContext& context = object.context();
  auto round = [&](const Variant& amount) { return telematic::ArrotondaImporto(context, amount); };
  // Up to 0.49 the fraction is dropped; above it the amount goes one unit
  // away from zero. 12.49 - 12 in binary floating point is above 0.49.
  EXPECT_EQ(round(Dec("12.49")), Dec("12"));
  EXPECT_EQ(round(Dec("12.491")), Dec("13"));
  EXPECT_EQ(round(Dec("12.495")), Dec("13"));
  EXPECT_EQ(round(Variant::Double(12.49)), Dec("12"));
  EXPECT_EQ(round(Dec("1.49")), Dec("1"));
  EXPECT_EQ(round(Dec("1.4901")), Dec("2"));
  EXPECT_EQ(round(Dec("-1.4901")), Dec("-2"));
  EXPECT_EQ(round(Dec("-7.6")), Dec("-8"));
  EXPECT_EQ(round(Str("12.49")), Dec("12"));
  EXPECT_EQ(round(Variant::Long(250)), Dec("250"));
  // Any non-zero amount below one unit is declared as one.
  EXPECT_EQ(round(Dec("0.49")), Dec("1"));
  EXPECT_EQ(round(Dec("0.2")), Dec("1"));
  EXPECT_EQ(round(Dec("-0.3")), Dec("-1"));
  EXPECT_EQ(round(Dec("0.00")), Dec("0"));
  EXPECT_EQ(round(Variant()), Dec("0"));
  // Null gives Empty; a failure gives 0 and leaves the status alone.
  EXPECT_TRUE(round(Variant::Null()).IsEmpty());
  EXPECT_EQ(round(Str("dodici")), Int(0));
  EXPECT_EQ(object.Stato(), Int(0));
}

TEST(FieldEncoders, CharacterCodes) {
  CLSIN_INTRABO object;
  IntraContext& context = object.context();
  auto nature = [&](const Variant& v) { return telematic::CodificaNaturaTransazione(context, v); };
  EXPECT_EQ(nature(Int(0)), Str(" "));
  EXPECT_EQ(nature(Int(1)), Str("1"));
  EXPECT_EQ(nature(Dec("9")), Str("9"));
  EXPECT_EQ(nature(Int(10)), Str(" "));
  EXPECT_EQ(nature(Int(21)), Str("A"));
  EXPECT_EQ(nature(Int(25)), Str("E"));
  EXPECT_EQ(nature(Int(29)), Str("I"));
  for (int16_t code : {11, 15, 20, 30, -1}) EXPECT_TRUE(nature(Int(code)).IsEmpty()) << code;
  EXPECT_TRUE(nature(Variant::Null()).IsEmpty());

  auto digit = [&](const Variant& v) { return telematic::CodificaCifraSingola(context, v); };
  EXPECT_EQ(digit(Int(0)), Str("0"));
  EXPECT_EQ(digit(Int(7)), Str("7"));
  EXPECT_EQ(digit(Int(9)), Str("9"));
  EXPECT_TRUE(digit(Int(10)).IsEmpty());
  EXPECT_TRUE(digit(Int(-1)).IsEmpty());
  EXPECT_TRUE(digit(Variant::Null()).IsEmpty());

  auto negative = [&](const Variant& v) { return telematic::CodificaCifraNegativa(context, v); };
  const char* letters = "pqrstuvwxy";
  for (int d = 0; d <= 9; ++d) {
    EXPECT_EQ(negative(Variant::String(std::string(1, static_cast<char>('0' + d)))),
              Variant::String(std::string(1, letters[d])));
  }
  EXPECT_TRUE(negative(Str("a")).IsEmpty());
  EXPECT_TRUE(negative(Str("10")).IsEmpty());
  EXPECT_TRUE(negative(Variant::Null()).IsEmpty());
  EXPECT_EQ(object.Stato(), Int(0));

  // A code that is not a number: one blank and the silent status 99, with
  // the error text of the last failure left as it was.
  object.SetErrore(Str("earlier"));
  EXPECT_EQ(nature(Str("x")), Str(" "));
  EXPECT_EQ(object.Stato(), Int(99));
  object.SetStato(Int(0));
  EXPECT_EQ(digit(Str("x")), Str(" "));
  EXPECT_EQ(object.Stato(), Int(99));
  EXPECT_EQ(object.Errore(), Str("earlier"));
}

}  // namespace
}  // namespace zelmora
