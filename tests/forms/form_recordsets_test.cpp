// The form recordsets: the declaration lines of hand-made movements laid
// out as the pre-printed form (blocks, filler lines, carried totals) and as
// the laser form (sections numbered on their own pages), compared whole.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cli/json_values.h"
#include "cli/json_writer.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "support/database.h"
#include "forms/form_procedures.h"
#include "support/golden.h"
#include "support/may_sales.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

using testing::TempDatabase;
using testing::Movement;

std::string Json(const RecordsetPtr& rs) {
  if (!rs) return "nothing";
  cli::JsonWriter out;
  cli::WriteRecordset(out, *rs);
  return out.text();
}

// The recordsets given, whole, are the golden section `name`.
void ExpectForm(const std::string& name, std::initializer_list<RecordsetPtr> recordsets) {
  std::string text;
  for (const RecordsetPtr& rs : recordsets) text += (rs ? testing::RecordsetText(*rs) : "nothing\n") + "\n";
  testing::ExpectGoldenSection("forms/golden/form_recordsets.txt", name, text);
}

class FormsTest : public ::testing::Test {
 protected:
  // `count` goods sales of May 2024, one declaration line each (their own
  // code), of 100, 200, ... euro plus 0.40.
  void Goods(int count, int kind = 1, int operation = 0) {
    for (int i = 1; i <= count; ++i) {
      Movement m;
      m.registration = ++registration_;
      m.documentKind = kind;
      m.operation = operation;
      m.code = "'" + std::to_string(84000000 + registration_) + "'";
      m.amount = m.currencyAmount = std::to_string(100 * i) + ".40";
      m.statisticalValue = std::to_string(100 * i);
      m.mass = "2.5";
      if (kind == 2 || kind == 4) m.referenceMonth = "3", m.referenceYear = "2024";
      db_.Add(m);
    }
  }

  // Runs `operation` over company 1's May 2024 sales lines; `set` changes
  // the input first.
  void Run(const std::function<void(IntraContext&)>& operation,
           const std::function<void(CLSIN_INPUTINTRA&)>& set = [](CLSIN_INPUTINTRA&) {}) {
    set(*testing::MaySales(object_, db_.ConnectionString()));
    IntraContext& context = object_.context();
    ASSERT_TRUE(ApriOperazioneDatabase(context, true));
    declaration::BuildDeclarationStatement(context);
    ASSERT_EQ(context.Stato, 0) << context.Errore.Text();
    operation(context);
    EXPECT_EQ(context.Stato, 0) << context.Errore.Text();
  }

  CLSIN_OUPUTINTRA& out() { return *object_.COutput(); }

  TempDatabase db_{
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES (1, 'Declarant', 0);"
      "INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1);"
      "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller Maschinenbau und Werkzeughandel GmbH & Co. KG', 'DE111', 4),"
      " (101, 'Dupont SA', 'FR222', 1);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 11, 101);"};
  CLSIN_INTRABO object_;
  int registration_ = 0;
};

// Lines of every kind of content: the three recordsets are compared whole,
// fields and values, with the golden document.
TEST_F(FormsTest, PreprintedFormOfAFewLinesIsTheGoldenDocument) {
  Goods(3);
  Goods(2, 2);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  const std::string actual = Json(out().RecordsetIntraModMain) + "\n" + Json(out().RecordsetIntraAcqCess) + "\n" +
                             Json(out().RecordsetIntraRettifiche) + "\n";
  testing::ExpectGoldenFile("forms/golden/preprinted_form.json", actual);
}

// Lines of 100, 200, ... 2500: 5,500 in block 1, 21,000 to the end of
// page 1, 32,500 in all; filler lines complete the block of the last line.
TEST_F(FormsTest, PreprintedFormCarriesTotalsFromBlockToBlockAndStopsAtTheFirstIncompleteBlock) {
  Goods(25);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  ExpectForm("preprinted: 25 goods lines",
             {out().RecordsetIntraModMain, out().RecordsetIntraAcqCess, out().RecordsetIntraRettifiche});
}

TEST_F(FormsTest, PreprintedFormCompletesTheGoodsBlockBeforeTheCorrections) {
  Goods(13);
  Goods(3, 2);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  ExpectForm("preprinted: 13 goods lines, 3 corrections",
             {out().RecordsetIntraModMain, out().RecordsetIntraAcqCess, out().RecordsetIntraRettifiche});

  // Purchases are lines of kinds 3 and 4; there are none of them here, and
  // an empty result leaves the recordsets of the last run in place.
  const RecordsetPtr before = out().RecordsetIntraModMain;
  Run(forms::PreparaRecodsetPerStampaSuModulo, [](CLSIN_INPUTINTRA& in) { in.TipoStampa = Variant::Integer(1); });
  EXPECT_EQ(before, out().RecordsetIntraModMain);
}

TEST_F(FormsTest, OnlyAMonthlyFormListsALineWithNothingButAStatisticalValue) {
  Movement m;
  m.registration = 90;
  m.statisticalValue = "75";
  db_.Add(m);
  Goods(1);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  ExpectForm("preprinted: statistical value only, monthly", {out().RecordsetIntraAcqCess});
  Run(forms::PreparaRecodsetPerStampaSuModulo, [](CLSIN_INPUTINTRA& in) {
    in.TipoIntra = Variant::Integer(2);
    in.PeriodoStampa = Variant::Integer(6);
  });
  ExpectForm("preprinted: statistical value only, quarterly", {out().RecordsetIntraAcqCess});
}

TEST_F(FormsTest, LaserFormNumbersEachSectionOnItsOwnPages) {
  Goods(23);
  Goods(8, 2);
  Goods(2, 1, 1);
  auto section = [](int pages) {
    return [pages](CLSIN_INPUTINTRA& in) { in.PagineModLas = Variant::Integer(static_cast<int16_t>(pages)); };
  };
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(2));
  ExpectForm("laser: goods and services",
             {out().RecordsetIntraModMain, out().RecordsetIntraAcqCess, out().RecordsetIntraAcqCess_Ser});
  const IntraContext& context = object_.context();
  EXPECT_EQ(context.NumPagineBis, 3);
  EXPECT_EQ(context.NumPagineQuater, 1);
  EXPECT_EQ(context.figures.goods.total.AsVariant().ToString(), "27600");

  // Ten corrections to a page from 2010 on, seven before.
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(3));
  ExpectForm("laser: corrections", {out().RecordsetIntraModMain, out().RecordsetIntraRettifiche});
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, [](CLSIN_INPUTINTRA& in) {
    in.PagineModLas = Variant::Integer(3);
    in.AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
  });
  ExpectForm("laser: corrections before 2010", {out().RecordsetIntraModMain, out().RecordsetIntraRettifiche});

  // The first page has one page row and no totals; a section without
  // lines publishes nothing.
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(1));
  ExpectForm("laser: first page", {out().RecordsetIntraModMain});
  const RecordsetPtr first = out().RecordsetIntraModMain;
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(5));
  EXPECT_EQ(first, out().RecordsetIntraModMain);
  EXPECT_EQ(object_.context().NumPagineQuinquies, 0);
}

}  // namespace
}  // namespace zelmora
