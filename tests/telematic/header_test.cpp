#include <gtest/gtest.h>

#include <climits>

#include "support/golden.h"
#include "telematic/declaration_lines.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {
namespace {

using namespace zelmora::testing;

TEST(HeaderRecord, GoesInFrontOfTheRecordsWithTheirCount) {
  auto object = Declarant();
  CLSIN_INPUTINTRA& input = *object->CInput();
  input.CodiceUtenteInvioTelematico = Str("abcd");
  input.CodiceSezioneDoganale = Int(28100);
  input.ProgressivoSedeUtente = Int(7);
  object->COutput()->NomeFileInvioTelematico = Str("ABCD0315.I01");
  object->COutput()->StringaTracciatoInvioTelematico = Str("RECORDS\r\n");

  // Two frontispieces and ten details so far: the header makes thirteen.
  int32_t conta = 12;
  telematic::PreparaStringaTracciatoRecordDiTesta(object->context(), conta);
  EXPECT_EQ(conta, 13);
  //                 1         2         3         4         5         6         7
  //        123456789012345678901234567890123456789012345678901234567890123456789012345
  EXPECT_SAME_TEXT("ABCD            ABCD0315.I01            028100    01234567890     007 00013\r\nRECORDS\r\n",
                   object->COutput()->StringaTracciatoInvioTelematico.Text());

  // The delegate presents when there is one; a code longer than 16 is cut;
  // a user code longer than 4 is cut too; everything is upper-cased.
  input.PartitaIvaDeleg = Str("it0987654321098765");
  input.CodiceUtenteInvioTelematico = Str("xyzwk");
  input.ProgressivoSedeUtente = Variant::Null();
  object->COutput()->StringaTracciatoInvioTelematico = Str("R\r\n");
  conta = 0;
  telematic::PreparaStringaTracciatoRecordDiTesta(object->context(), conta);
  EXPECT_SAME_TEXT("XYZW            ABCD0315.I01            028100    IT09876543210987000 00001\r\nR\r\n",
                   object->COutput()->StringaTracciatoInvioTelematico.Text());
  EXPECT_EQ(object->Stato(), Int(0));
}

TEST(HeaderRecord, NothingToHeadAndTheLargestCount) {
  auto object = Declarant();
  for (const Variant& empty : {Variant(), Variant::Null(), Str("")}) {
    object->COutput()->StringaTracciatoInvioTelematico = empty;
    int32_t conta = 4;
    telematic::PreparaStringaTracciatoRecordDiTesta(object->context(), conta);
    EXPECT_EQ(conta, 4);
    EXPECT_EQ(object->COutput()->StringaTracciatoInvioTelematico, empty);
  }
  // One more than the largest count overflows, reported under the name.
  object->COutput()->StringaTracciatoInvioTelematico = Str("R\r\n");
  int32_t conta = INT32_MAX;
  telematic::PreparaStringaTracciatoRecordDiTesta(object->context(), conta);
  EXPECT_EQ(object->Stato(), Int(6));
  EXPECT_EQ(object->Errore(), Str("Overflow in PreparaStringaTracciatoRecordDiTesta"));
  EXPECT_EQ(object->COutput()->StringaTracciatoInvioTelematico, Str("R\r\n"));
}

}  // namespace
}  // namespace zelmora
