// The movement list (one row per line) and the browsing list (one row per
// document) run on a SQLite host database with hand-made documents.
#include <gtest/gtest.h>

#include <string>

#include "facade/clsin_intrabo.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"
#include "support/recordset_text.h"
#include "support/value_text.h"

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
  for (const testing::InputCase& c : testing::ReadInputCases("movements/list_cases.txt")) {
    SCOPED_TRACE(c.name);
    const bool browsing = c.name.starts_with("documents:");
    CLSIN_INTRABO object;
    auto input = Input(db);
    for (const auto& [property, value] : c.set) input->SetMember(property, value);
    object.SetCInput(input);
    object.COutput()->StringaSQLperStampaIntra = Text("SELECT 1");
    if (browsing) {
      object.GeneraRecordsetIntraPerInterrogazione();
      EXPECT_EQ(object.COutput()->StringaSQLperStampaIntra, Text("SELECT 1"));
    } else {
      object.GeneraRecordsetIntra();
      EXPECT_EQ(input->TipoElaborazione, "Interrogazione");
    }
    ASSERT_EQ(object.context().Stato, 0) << object.Errore().Text();
    const RecordsetPtr rows =
        browsing ? object.COutput()->RecordsetIntraInterrogazione : object.COutput()->RecordsetIntra;
    ASSERT_NE(rows, nullptr);
    testing::ExpectGoldenSection("movements/golden/lists.txt", c.section, testing::RecordsetText(*rows));
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
