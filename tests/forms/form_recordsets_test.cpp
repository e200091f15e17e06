// The form recordsets: the declaration lines of hand-made movements laid
// out as the pre-printed form (blocks, filler lines, carried totals) and as
// the laser form (sections numbered on their own pages), compared whole.
#include <gtest/gtest.h>

#include <functional>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/active_interface.h"
#include "cli/json_values.h"
#include "cli/json_writer.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "support/database.h"
#include "forms/form_procedures.h"
#include "support/golden.h"
#include "support/file_bytes.h"

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

// One line per visible row: the fields named, "-" for Null.
std::string Rows(const RecordsetPtr& rs, std::initializer_list<const char*> fields) {
  if (!rs) return "nothing";
  std::string text;
  for (const Row* row : rs->VisibleRows()) {
    std::string line;
    for (const char* name : fields) {
      const Variant& value = (*row)[*rs->FieldIndex(name)];
      line += (line.empty() ? "" : " ") + (value.IsEmptyOrNull() ? std::string("-") : value.ToString());
    }
    text += line + "\n";
  }
  return text;
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.Run(
        "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES (1, 'Declarant', 0);"
        "INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1);"
        "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller Maschinenbau und Werkzeughandel GmbH & Co. KG', 'DE111', 4),"
        " (101, 'Dupont SA', 'FR222', 1);"
        "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 11, 101);");
  }

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
    auto in = std::make_shared<CLSIN_INPUTINTRA>();
    in->StringaDiConnessione = Variant::String(db_.ConnectionString());
    in->Ditta = Variant::Integer(1);
    in->Anno = Variant::Integer(2024);
    in->PeriodoStampa = Variant::Integer(5);
    in->TipoIntra = Variant::Integer(1);
    in->TipoStampa = Variant::Integer(0);
    in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
    set(*in);
    object_.SetCInput(in);
    object_.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
    IntraContext& context = object_.context();
    ASSERT_TRUE(ApriOperazioneDatabase(context, true));
    declaration::BuildDeclarationStatement(context);
    ASSERT_EQ(context.Stato, 0) << context.Errore.Text();
    operation(context);
    EXPECT_EQ(context.Stato, 0) << context.Errore.Text();
  }

  CLSIN_OUPUTINTRA& out() { return *object_.COutput(); }

  TempDatabase db_;
  CLSIN_INTRABO object_;
  int registration_ = 0;
};

const std::initializer_list<const char*> kPageFields = {"RIGA",      "TOTALEAC", "TOTPRECAC",  "TOTALEAC2",
                                                        "TOTPRECAC2", "TOTRETT", "TOTRETTPREC"};
const std::initializer_list<const char*> kPlaces = {"INDTIPODOC", "PROGRESSIVO", "RIGA", "FOGLIO", "IMPORTO"};

// Lines of every kind of content: the three recordsets are compared whole,
// fields and values, with the golden document.
TEST_F(FormsTest, PreprintedFormOfAFewLinesIsTheGoldenDocument) {
  Goods(3);
  Goods(2, 2);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  const std::string actual = Json(out().RecordsetIntraModMain) + "\n" + Json(out().RecordsetIntraAcqCess) + "\n" +
                             Json(out().RecordsetIntraRettifiche) + "\n";
  EXPECT_SAME_TEXT(zelmora::testing::FileBytes(ZELMORA_SOURCE_DIR "/tests/forms/golden/preprinted_form.json"), actual);
}

TEST_F(FormsTest, PreprintedFormCarriesTotalsFromBlockToBlockAndStopsAtTheFirstIncompleteBlock) {
  Goods(25);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  // Lines of 100, 200, ... 2500: 5,500 in block 1, 21,000 to the end of
  // page 1, 32,500 in all.
  EXPECT_SAME_TEXT(
      "1 5500 0 21000 5500 0 0\n"
      "2 32500 21000 0 - 0 -\n",
      Rows(out().RecordsetIntraModMain, kPageFields));
  std::string goods;
  for (int i = 1; i <= 25; ++i) {
    goods += "1 " + std::to_string(i) + " " + (i <= 20 ? "1 " : "2 ") + ((i - 1) % 20 < 10 ? "0 " : "1 ") +
             std::to_string(100 * i) + "\n";
  }
  for (int i = 26; i <= 30; ++i) goods += "1 - 2 0 -\n";
  for (int i = 31; i <= 40; ++i) goods += "1 - - - -\n";
  EXPECT_SAME_TEXT(goods, Rows(out().RecordsetIntraAcqCess, kPlaces));
  std::string corrections;
  for (int i = 1; i <= 14; ++i) corrections += std::string("2 - ") + (i <= 7 ? "1" : "-") + " - -\n";
  EXPECT_SAME_TEXT(corrections, Rows(out().RecordsetIntraRettifiche, kPlaces));
}

