// Deleting one registration's Intrastat document: lines, then header.
#include <gtest/gtest.h>

#include <string>

#include "facade/clsin_intrabo.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "movements/movement_sql.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

Variant Text(const char* value) { return Variant::String(value); }

// Every Intrastat header and every line left, "company|registration|lines"
// ("-" for lines without a header).
constexpr const char* kAll = "1|10|2\n1|11|1\n1|12|0\n1|13|2\n2|10|1\n";

std::string Left(const TempDatabase& db) {
  return db.Rows(
      "SELECT IN01_DITTA_CG18, IN01_NUMREG_CG41, (SELECT COUNT(*) FROM IN02_RIGHEDOC WHERE IN02_DITTA_CG18 = "
      "IN01_DITTA_CG18 AND IN02_NUMREG_CG41 = IN01_NUMREG_CG41) FROM IN01_DOCTESTA UNION ALL "
      "SELECT IN02_DITTA_CG18, IN02_NUMREG_CG41, '-' FROM IN02_RIGHEDOC WHERE NOT EXISTS (SELECT 1 FROM IN01_DOCTESTA "
      "WHERE IN01_DITTA_CG18 = IN02_DITTA_CG18 AND IN01_NUMREG_CG41 = IN02_NUMREG_CG41) ORDER BY 1, 2");
}

TEST(CancellaMovimentiIntra, TheTwoStatementsQuoteTheRegistrationAndNotTheCompany) {
  CLSIN_INPUTINTRA input;
  input.Ditta = Variant::Integer(7);
  input.NumeroRegistrazione = Text("0042");
  EXPECT_SAME_TEXT("DELETE IN02_RIGHEDOC WHERE IN02_DITTA_CG18 = 7 AND IN02_NUMREG_CG41 = '0042'",
                   movements::DeleteLinesSql(input));
  EXPECT_SAME_TEXT("DELETE IN01_DOCTESTA WHERE IN01_DITTA_CG18 = 7 AND IN01_NUMREG_CG41 = '0042'",
                   movements::DeleteHeaderSql(input));
}

// Company 1's registration 10 to delete from movement_rows.sql.
class Cancella : public ::testing::Test {
 protected:
  void SetUp() override {
    input_->Ditta = Variant::Integer(1);
    input_->StringaDiConnessione = Text(db_.ConnectionString().c_str());
    input_->NumeroRegistrazione = Variant::Long(10);
    object_.SetCInput(input_);
  }

  TempDatabase db_{testing::TestFile("movements/movement_rows.sql")};
  CLSIN_INTRABO object_;
  std::shared_ptr<CLSIN_INPUTINTRA> input_ = std::make_shared<CLSIN_INPUTINTRA>();
};

TEST_F(Cancella, DeletesLinesAndHeaderOfOneRegistrationOfOneCompany) {
  object_.SetStato(Variant::Integer(5));

  ASSERT_EQ(Left(db_), kAll);
  std::vector<Variant> none;
  EXPECT_EQ(object_.Invoke("CancellaMovimentiIntra", none), Variant::Boolean(true));
  EXPECT_EQ(object_.context().Stato, 0);
  EXPECT_EQ(Left(db_), "1|11|1\n1|12|0\n1|13|2\n2|10|1\n");

  // Nothing left to delete is still a success.
  EXPECT_TRUE(object_.CancellaMovimentiIntra());
  EXPECT_EQ(object_.context().Stato, 0);
  EXPECT_TRUE(object_.Errore().IsEmpty());
}

TEST_F(Cancella, MissingPrerequisitesSayWhichAndRunNothing) {
  input_->Ditta = Variant();

  EXPECT_FALSE(object_.CancellaMovimentiIntra());
  EXPECT_EQ(object_.context().Stato, 1);
  EXPECT_EQ(object_.Errore().Text(), "Non è stata passata la ditta");

  input_->Ditta = Variant::Integer(1);
  input_->NumeroRegistrazione = Text("");
  EXPECT_FALSE(object_.CancellaMovimentiIntra());
  EXPECT_EQ(object_.context().Stato, 1);
  EXPECT_EQ(object_.Errore().Text(), "Non è stato passato il numero registrazione");
  EXPECT_EQ(object_.context().Connessione, nullptr);
  EXPECT_EQ(Left(db_), kAll);

  // No connection to be had: status 1 from CreaConnessione, Errore as it was.
  input_->NumeroRegistrazione = Variant::Long(10);
  input_->StringaDiConnessione = Variant::Null();
  object_.SetErrore(Text("earlier"));
  EXPECT_FALSE(object_.CancellaMovimentiIntra());
  EXPECT_EQ(object_.context().Stato, 1);
  EXPECT_EQ(object_.Errore().Text(), "earlier");
  EXPECT_EQ(Left(db_), kAll);
}

TEST_F(Cancella, AFailingFirstDeletionKeepsTheHeaderAndIsNumbered) {
  db_.Run(
      "CREATE TRIGGER KEEP_LINES BEFORE DELETE ON IN02_RIGHEDOC "
      "BEGIN SELECT RAISE(ABORT, 'lines are locked'); END;");
  input_->NumeroRegistrazione = Text("13");

  EXPECT_FALSE(object_.CancellaMovimentiIntra());
  EXPECT_EQ(object_.context().Stato, 99);
  EXPECT_EQ(object_.Errore().Text(), "Errore VB numero 30019(lines are locked (SQLite error 1811))");
  EXPECT_EQ(Left(db_), kAll);

  // A registration number the number column cannot take fails on the server.
  db_.Run("DROP TRIGGER KEEP_LINES;");
  input_->NumeroRegistrazione = Text("13A");
  EXPECT_FALSE(object_.CancellaMovimentiIntra());
  EXPECT_EQ(object_.context().Stato, 99);
  EXPECT_EQ(object_.Errore().Text(),
            "Errore VB numero 245(Conversion failed when converting the varchar value '13A' to data type int.)");
  EXPECT_EQ(Left(db_), kAll);
}

}  // namespace
}  // namespace zelmora
