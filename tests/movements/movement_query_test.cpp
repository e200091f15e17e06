// The movement list's SQL, compared whole for every filter that changes
// it. The expected texts are written out here with their line ends: CR
// ("\r") after the fixed clauses, CRLF ("\r\n") before some conditions and
// nothing between others.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "component/clsin_intrabo.h"
#include "movements/movement_procedures.h"
#include "movements/movement_query_golden.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::kByKindAndCode;
using testing::kHead;

struct Case {
  const char* name;
  std::function<void(CLSIN_INPUTINTRA&)> set;
  std::string tail;  // the text after kHead
};

Variant Text(const char* value) { return Variant::String(value); }
Variant Int(int16_t value) { return Variant::Integer(value); }

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"all filters empty", [](CLSIN_INPUTINTRA&) {}, kByKindAndCode},
      {"empty texts and Null count as not set",
       [](CLSIN_INPUTINTRA& in) {
         in.TipoMovimento = Text("");
         in.Conto = Variant::Null();
         in.NumeroDocumento = Text("");
         in.DataDocumentoIniziale = Variant::Null();
         in.OperazioneRif = Text("");
         in.NomenclaturaIniziale = Text("");
         in.ENHFiltro = Variant::Null();
         in.ENHOrdinamentoMovIntra = Text("");
         in.StampaTotaliDocumento = Variant::Null();
       },
       kByKindAndCode},
      {"document kind", [](CLSIN_INPUTINTRA& in) { in.TipoMovimento = Int(3); },
       " AND IN01_INDTIPODOC = 3\r" + kByKindAndCode},
      {"account: its last six characters as a number",
       [](CLSIN_INPUTINTRA& in) {
         in.Conto = Text("0102000123");
         in.TipoCF = Int(1);
       },
       " AND CG41_TIPOCF_CG44 = 1 AND CG41_CLIFOR_CG44 = 123" + kByKindAndCode},
      {"document dates",
       [](CLSIN_INPUTINTRA& in) {
         in.DataDocumentoIniziale = Text("2024-01-01");
         in.DataDocumentoFinale = Variant::FromDate(*Date::FromYMD(2024, 3, 31));
       },
       " AND CG41_DATADOC >=  '20240101'\r\n AND CG41_DATADOC <=  '20240331'" + kByKindAndCode},
      {"invalid document dates compare with Null",
       [](CLSIN_INPUTINTRA& in) {
         in.DataDocumentoIniziale = Text("2024-13-45");
         in.DataDocumentoFinale = Text("ieri");
       },
       " AND CG41_DATADOC >=  Null\r\n AND CG41_DATADOC <=  Null" + kByKindAndCode},
      {"document number, unescaped", [](CLSIN_INPUTINTRA& in) { in.NumeroDocumento = Text("FT/12'B"); },
       "\r\n AND CG41_NUMDOCORIG = 'FT/12'B'" + kByKindAndCode},
      {"registration dates",
       [](CLSIN_INPUTINTRA& in) {
         in.DataRegistrazioneIniziale = Text("20240115");
         in.DataRegistrazioneFinale = Text("31/01/2024");
       },
       " AND CG41_DATAREG >=  '20240115'\r\n AND CG41_DATAREG <=  '20240131'" + kByKindAndCode},
      {"operation 0", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(0); },
       "\r\n AND IN02_INDOPER = 0" + kByKindAndCode},
      {"operation 1 as text", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Text("1"); },
       "\r\n AND IN02_INDOPER = 1" + kByKindAndCode},
      {"operation 9 adds nothing", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(9); }, kByKindAndCode},
      {"operation 1 under Interrogazione adds nothing",
       [](CLSIN_INPUTINTRA& in) {
         in.OperazioneRif = Int(1);
         in.TipoElaborazione = "Interrogazione";
       },
       kByKindAndCode},
      {"initial goods code only: up to eight Z, services all kept",
       [](CLSIN_INPUTINTRA& in) { in.NomenclaturaIniziale = Text("8471"); },
       "\r\n AND ( \r\n       ( IN02_INDOPER = 0 "
       "\r\n AND ISNULL(IN02_NOMENCLATURA, '        ')"
       "\r\n     BETWEEN '8471    '"
       "\r\n     AND 'ZZZZZZZZ'"
       "       )    OR        ( IN02_INDOPER = 1        )    )" +
           kByKindAndCode},
      {"final goods code only: from eight blanks, trimmed and cut to eight",
       [](CLSIN_INPUTINTRA& in) { in.NomenclaturaFinale = Text("  847130001 "); },
       "\r\n AND ( \r\n       ( IN02_INDOPER = 0 "
       "\r\n AND ISNULL(IN02_NOMENCLATURA, '        ')"
       "\r\n     BETWEEN '        '"
       "\r\n     AND '84713000'"
       "       )    OR        ( IN02_INDOPER = 1        )    )" +
           kByKindAndCode},
      {"services range only: goods all kept",
       [](CLSIN_INPUTINTRA& in) {
         in.ServizioIniziale = Text("A");
         in.ServizioFinale = Text("C");
       },
       "\r\n AND ( \r\n       ( IN02_INDOPER = 0        )    OR        ( IN02_INDOPER = 1 "
       "\r\n AND ISNULL(IN02_NOMENCLATURA, '        ')"
       "\r\n     BETWEEN 'A       '"
       "\r\n     AND 'C       '"
       "       )    )" +
           kByKindAndCode},
      {"both ranges",
       [](CLSIN_INPUTINTRA& in) {
         in.NomenclaturaIniziale = Text("01012100");
         in.NomenclaturaFinale = Text("99999999");
         in.ServizioFinale = Text("B");
       },
       "\r\n AND ( \r\n       ( IN02_INDOPER = 0 "
       "\r\n AND ISNULL(IN02_NOMENCLATURA, '        ')"
       "\r\n     BETWEEN '01012100'"
       "\r\n     AND '99999999'"
       "       )    OR        ( IN02_INDOPER = 1 "
       "\r\n AND ISNULL(IN02_NOMENCLATURA, '        ')"
       "\r\n     BETWEEN '        '"
       "\r\n     AND 'B       '"
       "       )    )" +
           kByKindAndCode},
      {"host filter replaces the account, dates and ranges",
       [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A'");
         in.Conto = Text("000123");
         in.TipoCF = Int(1);
         in.DataDocumentoIniziale = Text("2024-01-01");
         in.NomenclaturaIniziale = Text("8471");
       },
       " AND CG41_SEZIONALE = 'A'" + kByKindAndCode},
      {"host filter with operation 9",
       [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A'");
         in.OperazioneRif = Int(9);
         in.TipoElaborazione = "Interrogazione";
       },
       " AND (ISNULL(IN02_INDOPER, 0) = 0 or ISNULL(IN02_INDOPER, 0) = 1) \r\n AND CG41_SEZIONALE = 'A'" +
           kByKindAndCode},
      {"host filter with operation 1",
       [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A'");
         in.OperazioneRif = Int(1);
       },
       "\r\n AND IN02_INDOPER = 1 AND CG41_SEZIONALE = 'A'" + kByKindAndCode},
      {"host filter after the document kind",
       [](CLSIN_INPUTINTRA& in) {
         in.TipoMovimento = Int(2);
         in.ENHFiltro = Text("AND 1 = 1");
       },
       " AND IN01_INDTIPODOC = 2\r AND 1 = 1" + kByKindAndCode},
      {"only documents with lines", [](CLSIN_INPUTINTRA& in) { in.Pbol_Dettaglio = true; },
       " AND EXISTS (SELECT  1 FROM IN02_RIGHEDOC AS a "
       "      WHERE a.IN02_NUMREG_CG41 = IN01_NUMREG_CG41 AND IN02_DITTA_CG18 = IN01_DITTA_CG18 ) " +
           kByKindAndCode},
      {"ordering with document totals wins over the host's",
       [](CLSIN_INPUTINTRA& in) {
         in.StampaTotaliDocumento = Int(1);
         in.ENHOrdinamentoMovIntra = Text("CG41_DATAREG DESC");
       },
       " ORDER BY IN01_INDTIPODOC, CG41_DATAREG, CG41_DATADOC, CG41_NUMDOCORIG"},
      {"host ordering",
       [](CLSIN_INPUTINTRA& in) {
         in.StampaTotaliDocumento = Int(0);
         in.ENHOrdinamentoMovIntra = Text("CG41_DATAREG DESC, IN02_NUMRIGA");
       },
       " ORDER BY CG41_DATAREG DESC, IN02_NUMRIGA"},
      {"every filter at once, in its order",
       [](CLSIN_INPUTINTRA& in) {
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
       },
       " AND IN01_INDTIPODOC = 1\r"
       " AND CG41_TIPOCF_CG44 = 0 AND CG41_CLIFOR_CG44 = 42"
       " AND CG41_DATADOC >=  '20240101'\r\n AND CG41_DATADOC <=  '20240131'"
       "\r\n AND CG41_NUMDOCORIG = '7'"
       " AND CG41_DATAREG >=  '20240201'\r\n AND CG41_DATAREG <=  '20240229'"
       "\r\n AND IN02_INDOPER = 0"
       "\r\n AND ( \r\n       ( IN02_INDOPER = 0 "
       "\r\n AND ISNULL(IN02_NOMENCLATURA, '        ')"
       "\r\n     BETWEEN '1       '"
       "\r\n     AND 'ZZZZZZZZ'"
       "       )    OR        ( IN02_INDOPER = 1        )    )"
       " AND EXISTS (SELECT  1 FROM IN02_RIGHEDOC AS a "
       "      WHERE a.IN02_NUMREG_CG41 = IN01_NUMREG_CG41 AND IN02_DITTA_CG18 = IN01_DITTA_CG18 ) "
       " ORDER BY IN01_INDTIPODOC, CG41_DATAREG, CG41_DATADOC, CG41_NUMDOCORIG"},
  };
  return cases;
}

TEST(MovementQuery, EachFilterComposesTheTextPieceByPiece) {
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
    EXPECT_SAME_TEXT(kHead + c.tail, sql.AsString());
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
