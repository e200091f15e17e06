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
  // away from zero (12.49 - 12 in binary floating point is above 0.49). Any
  // non-zero amount below one unit is declared as one. Null gives Empty; a
  // failure gives 0 and leaves the status alone.
  const std::pair<Variant, Variant> cases[] = {
      {Dec("12.49"), Dec("12")},   {Dec("12.491"), Dec("13")},  {Dec("12.495"), Dec("13")},
      {Variant::Double(12.49), Dec("12")}, {Dec("1.49"), Dec("1")}, {Dec("1.4901"), Dec("2")},
      {Dec("-1.4901"), Dec("-2")}, {Dec("-7.6"), Dec("-8")},    {Str("12.49"), Dec("12")},
      {Variant::Long(250), Dec("250")}, {Dec("0.49"), Dec("1")}, {Dec("0.2"), Dec("1")},
      {Dec("-0.3"), Dec("-1")},    {Dec("0.00"), Dec("0")},     {Variant(), Dec("0")},
      {Variant::Null(), Variant()}, {Str("dodici"), Int(0)},
  };
  for (const auto& [amount, expected] : cases) EXPECT_EQ(round(amount), expected) << amount.Text();
  EXPECT_EQ(object.Stato(), Int(0));
}

TEST(FieldEncoders, CharacterCodes) {
  CLSIN_INTRABO object;
  IntraContext& context = object.context();
  auto nature = [&](const Variant& v) { return telematic::CodificaNaturaTransazione(context, v); };
  auto digit = [&](const Variant& v) { return telematic::CodificaCifraSingola(context, v); };
  const std::tuple<Variant, Variant, Variant> cases[] = {
      // code, nature of transaction, single digit
      {Int(0), Str(" "), Str("0")},  {Int(1), Str("1"), Str("1")},       {Dec("9"), Str("9"), Str("9")},
      {Int(7), Str("7"), Str("7")},  {Int(10), Str(" "), Variant()},     {Int(21), Str("A"), Variant()},
      {Int(25), Str("E"), Variant()}, {Int(29), Str("I"), Variant()},    {Int(11), Variant(), Variant()},
      {Int(15), Variant(), Variant()}, {Int(20), Variant(), Variant()},  {Int(30), Variant(), Variant()},
      {Int(-1), Variant(), Variant()}, {Variant::Null(), Variant(), Variant()},
  };
  for (const auto& [code, natureCode, digitCode] : cases) {
    EXPECT_EQ(nature(code), natureCode) << code.Text();
    EXPECT_EQ(digit(code), digitCode) << code.Text();
  }

  auto negative = [&](const Variant& v) { return telematic::CodificaCifraNegativa(context, v); };
  for (int d = 0; d <= 9; ++d) {
    EXPECT_EQ(negative(Str(std::to_string(d).c_str())), Variant::String(std::string(1, "pqrstuvwxy"[d])));
  }
  for (const Variant& v : {Str("a"), Str("10"), Variant::Null()}) EXPECT_TRUE(negative(v).IsEmpty()) << v.Text();
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
