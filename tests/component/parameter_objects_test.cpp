#include <gtest/gtest.h>

#include <memory>

#include "component/clsin_inputintra.h"
#include "component/clsin_ouputintra.h"
#include "platform/connection.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

int ErrorNumber(const std::function<void()>& action) { return testing::ErrorNumberOf(action); }

TEST(InputObject, EachPropertyTakesWhatAHostAssignsAsItsTypeConvertsIt) {
  CLSIN_INPUTINTRA input;
  // Variant properties keep the value and its kind.
  input.SetMember("Ditta", Variant::String("001"));
  EXPECT_EQ(input.Ditta, Variant::String("001"));
  input.SetMember("anno", Variant::Long(2024));  // names are case-insensitive
  EXPECT_EQ(input.GetMember("ANNO"), Variant::Long(2024));

  // Boolean properties convert: text, numbers.
  input.SetMember("CambioPeriodicita", Variant::String("True"));
  EXPECT_TRUE(input.CambioPeriodicita);
  input.SetMember("AccorpaArt23", Variant::Integer(-1));
  EXPECT_EQ(input.GetMember("AccorpaArt23"), Variant::Boolean(true));
  EXPECT_EQ(ErrorNumber([&] { input.SetMember("GestioneErrori", Variant::String("forse")); }), 13);

  // 16-bit properties round half to even and overflow past 32767.
  input.SetMember("LivObbligo", Variant::Dec(*Decimal::Parse("2.5")));
  EXPECT_EQ(input.GetMember("LivObbligo"), Variant::Integer(2));
  EXPECT_EQ(ErrorNumber([&] { input.SetMember("MaxProgrDatiInvio", Variant::Long(40000)); }), 6);
  EXPECT_EQ(ErrorNumber([&] { input.SetMember("MaxProgrDatiInvio", Variant::String("")); }), 13);

  // String properties refuse Null and keep the text of numbers.
  EXPECT_EQ(ErrorNumber([&] { input.SetMember("TipoElaborazione", Variant::Null()); }), 94);
  input.SetMember("StrWherePeriodo", Variant::Integer(12));
  EXPECT_EQ(input.StrWherePeriodo, "12");

  // Enumerations are kept as given and read back as Long.
  input.SetMember("TipoInvioTelematico", Variant::Integer(1));
  EXPECT_EQ(input.TipoInvioTelematico, TipoInvioTelematicoIntraEnum::AgenziaEntrate);
  EXPECT_EQ(input.GetMember("TipoInvioTelematico"), Variant::Long(1));

  // The connection property takes a connection or Nothing, nothing else.
  auto connection = std::make_shared<Connection>();
  input.SetMember("Connessione", Variant::Obj(connection));
  EXPECT_EQ(input.Connessione, connection);
  EXPECT_EQ(ErrorNumber([&] { input.SetMember("Connessione", Variant::Obj(std::make_shared<Recordset>())); }), 13);
  EXPECT_EQ(ErrorNumber([&] { input.SetMember("Connessione", Variant::String("Provider=SQLite")); }), 424);
  input.SetMember("Connessione", Variant::Obj(nullptr));
  EXPECT_EQ(input.Connessione, nullptr);

  EXPECT_EQ(ErrorNumber([&] { input.SetMember("Dita", Variant::Long(1)); }), 438);
  EXPECT_EQ(ErrorNumber([&] { (void)input.GetMember("Dita"); }), 438);
}

TEST(OutputObject, RecordsetPropertiesTakeOnlyRecordsets) {
  CLSIN_OUPUTINTRA output;
  auto recordset = std::make_shared<Recordset>();
  output.SetMember("RecordsetIntra", Variant::Obj(recordset));
  EXPECT_EQ(output.RecordsetIntra, recordset);
  EXPECT_EQ(ErrorNumber([&] { output.SetMember("RecordsetIntraModMain", Variant::String("x")); }), 424);
  EXPECT_EQ(ErrorNumber([&] { output.SetMember("RecordsetIntraModMain", Variant::Obj(std::make_shared<Connection>())); }), 13);
  output.SetMember("StringaSQLperStampaIntra", Variant::String("SELECT 1"));
  EXPECT_EQ(output.GetMember("stringasqlperstampaintra"), Variant::String("SELECT 1"));
  EXPECT_TRUE(CLSIN_OUPUTINTRA::IsRecordsetProperty("RecordsetIntraRettifiche_Ser"));
  EXPECT_FALSE(CLSIN_OUPUTINTRA::IsRecordsetProperty("NomeFileInvioTelematico"));
}

}  // namespace
}  // namespace zelmora
