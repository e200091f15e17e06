#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_folder.h"
#include "support/golden.h"
#include "telematic/declaration_lines.h"
#include "telematic/telematic_procedures.h"
#include "support/file_bytes.h"

namespace zelmora {
namespace {

using namespace zelmora::testing;

TEST(LegacyRecords, AnnualPurchasesWriteServicesAsGoodsAndNoPeriods) {
  TempFolder folder;
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.TipoStampa = Int(1);
  input.TipoIntra = Int(3);
  input.PartitaIvaDeleg = Str("ab123456789");
  input.Casella1 = Str("x");
  object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder.path()));
  object->SetPathFileIntraWeb("SCAMBI.CEE");

  DeclarationLines lines(false);
  lines.Add({{"IN01_INDTIPODOC", Int(3)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("de")}, {"CG16_PARTIVA", Str("de1")}, {"IMPORTO", Dec("10.5")},
             {"IMPORTOVAL", Dec("20")}, {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("84713000")}});
  lines.Add({{"IN01_INDTIPODOC", Int(3)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("FR")}, {"CG16_PARTIVA", Str("FR2")}, {"IMPORTO", Dec("5")},
             {"IMPORTOVAL", Dec("0")}, {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("631100")}});
  lines.Add({{"IN01_INDTIPODOC", Int(4)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"IN02_MESERIF", Int(5)}, {"IN02_ANNORIF", Int(2023)}, {"CG07_CODISOCF", Str("DE")},
             {"CG16_PARTIVA", Str("DE1")}, {"IMPORTO", Dec("-30")}, {"IMPORTOVAL", Dec("-31")},
             {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("84713000")}});
  // Statistical data only: counted, not totalled, no party.
  lines.Add({{"IN01_INDTIPODOC", Int(4)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(2)},
             {"IN02_MESERIF", Int(5)}, {"IN02_ANNORIF", Int(2024)}, {"CG07_CODISOCF", Str("DE")},
             {"CG16_PARTIVA", Str("DE1")}, {"IMPORTO", Dec("-99")}, {"IN02_INDNATURA", Int(1)},
             {"IN02_NOMENCLATURA", Str("84713000")}});
  RecordsetPtr rs = lines.Recordset();

  int32_t conta = 0;
  // The records go to the file whether a destination is passed or not.
  telematic::PreparaStringaTracciato(object->context(), *rs, conta);
  EXPECT_EQ(object->Stato(), Int(0)) << object->Errore().Text();
  EXPECT_EQ(conta, 5);
  //        1         2         3         4         5         6         7         8         9
  //        1234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234
  testing::ExpectGoldenFile("telematic/golden/legacy_sales.CEE", zelmora::testing::FileBytes(folder / "SCAMBI.CEE"));
  EXPECT_TRUE(object->COutput()->StringaTracciatoInvioTelematico.IsEmpty());
}

TEST(LegacyRecords, MonthlyStatisticsIgnoreTheChangeOfPeriodicity) {
  TempFolder folder;
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.TipoStampa = Int(0);
  input.TipoIntra = Int(1);
  input.PeriodoStampa = Int(3);
  input.CambioPeriodicita = true;
  input.Casella2 = Str(" ");
  object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder.path()));
  object->SetPathFileIntraWeb("SCAMBI.CEE");

  DeclarationLines lines(true);
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(1)},
             {"CG07_CODISOCF", Str("SE")}, {"CG16_PARTIVA", Str("SE556677889901")}, {"IMPORTO", Dec("12.5")},
             {"IN02_INDNATURA", Int(21)}, {"IN02_NOMENCLATURA", Str("84713000")}});
  RecordsetPtr rs = lines.Recordset();
  int32_t conta = 0;
  telematic::PreparaStringaTracciato(object->context(), *rs, conta);
  EXPECT_EQ(object->Stato(), Int(0)) << object->Errore().Text();
  EXPECT_SAME_TEXT(
      "EUROA01234567890000007000000C24M03012345678900100000000000000010000000000013000000000000000000\r\n"
      "EUROA01234567890000007100001SESE55667788990000000000013A84713000000000000000000000000000000000000 0    \r\n",
      zelmora::testing::FileBytes(folder / "SCAMBI.CEE"));

  // Without a file name there is nowhere to write.
  object->SetPathFileIntraWeb("");
  telematic::PreparaStringaTracciato(object->context(), *rs, conta);
  EXPECT_EQ(object->Stato(), Int(91));
  EXPECT_EQ(object->Errore(), Str("Object variable or With block variable not set in PreparaStringaTracciato"));
}

}  // namespace
}  // namespace zelmora
