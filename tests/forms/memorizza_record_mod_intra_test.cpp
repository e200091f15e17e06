// One declaration line copied into a form line: which columns each kind of
// line and each periodicity writes, and how amounts become whole units.
#include <gtest/gtest.h>

#include <string>

#include "facade/clsin_intrabo.h"
#include "forms/form_procedures.h"
#include "support/golden.h"
#include "telematic/declaration_lines.h"

namespace zelmora {
namespace {

using testing::Dec;
using testing::Int;
using testing::Str;

// The form line that `line` gives under periodicity `tipoIntra`, as
// "NAME=value" for every column that is not Null.
std::string FormLine(const std::map<std::string, Variant>& line, int16_t tipoIntra) {
  CLSIN_INTRABO object;
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->TipoIntra = Int(tipoIntra);
  object.SetCInput(in);
  IntraContext& context = object.context();
  context.RstSorgenteModulo = testing::DeclarationLines(true).Add(line).Recordset();
  context.RstRigheModulo = forms::NewFormLines(false);
  context.RstRigheModulo->AddNew();
  forms::MemorizzaRecordModIntra(context);
  EXPECT_EQ(context.Stato, 0) << context.Errore.Text();
  std::string text;
  const Recordset& rs = *context.RstRigheModulo;
  for (size_t i = 0; i < rs.FieldCount(); ++i) {
    const Variant value = rs.Value(i);
    if (!value.IsEmptyOrNull()) text += rs.Field(i).name + "=" + value.ToString() + "\n";
  }
  return text;
}

std::map<std::string, Variant> Line(int16_t dataKind, const char* mass) {
  return {{"IN01_DITTA_CG18", Int(1)},
          {"IN01_INDTIPODOC", Int(1)},
          {"CG16_CODICE", Int(100)},
          {"CG16_PARTIVA", Str("DE111")},
          {"CG16_RAGSOANAG", Str("Società Commerciale Italo-Tedesca di Macchine Utensili")},
          {"CG07_CODISOCF", Str("DE")},
          {"IN02_NOMENCLATURA", Str("84821090")},
          {"IN02_INDTIPODATI", Int(dataKind)},
          {"IMPORTO", Dec("1234.49")},
          {"IMPORTOVAL", Dec("1234.50")},
          {"VALSTAT", Dec("1300.00")},
          {"IMPMASSA", Dec(mass)},
          {"IMPUNSUPPL", Dec("0")},
          {"IN02_PAESEDES_CG07", Int(4)},
          {"CG07_CODISODES", Str("DE")}};
}

TEST(MemorizzaRecordModIntra, WritesTheColumnsTheLineAndThePeriodicityCarry) {
  // Monthly, fiscal and statistical data: a mass below one unit is one.
  EXPECT_SAME_TEXT(
      "DITTA=1\nINDTIPODOC=1\nCODANAG=100\nPARTIVA=DE111\n"
      "RAGSOANAG=Società Commerciale Italo-Tedesca di Mac\nPAESEDES=4\nCODISODES=DE\nCODISOCF=DE\n"
      "NOMENCLATURA=84821090\nVALSTAT=1300\nIMPORTO=1234\nIMPORTOVAL=1235\nMASSA=1\n",
      FormLine(Line(0, "0.2"), 1));
  // Fiscal only: no statistical column.
  EXPECT_SAME_TEXT(
      "DITTA=1\nINDTIPODOC=1\nCODANAG=100\nPARTIVA=DE111\n"
      "RAGSOANAG=Società Commerciale Italo-Tedesca di Mac\nCODISOCF=DE\n"
      "NOMENCLATURA=84821090\nIMPORTO=1234\nIMPORTOVAL=1235\n",
      FormLine(Line(1, "5"), 1));
  // Statistical only: no party, an amount of 0; a zero mass is not written.
  EXPECT_SAME_TEXT(
      "DITTA=1\nINDTIPODOC=1\nCODANAG=100\n"
      "RAGSOANAG=Società Commerciale Italo-Tedesca di Mac\nPAESEDES=4\nCODISODES=DE\n"
      "NOMENCLATURA=84821090\nVALSTAT=1300\nIMPORTO=0\nIMPORTOVAL=1235\n",
      FormLine(Line(2, "0"), 1));
  // Quarterly: no statistical column; annual: no goods code either.
  EXPECT_SAME_TEXT(
      "DITTA=1\nINDTIPODOC=1\nCODANAG=100\nPARTIVA=DE111\n"
      "RAGSOANAG=Società Commerciale Italo-Tedesca di Mac\nCODISOCF=DE\n"
      "NOMENCLATURA=84821090\nIMPORTO=1234\nIMPORTOVAL=1235\n",
      FormLine(Line(0, "7"), 2));
  EXPECT_SAME_TEXT(
      "DITTA=1\nINDTIPODOC=1\nCODANAG=100\nPARTIVA=DE111\n"
      "RAGSOANAG=Società Commerciale Italo-Tedesca di Mac\nCODISOCF=DE\n"
      "IMPORTO=1234\nIMPORTOVAL=1235\n",
      FormLine(Line(0, "7"), 3));
  // A kind of data the form does not know: neither party nor amount.
  EXPECT_SAME_TEXT(
      "DITTA=1\nINDTIPODOC=1\nCODANAG=100\n"
      "RAGSOANAG=Società Commerciale Italo-Tedesca di Mac\nNOMENCLATURA=84821090\nIMPORTOVAL=1235\n",
      FormLine(Line(5, "0"), 2));
}

}  // namespace
}  // namespace zelmora
