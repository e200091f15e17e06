// The movement list (one row per line) and the browsing list (one row per
// document) run on a SQLite host database with hand-made documents.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "component/clsin_intrabo.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

Variant Text(const char* value) { return Variant::String(value); }
Variant Int(int16_t value) { return Variant::Integer(value); }

std::shared_ptr<CLSIN_INPUTINTRA> Input(const TempDatabase& db) {
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->Ditta = Int(1);
  input->StringaDiConnessione = Text(db.ConnectionString().c_str());
  return input;
}

// The line list (one row per line, and one for a document without lines)
// and the browsing list (one row per document), each whole as the golden
// section of its case. The browsing list does not publish its text.
TEST(MovementRecordsets, BothListsFollowTheFilters) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  struct Case {
    bool browsing;
    const char* name;
    std::function<void(CLSIN_INPUTINTRA&)> set;
  };
  const std::vector<Case> cases = {
      // Ordered by kind of line (Null first), document kind and code.
      {false, "lines: operation ignored, both kinds shown", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(1); }},
      {false, "lines: goods codes from 8: services kept, lines of no kind dropped",
       [](CLSIN_INPUTINTRA& in) { in.NomenclaturaIniziale = Text("8"); }},
      {false, "lines: service codes up to 5: goods kept", [](CLSIN_INPUTINTRA& in) { in.ServizioFinale = Text("5"); }},
      {false, "lines: only documents with lines", [](CLSIN_INPUTINTRA& in) { in.Pbol_Dettaglio = true; }},
      {false, "lines: purchases", [](CLSIN_INPUTINTRA& in) { in.TipoMovimento = Int(3); }},
      {false, "lines: customer 123 by its account",
       [](CLSIN_INPUTINTRA& in) {
         in.Conto = Text("1102000123");
         in.TipoCF = Int(0);
       }},
      {false, "lines: document dates and number",
       [](CLSIN_INPUTINTRA& in) {
         in.DataDocumentoIniziale = Text("2024-01-06");
         in.DataDocumentoFinale = Text("14/01/2024");
         in.NumeroDocumento = Text("ft2");
       }},
      {false, "lines: an invalid date selects nothing",
       [](CLSIN_INPUTINTRA& in) { in.DataDocumentoIniziale = Text("2024-02-30"); }},
      {false, "lines: host filter with both kinds: a line of no kind counts as goods",
       [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A1'");
         in.OperazioneRif = Int(9);
         in.Conto = Text("000123");  // ignored
         in.TipoCF = Int(0);
       }},
      // Without an operation: documents with goods lines, or without lines
      // (11 has services only). The competence date falls back on the VAT
      // registration date, then on the registration date.
      {true, "documents: no operation", [](CLSIN_INPUTINTRA&) {}},
      {true, "documents: services, or without lines", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(1); }},
      {true, "documents: both kinds", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Text("9"); }},
      {true, "documents: goods codes from 8", [](CLSIN_INPUTINTRA& in) { in.NomenclaturaIniziale = Text("8"); }},
      {true, "documents: only documents with lines",
       [](CLSIN_INPUTINTRA& in) {
         in.OperazioneRif = Int(9);
         in.Pbol_Dettaglio = true;
       }},
      {true, "documents: section and protocol",
       [](CLSIN_INPUTINTRA& in) {
         in.CodiceSezionale = Text("a1");
         in.Protocollo = Int(6);
       }},
      {true, "documents: supplier account, document date from",
       [](CLSIN_INPUTINTRA& in) {
         in.Conto = Text("000077");
         in.TipoCF = Int(1);
         in.DataDocumentoIniziale = Text("2024-01-10");
       }},
      {true, "documents: host filter and ordering",
       [](CLSIN_INPUTINTRA& in) {
         in.OperazioneRif = Int(9);
         in.ENHFiltro = Text("AND CG41_DATAREG >= '20240115'");
         in.Conto = Text("000077");  // ignored
         in.TipoCF = Int(1);
         in.ENHOrdinamentoMovIntra = Text("IN01_NUMREG_CG41 DESC");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CLSIN_INTRABO object;
    auto input = Input(db);
    c.set(*input);
    object.SetCInput(input);
    object.COutput()->StringaSQLperStampaIntra = Text("SELECT 1");
    if (c.browsing) {
      object.GeneraRecordsetIntraPerInterrogazione();
      EXPECT_EQ(object.COutput()->StringaSQLperStampaIntra, Text("SELECT 1"));
    } else {
      object.GeneraRecordsetIntra();
      EXPECT_EQ(input->TipoElaborazione, "Interrogazione");
    }
    ASSERT_EQ(object.context().Stato, 0) << object.Errore().Text();
    const RecordsetPtr rows =
        c.browsing ? object.COutput()->RecordsetIntraInterrogazione : object.COutput()->RecordsetIntra;
    ASSERT_NE(rows, nullptr);
    testing::ExpectGoldenSection("movements/golden/lists.txt", c.name, testing::RecordsetText(*rows));
  }
}

