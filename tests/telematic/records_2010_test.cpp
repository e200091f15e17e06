#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/golden.h"
#include "support/temp_folder.h"
#include "telematic/declaration_lines.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {
namespace {

using namespace zelmora::testing;

TEST(Records2010, MonthlySalesGiveEveryRecordType) {
  auto object = Declarant(0, 1, 3);
  object->COutput()->StringaTracciatoInvioTelematico = Str("PREVIOUS\r\n");

  RecordsetPtr rs = LinesOf("monthly sales", true);

  int32_t conta = 5;
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);

  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  EXPECT_EQ(conta, 14);
  ExpectGoldenFile("telematic/golden/monthly_sales_2010.txt", object->COutput()->StringaTracciatoInvioTelematico.Text());

  // The frontispiece leaves its fields' digits in the section figures, and
  // the signed correction totals beside them.
  const DeclarationFigures& f = object->context().figures;
  EXPECT_EQ((std::vector<Variant>{f.goods.lines.AsVariant(), f.goods.total.AsVariant(),
                                  f.goodsCorrections.lines.AsVariant(), f.goodsCorrections.total.AsVariant(),
                                  f.services.lines.AsVariant(), f.services.total.AsVariant(),
                                  f.servicesCorrections.lines.AsVariant(), f.servicesCorrections.total.AsVariant(),
                                  Variant::Dec(f.goodsCorrectionsSigned), Variant::Dec(f.servicesCorrectionsSigned)}),
            (std::vector<Variant>{Str("00003"), Str("0000000000013"), Str("00001"), Str("000000000012t"),
                                  Str("00002"), Str("0000000001050"), Str("00002"), Str("0000000000250"),
                                  Dec("-124"), Dec("-250")}));
}

TEST(Records2010, QuarterlyPurchasesCarryCurrencyAmountsAndTheDelegate) {
  auto object = Declarant(1, 2, 6);
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.NumFloppy = Str(" 12 ");
  input.PartitaIvaDeleg = Str(" 09876543210 ");
  input.CasiParticolari = Str(" 12 ");

  RecordsetPtr rs = LinesOf("quarterly purchases", false);

  int32_t conta = 0;
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);

  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  EXPECT_EQ(conta, 5);
  ExpectGoldenFile("telematic/golden/quarterly_purchases_2010.txt", object->COutput()->StringaTracciatoInvioTelematico.Text());
}

TEST(Records2010, ChangeOfPeriodicityDeclaresTheQuarterWithoutStatistics) {
  auto object = Declarant(0, 1);
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.CambioPeriodicita = true;

  RecordsetPtr rs = LinesOf("change of periodicity", true);

  // May is not the first month of its quarter; April is.
  input.PeriodoStampa = Int(5);
  int32_t conta = 0;
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);
  input.PeriodoStampa = Int(4);
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);

  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  ExpectGoldenFile("telematic/golden/change_of_periodicity_2010.txt",
                   object->COutput()->StringaTracciatoInvioTelematico.Text());
  EXPECT_EQ(conta, 6);
  // Without service lines the service figures keep the zero of the reset.
  EXPECT_EQ(object->context().figures.services.lines.AsVariant(), Int(0));
}

TEST(Records2010, FileDestinationWritesTheSameLinesAndFailuresKeepWhatWasWritten) {
  TempFolder folder;
  auto object = Declarant(0, 2, 3);
  object->COutput()->StringaTracciatoInvioTelematico = Str("UNTOUCHED");
  object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder.path()));
  object->SetPathFileIntraWeb("intra.txt");

  RecordsetPtr rs = LinesOf("negative goods total", false);

  int32_t conta = 0;
  const Variant destination = Variant::Boolean(true);
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta, &destination);
  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  // A negative goods total keeps its sign inside the field.
  ExpectGoldenFile("telematic/golden/negative_goods_total_2010.txt", FileBytes(folder / "intra.txt"));
  EXPECT_EQ(object->COutput()->StringaTracciatoInvioTelematico, Str("UNTOUCHED"));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"intra.txt"});

  // A destination without a file name has nothing to write to: the first
  // record fails and is reported under the procedure's name.
  object->SetPathFileIntraWeb("");
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta, &destination);
  EXPECT_EQ(object->Stato(), Variant::Integer(91));
  EXPECT_EQ(object->Errore(), Str("Object variable or With block variable not set in PreparaStringaTracciato2010"));
  EXPECT_EQ(conta, 2);

  // With no line the frontispiece is written, then the detail pass finds no
  // first row; the text keeps the frontispiece.
  object->SetStato(Int(0));
  object->COutput()->StringaTracciatoInvioTelematico = Variant::Null();
  RecordsetPtr none = DeclarationLines(false).Recordset();
  telematic::PreparaStringaTracciato2010(object->context(), *none, conta);
  EXPECT_EQ(object->Stato(), Variant::Integer(3021));
  EXPECT_EQ(object->Errore(),
            Str("Either BOF or EOF is True, or the current record has been deleted. in PreparaStringaTracciato2010"));
  EXPECT_SAME_TEXT(
      "EUROX01234567890000007000000C24T01012345678900000000000000000000000000000000000000000000000000000000000000000000000000000000000000\r\n",
      object->COutput()->StringaTracciatoInvioTelematico.Text());
  EXPECT_EQ(conta, 3);
}

}  // namespace
}  // namespace zelmora
