// The movement list's SQL, compared whole with golden/queries.sql for
// every filter that changes it.
#include <gtest/gtest.h>

#include <string>

#include "facade/clsin_intrabo.h"
#include "movements/movement_procedures.h"
#include "support/golden.h"
#include "support/value_text.h"

namespace zelmora {
namespace {

Variant Text(const char* value) { return Variant::String(value); }
Variant Int(int16_t value) { return Variant::Integer(value); }

// Each case of movements/query_cases.txt sets the input and compares the text.
TEST(MovementQuery, EachFilterComposesTheText) {
  for (const testing::InputCase& c : testing::ReadInputCases("movements/query_cases.txt")) {
    SCOPED_TRACE(c.name);
    CLSIN_INTRABO object;
    auto input = std::make_shared<CLSIN_INPUTINTRA>();
    input->Ditta = Int(1);
    for (const auto& [property, value] : c.set) input->SetMember(property, value);
    object.SetCInput(input);
    movements::DefinisciStringaSQLPerIntra(object.context());
    EXPECT_EQ(object.context().Stato, 0) << object.Errore().Text();
    const Variant& sql = object.COutput()->StringaSQLperStampaIntra;
    ASSERT_EQ(sql.type(), VarType::String);
    testing::ExpectGoldenSection("movements/golden/queries.sql", c.section, sql.AsString());
  }
}

TEST(MovementQuery, AFilterThatDoesNotConvertKeepsThePreviousTextAndSaysWhere) {
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->Ditta = Int(1);
  input->TipoMovimento = Text("vendite");
  object.SetCInput(input);
  object.COutput()->StringaSQLperStampaIntra = Text("SELECT 1");
  movements::DefinisciStringaSQLPerIntra(object.context());
  EXPECT_EQ(object.Stato(), Int(13));
  EXPECT_EQ(object.Errore(), Text("Type mismatch in DefinisciStringaSQLPerIntra"));
  EXPECT_EQ(object.COutput()->StringaSQLperStampaIntra, Text("SELECT 1"));

  // An account whose last six characters are not a number fails the same way.
  input->TipoMovimento = Variant();
  input->Conto = Text("CLIENTE");
  object.SetErrore(Variant());
  movements::DefinisciStringaSQLPerIntra(object.context());
  EXPECT_EQ(object.Stato(), Int(13));
  EXPECT_EQ(object.Errore(), Text("Type mismatch in DefinisciStringaSQLPerIntra"));
  EXPECT_EQ(object.COutput()->StringaSQLperStampaIntra, Text("SELECT 1"));

  // Without an input object the procedure reports error 91 and goes no further.
  object.SetCInput(nullptr);
  movements::DefinisciStringaSQLPerIntra(object.context());
  EXPECT_EQ(object.Stato(), Int(91));
  EXPECT_EQ(object.Errore(), Text("Object variable or With block variable not set in DefinisciStringaSQLPerIntra"));
}

}  // namespace
}  // namespace zelmora
