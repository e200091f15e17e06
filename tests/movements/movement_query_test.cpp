// The movement list's SQL, compared whole with golden/queries.sql for
// every filter that changes it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "facade/clsin_intrabo.h"
#include "movements/movement_procedures.h"
#include "support/golden.h"

namespace zelmora {
namespace {

// Each case names its golden section; `section` when it shares another's.
struct Case {
  const char* name;
  std::function<void(CLSIN_INPUTINTRA&)> set;
  const char* section = nullptr;
};

Variant Text(const char* value) { return Variant::String(value); }
Variant Int(int16_t value) { return Variant::Integer(value); }

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"all filters empty", [](CLSIN_INPUTINTRA&) {}},
      {"empty texts and Null count as not set", [](CLSIN_INPUTINTRA& in) {
         in.TipoMovimento = Text("");
         in.Conto = Variant::Null();
         in.NumeroDocumento = Text("");
         in.DataDocumentoIniziale = Variant::Null();
         in.OperazioneRif = Text("");
         in.NomenclaturaIniziale = Text("");
         in.ENHFiltro = Variant::Null();
         in.ENHOrdinamentoMovIntra = Text("");
         in.StampaTotaliDocumento = Variant::Null();
       }, "all filters empty"},
      {"document kind", [](CLSIN_INPUTINTRA& in) { in.TipoMovimento = Int(3); }},
      {"account: its last six characters as a number", [](CLSIN_INPUTINTRA& in) {
         in.Conto = Text("0102000123");
         in.TipoCF = Int(1);
       }},
      {"document dates", [](CLSIN_INPUTINTRA& in) {
         in.DataDocumentoIniziale = Text("2024-01-01");
         in.DataDocumentoFinale = Variant::FromDate(*Date::FromYMD(2024, 3, 31));
       }},
      {"invalid document dates compare with Null", [](CLSIN_INPUTINTRA& in) {
         in.DataDocumentoIniziale = Text("2024-13-45");
         in.DataDocumentoFinale = Text("ieri");
       }},
      {"document number, unescaped", [](CLSIN_INPUTINTRA& in) { in.NumeroDocumento = Text("FT/12'B"); }},
      {"registration dates", [](CLSIN_INPUTINTRA& in) {
         in.DataRegistrazioneIniziale = Text("20240115");
         in.DataRegistrazioneFinale = Text("31/01/2024");
       }},
      {"operation 0", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(0); }},
      {"operation 1 as text", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Text("1"); }},
      {"operation 9 adds nothing", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(9); }, "all filters empty"},
      {"operation 1 under Interrogazione adds nothing", [](CLSIN_INPUTINTRA& in) {
         in.OperazioneRif = Int(1);
         in.TipoElaborazione = "Interrogazione";
       }, "all filters empty"},
      {"initial goods code only: up to eight Z, services all kept", [](CLSIN_INPUTINTRA& in) { in.NomenclaturaIniziale = Text("8471"); }},
      {"final goods code only: from eight blanks, trimmed and cut to eight", [](CLSIN_INPUTINTRA& in) { in.NomenclaturaFinale = Text("  847130001 "); }},
      {"services range only: goods all kept", [](CLSIN_INPUTINTRA& in) {
         in.ServizioIniziale = Text("A");
         in.ServizioFinale = Text("C");
       }},
      {"both ranges", [](CLSIN_INPUTINTRA& in) {
         in.NomenclaturaIniziale = Text("01012100");
         in.NomenclaturaFinale = Text("99999999");
         in.ServizioFinale = Text("B");
       }},
      {"host filter replaces the account, dates and ranges", [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A'");
         in.Conto = Text("000123");
         in.TipoCF = Int(1);
         in.DataDocumentoIniziale = Text("2024-01-01");
         in.NomenclaturaIniziale = Text("8471");
       }},
      {"host filter with operation 9", [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A'");
         in.OperazioneRif = Int(9);
         in.TipoElaborazione = "Interrogazione";
       }},
      {"host filter with operation 1", [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A'");
         in.OperazioneRif = Int(1);
       }},
      {"host filter after the document kind", [](CLSIN_INPUTINTRA& in) {
         in.TipoMovimento = Int(2);
         in.ENHFiltro = Text("AND 1 = 1");
       }},
      {"only documents with lines", [](CLSIN_INPUTINTRA& in) { in.Pbol_Dettaglio = true; }},
      {"ordering with document totals wins over the host's", [](CLSIN_INPUTINTRA& in) {
         in.StampaTotaliDocumento = Int(1);
         in.ENHOrdinamentoMovIntra = Text("CG41_DATAREG DESC");
       }},
      {"host ordering", [](CLSIN_INPUTINTRA& in) {
         in.StampaTotaliDocumento = Int(0);
         in.ENHOrdinamentoMovIntra = Text("CG41_DATAREG DESC, IN02_NUMRIGA");
       }},
      {"every filter at once, in its order", [](CLSIN_INPUTINTRA& in) {
         in.TipoMovimento = Int(1);
         in.Conto = Text("C000042");
         in.TipoCF = Text("0");
         in.DataDocumentoIniziale = Text("2024-01-01");
         in.DataDocumentoFinale = Text("2024-01-31");
         in.NumeroDocumento = Text("7");
         in.DataRegistrazioneIniziale = Text("2024-02-01");
         in.DataRegistrazioneFinale = Text("2024-02-29");
         in.OperazioneRif = Int(0);
         in.NomenclaturaIniziale = Text("1");
         in.Pbol_Dettaglio = true;
         in.StampaTotaliDocumento = Text("1");
       }},
  };
  return cases;
}

TEST(MovementQuery, EachFilterComposesTheText) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    CLSIN_INTRABO object;
    auto input = std::make_shared<CLSIN_INPUTINTRA>();
    input->Ditta = Int(1);
    c.set(*input);
    object.SetCInput(input);
    movements::DefinisciStringaSQLPerIntra(object.context());
    EXPECT_EQ(object.context().Stato, 0) << object.Errore().Text();
    const Variant& sql = object.COutput()->StringaSQLperStampaIntra;
    ASSERT_EQ(sql.type(), VarType::String);
    testing::ExpectGoldenSection("movements/golden/queries.sql", c.section ? c.section : c.name, sql.AsString());
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
