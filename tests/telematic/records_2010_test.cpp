#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_folder.h"
#include "support/golden.h"
#include "telematic/declaration_lines.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {
namespace {

using namespace zelmora::testing;

// Columns of the records (1-based):
//          1         2         3         4         5         6         7         8         9        10        11        12        13
// 1234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890

TEST(Records2010, MonthlySalesGiveEveryRecordType) {
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.TipoStampa = Int(0);
  input.TipoIntra = Int(1);
  input.PeriodoStampa = Int(3);
  object->COutput()->StringaTracciatoInvioTelematico = Str("PREVIOUS\r\n");

  DeclarationLines lines(true);
  // Goods with full statistical data; 12.49 rounds down, 0.3 kg up to one.
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("DE")}, {"CG16_PARTIVA", Str("DE123456789")}, {"IMPORTO", Dec("12.49")},
             {"IMPORTOVAL", Dec("0")}, {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("84713000")},
             {"VALSTAT", Dec("15.50")}, {"IMPMASSA", Dec("0.3")}, {"IN02_INDCONS", Int(2)}, {"IN02_INDTRASP", Int(3)},
             {"CG07_CODISODES", Str("DE")}, {"IN02_PROVORIG", Str("mi")}});
  // Fiscal data only: below one unit, nature 21, a VAT number cut at 12.
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(1)},
             {"CG07_CODISOCF", Str("fr")}, {"CG16_PARTIVA", Str("FR12345678901")}, {"IMPORTO", Dec("0.49")},
             {"IN02_INDNATURA", Int(21)}, {"IN02_NOMENCLATURA", Str("1234567")}, {"VALSTAT", Dec("99")},
             {"IN02_INDCONS", Int(1)}, {"IN02_INDTRASP", Int(1)}});
  // Statistical data only: no party, no amount, and out of the goods total.
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Variant::Null()}, {"IN02_INDTIPODATI", Int(2)},
             {"CG07_CODISOCF", Str("XX")}, {"CG16_PARTIVA", Str("IGNORED")}, {"IMPORTO", Dec("100")},
             {"IN02_INDNATURA", Int(3)}, {"IN02_NOMENCLATURA", Str(" 39269097 ")}, {"VALSTAT", Dec("250.5")},
             {"IMPMASSA", Dec("10")}, {"IMPUNSUPPL", Dec("2.5")}, {"IN02_INDCONS", Int(9)},
             {"IN02_INDTRASP", Int(5)}, {"CG07_CODISODES", Str("NL")}, {"IN02_PROVORIG", Str("VA")}});
  // A negative goods correction: the half rounds away from zero.
  lines.Add({{"IN01_INDTIPODOC", Int(2)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"IN02_MESERIF", Int(1)}, {"IN02_ANNORIF", Int(2024)}, {"CG07_CODISOCF", Str("AT")},
             {"CG16_PARTIVA", Str("ATU12345678")}, {"IMPORTO", Dec("-123.5")}, {"IN02_INDNATURA", Int(2)},
             {"IN02_NOMENCLATURA", Str("84713000")}, {"VALSTAT", Dec("200")}});
  // Services invoiced in 2012 carry the section; in 2013 they do not.
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("ES")}, {"CG16_PARTIVA", Str("ESX1234567X")}, {"IMPORTO", Dec("999.99")},
             {"IN02_NUMDOCORIG", Str(" 45 ")}, {"IN02_SEZORIG", Str("2")}, {"IN02_DATADOCORIG", Day(2012, 12, 31)},
             {"IN02_NOMENCLATURA", Str("62010000")}, {"IN02_CODICE_IN03", Str("i")}, {"IN02_CODICE_IN04", Str("")},
             {"CG07_CODISOPAG", Str("ES")}});
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("ES")}, {"CG16_PARTIVA", Str("ESX1234567X")}, {"IMPORTO", Dec("50.2")},
             {"IN02_NUMDOCORIG", Str("fàt-7")}, {"IN02_SEZORIG", Str("3")}, {"IN02_DATADOCORIG", Day(2013, 1, 15)},
             {"IN02_NOMENCLATURA", Str("6201")}, {"IN02_CODICE_IN03", Str("1")}, {"IN02_CODICE_IN04", Str("2")}});
  // A service correction, and a blank one (its corrected value is zero).
  lines.Add({{"IN01_INDTIPODOC", Int(2)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"IN02_SEZDOG", Variant::Long(12)}, {"IN02_ANNORIF", Int(2023)}, {"IN02_PROTDICH", Variant::Long(345)},
             {"IN02_PROGRSEZ3", Variant::Long(7)}, {"CG07_CODISOCF", Str("DE")}, {"CG16_PARTIVA", Str("DE999")},
             {"IMPORTO", Dec("-40")}, {"RETTIFICA", Dec("-250.4")}, {"IN02_NUMDOCORIG", Str("X1")},
             {"IN02_SEZORIG", Str("1")}, {"IN02_DATADOCORIG", Day(2012, 5, 6)},
             {"IN02_NOMENCLATURA", Str("62010000")}, {"IN02_CODICE_IN03", Str("1")}, {"IN02_CODICE_IN04", Str("2")},
             {"CG07_CODISOPAG", Str("DE")}});
  lines.Add({{"IN01_INDTIPODOC", Int(2)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"IN02_SEZDOG", Variant::Long(5)}, {"IN02_ANNORIF", Int(2024)}, {"IN02_PROTDICH", Variant::Long(1)},
             {"IN02_PROGRSEZ3", Variant::Long(2)}, {"CG07_CODISOCF", Str("DE")}, {"CG16_PARTIVA", Str("DE999")},
             {"RETTIFICA", Dec("0")}, {"IN02_NUMDOCORIG", Str("X2")}, {"IN02_DATADOCORIG", Day(2012, 1, 1)},
             {"IN02_NOMENCLATURA", Str("62010000")}, {"IN02_CODICE_IN03", Str("1")}, {"IN02_CODICE_IN04", Str("2")},
             {"CG07_CODISOPAG", Str("DE")}});
  RecordsetPtr rs = lines.Recordset();

  int32_t conta = 5;
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);

  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  EXPECT_EQ(conta, 14);
  testing::ExpectGoldenFile("telematic/golden/monthly_sales_2010.txt", object->COutput()->StringaTracciatoInvioTelematico.Text());

  // The frontispiece leaves its fields' text in the shared counters, and
  // the signed correction totals beside them.
  IntraContext& context = object->context();
  EXPECT_EQ(context.NumRigheAcqCess, Str("00003"));
  EXPECT_EQ(context.TotImportoAcqCess, Str("0000000000013"));
  EXPECT_EQ(context.NumRigheRett, Str("00001"));
  EXPECT_EQ(context.TotImportoRett, Str("000000000012t"));
  EXPECT_EQ(context.NumRigheServizi, Str("00002"));
  EXPECT_EQ(context.TotImportoServizi, Str("0000000001050"));
  EXPECT_EQ(context.NumRigheRettServizi, Str("00002"));
  EXPECT_EQ(context.TotImportoRettServizi, Str("0000000000250"));
  EXPECT_EQ(context.TotImportoRettConSegno, Dec("-124"));
  EXPECT_EQ(context.TotImportoRettServiziConSegno, Dec("-250"));
}

