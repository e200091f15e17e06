#include <gtest/gtest.h>

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
  auto object = Declarant(1, 3);
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.PartitaIvaDeleg = Str("ab123456789");
  input.Casella1 = Str("x");
  object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder.path()));
  object->SetPathFileIntraWeb("SCAMBI.CEE");

  RecordsetPtr rs = LinesOf("annual purchases", false);

  int32_t conta = 0;
  // The records go to the file whether a destination is passed or not.
  telematic::PreparaStringaTracciato(object->context(), *rs, conta);
  EXPECT_EQ(object->Stato(), Int(0)) << object->Errore().Text();
  EXPECT_EQ(conta, 5);
  ExpectGoldenFile("telematic/golden/legacy_sales.CEE", FileBytes(folder / "SCAMBI.CEE"));
  EXPECT_TRUE(object->COutput()->StringaTracciatoInvioTelematico.IsEmpty());
}

TEST(LegacyRecords, MonthlyStatisticsIgnoreTheChangeOfPeriodicity) {
  TempFolder folder;
  auto object = Declarant(0, 1, 3);
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.CambioPeriodicita = true;
  input.Casella2 = Str(" ");
  object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder.path()));
  object->SetPathFileIntraWeb("SCAMBI.CEE");

  RecordsetPtr rs = LinesOf("monthly fiscal only", true);
  int32_t conta = 0;
  telematic::PreparaStringaTracciato(object->context(), *rs, conta);
  EXPECT_EQ(object->Stato(), Int(0)) << object->Errore().Text();
  ExpectGoldenFile("telematic/golden/monthly_fiscal_only.CEE", FileBytes(folder / "SCAMBI.CEE"));

  // Without a file name there is nowhere to write.
  object->SetPathFileIntraWeb("");
  telematic::PreparaStringaTracciato(object->context(), *rs, conta);
  EXPECT_EQ(object->Stato(), Int(91));
  EXPECT_EQ(object->Errore(), Str("Object variable or With block variable not set in PreparaStringaTracciato"));
}

}  // namespace
}  // namespace zelmora