TEST(MovementRecordsets, FailuresLeaveStatus1Or99AndThePreviousResults) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  CLSIN_INTRABO object;
  auto input = Input(db);
  object.SetCInput(input);

  // A missing prerequisite: status 1, no connection, nothing published.
  input->Ditta = Text("");
  object.SetErrore(Text("earlier"));
  object.GeneraRecordsetIntra();
  EXPECT_EQ(object.context().Stato, 1);
  EXPECT_EQ(object.context().Connessione, nullptr);
  EXPECT_EQ(input->TipoElaborazione, "");
  object.GeneraRecordsetIntraPerInterrogazione();
  EXPECT_EQ(object.context().Stato, 1);
  EXPECT_EQ(object.Errore().Text(), "earlier");

  // A successful list, then a failing one: the list stays, Errore is left
  // alone by the silent handler.
  input->Ditta = Int(1);
  object.GeneraRecordsetIntraPerInterrogazione();
  ASSERT_EQ(object.context().Stato, 0);
  const RecordsetPtr before = object.COutput()->RecordsetIntraInterrogazione;
  input->ENHFiltro = Text("AND NOT_A_COLUMN = 1");
  object.GeneraRecordsetIntraPerInterrogazione();
  EXPECT_EQ(object.context().Stato, 99);
  EXPECT_EQ(object.Errore().Text(), "earlier");
  EXPECT_EQ(object.COutput()->RecordsetIntraInterrogazione, before);

  object.GeneraRecordsetIntra();
  ASSERT_EQ(object.context().Stato, 99);
  EXPECT_EQ(object.COutput()->RecordsetIntra, nullptr);

  // A filter the query builder refuses is reported by the builder; the
  // list then runs the text already there.
  input->ENHFiltro = Variant();
  input->TipoMovimento = Text("acquisti");
  object.COutput()->StringaSQLperStampaIntra = Text("SELECT 1 AS UNO");
  object.GeneraRecordsetIntra();
  EXPECT_EQ(object.context().Stato, 13);
  EXPECT_EQ(object.Errore().Text(), "Type mismatch in DefinisciStringaSQLPerIntra");
  ASSERT_NE(object.COutput()->RecordsetIntra, nullptr);
  EXPECT_EQ(testing::ColumnText(*object.COutput()->RecordsetIntra), "1");
}

TEST(MovementRecordsets, AConnectionThatFailsIsReportedByCreaConnessioneThenStatus99) {
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->Ditta = Int(1);
  input->StringaDiConnessione = Text("Provider=SQLite;Data Source=/nonexistent/folder/host.db");
  object.SetCInput(input);
  object.GeneraRecordsetIntra();
  EXPECT_EQ(object.context().Stato, 99);
  EXPECT_TRUE(object.Errore().Text().ends_with(" in CreaConnessione")) << object.Errore().Text();
  EXPECT_EQ(object.COutput()->RecordsetIntra, nullptr);
}

}  // namespace
}  // namespace zelmora