TEST(Records2010, QuarterlyPurchasesCarryCurrencyAmountsAndTheDelegate) {
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.TipoStampa = Int(1);
  input.TipoIntra = Int(2);
  input.PeriodoStampa = Int(6);
  input.NumFloppy = Str(" 12 ");
  input.PartitaIvaDeleg = Str(" 09876543210 ");
  input.CasiParticolari = Str(" 12 ");

  DeclarationLines lines(false);
  lines.Add({{"IN01_INDTIPODOC", Int(3)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("DE")}, {"CG16_PARTIVA", Str("DE123456789")}, {"IMPORTO", Dec("1000.50")},
             {"IMPORTOVAL", Dec("1100.49")}, {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("84713000")}});
  // A correction of May: second quarter; the currency amount loses its sign.
  lines.Add({{"IN01_INDTIPODOC", Int(4)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"IN02_MESERIF", Int(5)}, {"IN02_ANNORIF", Int(2024)}, {"CG07_CODISOCF", Str("DE")},
             {"CG16_PARTIVA", Str("DE123456789")}, {"IMPORTO", Dec("80.2")}, {"IMPORTOVAL", Dec("-90.7")},
             {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("84713000")}});
  // Purchase invoices never carry the section, even before 2013.
  lines.Add({{"IN01_INDTIPODOC", Int(3)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("FR")}, {"CG16_PARTIVA", Str("FR1")}, {"IMPORTO", Dec("10")},
             {"IMPORTOVAL", Dec("12")}, {"IN02_NUMDOCORIG", Str("F-9")}, {"IN02_SEZORIG", Str("4")},
             {"IN02_DATADOCORIG", Day(2011, 2, 3)}, {"IN02_NOMENCLATURA", Str("631100")},
             {"IN02_CODICE_IN03", Str("2")}, {"IN02_CODICE_IN04", Str("1")}, {"CG07_CODISOPAG", Str("FR")}});
  // Long section, protocol and numbers are cut on the left.
  lines.Add({{"IN01_INDTIPODOC", Int(4)}, {"IN02_INDOPER", Int(1)}, {"IN02_INDTIPODATI", Int(0)},
             {"IN02_SEZDOG", Variant::Long(123456789)}, {"IN02_ANNORIF", Int(2023)},
             {"IN02_PROTDICH", Variant::Long(1234567)}, {"IN02_PROGRSEZ3", Variant::Long(3)},
             {"CG07_CODISOCF", Str("FR")}, {"CG16_PARTIVA", Str("FR1")}, {"RETTIFICA", Dec("0.2")},
             {"RETTIFICAVAL", Dec("3.6")}, {"IN02_NUMDOCORIG", Str("F-10")}, {"IN02_SEZORIG", Str("1")},
             {"IN02_DATADOCORIG", Day(2012, 1, 1)}, {"IN02_NOMENCLATURA", Str("631100")},
             {"IN02_CODICE_IN04", Str("  ")}, {"CG07_CODISOPAG", Str("FR")}});
  RecordsetPtr rs = lines.Recordset();

  int32_t conta = 0;
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);

  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  EXPECT_EQ(conta, 5);
  testing::ExpectGoldenFile("telematic/golden/quarterly_purchases_2010.txt", object->COutput()->StringaTracciatoInvioTelematico.Text());
}