TEST_F(FormsTest, PreprintedFormCompletesTheGoodsBlockBeforeTheCorrections) {
  Goods(13);
  Goods(3, 2);
  Run(forms::PreparaRecodsetPerStampaSuModulo);
  EXPECT_SAME_TEXT("1 5500 0 9100 5500 600 0\n", Rows(out().RecordsetIntraModMain, kPageFields));
  std::string goods;
  for (int i = 1; i <= 13; ++i) {
    goods += "1 " + std::to_string(i) + " 1 " + (i <= 10 ? "0 " : "1 ") + std::to_string(100 * i) + "\n";
  }
  for (int i = 14; i <= 20; ++i) goods += "1 - 1 1 -\n";
  EXPECT_SAME_TEXT(goods, Rows(out().RecordsetIntraAcqCess, kPlaces));
  EXPECT_SAME_TEXT(
      "2 1 1 - 100\n2 2 1 - 200\n2 3 1 - 300\n2 - 1 - -\n2 - 1 - -\n2 - 1 - -\n2 - 1 - -\n",
      Rows(out().RecordsetIntraRettifiche, kPlaces));

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
  const std::initializer_list<const char*> fields = {"PROGRESSIVO", "IMPORTO", "VALSTAT", "MASSA", "NOMENCLATURA"};
  std::string monthly = "1 100 100 3 84000001\n2 0 75 - 84821090\n";
  for (int i = 3; i <= 20; ++i) monthly += "- - - - -\n";
  EXPECT_SAME_TEXT(monthly, Rows(out().RecordsetIntraAcqCess, fields));

  Run(forms::PreparaRecodsetPerStampaSuModulo, [](CLSIN_INPUTINTRA& in) {
    in.TipoIntra = Variant::Integer(2);
    in.PeriodoStampa = Variant::Integer(6);
  });
  std::string quarterly = "1 100 - - 84000001\n";
  for (int i = 2; i <= 20; ++i) quarterly += "- - - - -\n";
  EXPECT_SAME_TEXT(quarterly, Rows(out().RecordsetIntraAcqCess, fields));
}

const std::initializer_list<const char*> kLaserPageFields = {
    "RIGA",    "TOTALEAC",    "TOTPRECAC",    "TOTALEAC2",     "TOTPRECAC2",     "TOTRETT",
    "TOTRETTPREC", "TOTALEAC_SER", "TOTPRECAC_SER", "TOTRETT_SER", "TOTRETTPREC_SER"};
const std::initializer_list<const char*> kLaserPlaces = {"INDTIPODOC", "IN02_INDOPER", "PROGRESSIVO", "RIGA",
                                                         "FOGLIO", "IMPORTO"};

TEST_F(FormsTest, LaserFormNumbersEachSectionOnItsOwnPages) {
  Goods(23);
  Goods(8, 2);
  Goods(2, 1, 1);
  auto section = [](int pages) {
    return [pages](CLSIN_INPUTINTRA& in) { in.PagineModLas = Variant::Integer(static_cast<int16_t>(pages)); };
  };
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(2));
  EXPECT_SAME_TEXT(
      "1 5500 0 0 0 0 0 0 0 0 0\n"
      "2 21000 5500 0 0 0 0 0 0 0 0\n"
      "3 27600 21000 0 0 0 0 0 0 0 0\n",
      Rows(out().RecordsetIntraModMain, kLaserPageFields));
  std::string goods;
  for (int i = 1; i <= 23; ++i) {
    goods += "1 0 " + std::to_string(i) + " " + std::to_string((i + 9) / 10) + " 0 " + std::to_string(100 * i) + "\n";
  }
  for (int i = 24; i <= 30; ++i) goods += "1 0 - 3 0 -\n";
  EXPECT_SAME_TEXT(goods, Rows(out().RecordsetIntraAcqCess, kLaserPlaces));
  std::string services = "1 1 1 1 0 100\n1 1 2 1 0 200\n";
  for (int i = 3; i <= 10; ++i) services += "1 1 - 1 0 -\n";
  EXPECT_SAME_TEXT(services, Rows(out().RecordsetIntraAcqCess_Ser, kLaserPlaces));
  const IntraContext& context = object_.context();
  EXPECT_EQ(context.NumPagineBis, 3);
  EXPECT_EQ(context.NumPagineQuater, 1);
  EXPECT_EQ(context.TotImportoAcqCess.ToString(), "27600");

  // Ten corrections to a page from 2010 on, seven before.
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(3));
  EXPECT_SAME_TEXT("1 0 0 0 0 3600 0 0 0 0 0\n", Rows(out().RecordsetIntraModMain, kLaserPageFields));
  EXPECT_EQ(out().RecordsetIntraRettifiche->RecordCount(), 10);
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, [](CLSIN_INPUTINTRA& in) {
    in.PagineModLas = Variant::Integer(3);
    in.AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
  });
  EXPECT_SAME_TEXT("1 0 0 0 0 2800 0 0 0 0 0\n2 0 0 0 0 3600 2800 0 0 0 0\n",
                   Rows(out().RecordsetIntraModMain, kLaserPageFields));
  EXPECT_EQ(out().RecordsetIntraRettifiche->RecordCount(), 14);

  // The first page has one page row and no totals; a section without
  // lines publishes nothing.
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(1));
  EXPECT_SAME_TEXT("1 0 0 0 0 0 0 0 0 0 0\n", Rows(out().RecordsetIntraModMain, kLaserPageFields));
  const RecordsetPtr first = out().RecordsetIntraModMain;
  Run(forms::PreparaRecodsetPerStampaSuModuloLaser, section(5));
  EXPECT_EQ(first, out().RecordsetIntraModMain);
  EXPECT_EQ(object_.context().NumPagineQuinquies, 0);
}

}  // namespace
}  // namespace zelmora
