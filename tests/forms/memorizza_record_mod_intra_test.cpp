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

using testing::Int;

// The form line that `line` gives under periodicity `tipoIntra`, on one
// line: "NAME=value" for every column that is not Null, parted by " | ".
std::string FormLine(const std::string& line, int16_t tipoIntra) {
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
    if (!value.IsEmptyOrNull()) text += (text.empty() ? "" : " | ") + rs.Field(i).name + "=" + value.ToString();
  }
  return text + "\n";
}

// A line of a German customer with the data kind and net mass given.
std::string Line(int dataKind, const char* mass) {
  return "IN01_DITTA_CG18=1 IN01_INDTIPODOC=1 CG16_CODICE=100 CG16_PARTIVA=DE111 "
         "CG16_RAGSOANAG='Società Commerciale Italo-Tedesca di Macchine Utensili' CG07_CODISOCF=DE "
         "IN02_NOMENCLATURA=84821090 IN02_INDTIPODATI=" + std::to_string(dataKind) + " IMPORTO=1234.49 "
         "IMPORTOVAL=1234.50 VALSTAT=1300.00 IMPMASSA=" + mass + " IMPUNSUPPL=0 IN02_PAESEDES_CG07=4 CG07_CODISODES=DE";
}

TEST(MemorizzaRecordModIntra, WritesTheColumnsTheLineAndThePeriodicityCarry) {
  std::string lines;
  // Monthly, fiscal and statistical data: a mass below one unit is one.
  lines += FormLine(Line(0, "0.2"), 1);
  // Fiscal only: no statistical column.
  lines += FormLine(Line(1, "5"), 1);
  // Statistical only: no party, an amount of 0; a zero mass is not written.
  lines += FormLine(Line(2, "0"), 1);
  // Quarterly: no statistical column; annual: no goods code either.
  lines += FormLine(Line(0, "7"), 2);
  lines += FormLine(Line(0, "7"), 3);
  // A kind of data the form does not know: neither party nor amount.
  lines += FormLine(Line(5, "0"), 2);
  // The lines of golden/form_lines.txt, one a case in this order.
  testing::ExpectGoldenFile("forms/golden/form_lines.txt", lines);
}

}  // namespace
}  // namespace zelmora