TEST(Records2010, ChangeOfPeriodicityDeclaresTheQuarterWithoutStatistics) {
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.TipoStampa = Int(0);
  input.TipoIntra = Int(1);
  input.CambioPeriodicita = true;

  DeclarationLines lines(true);
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("BE")}, {"CG16_PARTIVA", Str("BE0123456789")}, {"IMPORTO", Dec("7.6")},
             {"IN02_INDNATURA", Int(1)}, {"IN02_NOMENCLATURA", Str("84713000")}, {"VALSTAT", Dec("8")},
             {"IMPMASSA", Dec("1")}, {"IN02_INDCONS", Int(1)}, {"IN02_INDTRASP", Int(3)}});
  lines.Add({{"IN01_INDTIPODOC", Int(2)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(1)},
             {"IN02_MESERIF", Int(4)}, {"IN02_ANNORIF", Int(2024)}, {"CG07_CODISOCF", Str("BE")},
             {"CG16_PARTIVA", Str("BE0123456789")}, {"IMPORTO", Dec("5")}, {"IN02_INDNATURA", Int(1)},
             {"IN02_NOMENCLATURA", Str("84713000")}, {"VALSTAT", Dec("5")}});
  RecordsetPtr rs = lines.Recordset();

  // May is not the first month of its quarter; April is.
  input.PeriodoStampa = Int(5);
  int32_t conta = 0;
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);
  input.PeriodoStampa = Int(4);
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta);

  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  const std::string details =
      "EUROX01234567890000007100001BEBE01234567890000000000008184713000\r\n"
      "EUROX0123456789000000720000104024BEBE0123456789+00000000000051847130000000000000000\r\n";
  EXPECT_SAME_TEXT(
      "EUROX01234567890000007000000C24T02012345678909000000000000000010000000000008000010000000000005000000000000000000000000000000000000\r\n" + details +
          "EUROX01234567890000007000000C24T02012345678908000000000000000010000000000008000010000000000005000000000000000000000000000000000000\r\n" + details,
      object->COutput()->StringaTracciatoInvioTelematico.Text());
  EXPECT_EQ(conta, 6);
  // Without service lines the service counters keep the zero of the reset.
  EXPECT_EQ(object->context().NumRigheServizi, Int(0));
}

TEST(Records2010, FileDestinationWritesTheSameLinesAndFailuresKeepWhatWasWritten) {
  TempFolder folder;
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.TipoStampa = Int(0);
  input.TipoIntra = Int(2);
  input.PeriodoStampa = Int(3);
  object->COutput()->StringaTracciatoInvioTelematico = Str("UNTOUCHED");
  object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder.path()));
  object->SetPathFileIntraWeb("intra.txt");

  DeclarationLines lines(false);
  lines.Add({{"IN01_INDTIPODOC", Int(1)}, {"IN02_INDOPER", Int(0)}, {"IN02_INDTIPODATI", Int(0)},
             {"CG07_CODISOCF", Str("PT")}, {"CG16_PARTIVA", Str("PT501234567")}, {"IMPORTO", Dec("-7.6")},
             {"IN02_INDNATURA", Int(10)}, {"IN02_NOMENCLATURA", Str("84713000")}});
  RecordsetPtr rs = lines.Recordset();

  int32_t conta = 0;
  const Variant destination = Variant::Boolean(true);
  telematic::PreparaStringaTracciato2010(object->context(), *rs, conta, &destination);
  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  std::ifstream file(folder / "intra.txt", std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  // A negative goods total keeps its sign inside the field.
  EXPECT_SAME_TEXT(
      "EUROX01234567890000007000000C24T010123456789000000000000000000100000000000-8000000000000000000000000000000000000000000000000000000\r\n"
      "EUROX01234567890000007100001PTPT501234567 0000000000008 84713000\r\n",
      content.str());
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
