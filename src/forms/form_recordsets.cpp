// The in-memory recordsets the forms are printed from. Every field may hold
// Null; decimal fields carry whole numbers (scale 0).
#include "forms/form_procedures.h"

namespace zelmora::forms {

namespace {

void Decimal(Recordset& rs, const char* name, uint8_t precision, int32_t definedSize = 0) {
  rs.AppendField(name, DataType::Decimal, definedSize, kFieldIsNullable);
  FieldInfo& field = rs.MutableField(rs.FieldCount() - 1);
  field.precision = precision;
  field.numericScale = 0;
}

void Text(Recordset& rs, const char* name, DataType type, int32_t size) {
  rs.AppendField(name, type, size, kFieldIsNullable);
}

RecordsetPtr NewInMemory() {
  auto rs = std::make_shared<Recordset>();
  rs->CursorType = kCursorDynamic;
  rs->LockType = kLockOptimistic;
  return rs;
}

}  // namespace

RecordsetPtr NewFormLines(bool laser) {
  RecordsetPtr rs = NewInMemory();
  Decimal(*rs, "DITTA", 5);
  Decimal(*rs, "INDTIPODOC", 2);
  Decimal(*rs, "MESERIF", 2);
  Decimal(*rs, "ANNORIF", 4);
  Text(*rs, "CODICE_CG08", DataType::Char, 4);
  Decimal(*rs, "TIPOCF", 1);
  Decimal(*rs, "CLIFOR", 6);
  Decimal(*rs, "CODANAG", 6);
  Text(*rs, "PARTIVA", DataType::Char, 12);
  Text(*rs, "RAGSOANAG", DataType::VarWChar, 40);
  Decimal(*rs, "PAESEPRO", 4);
  Decimal(*rs, "PAESEORI", 4);
  Decimal(*rs, "PAESEDES", 4);
  // Provenance, origin, destination and the party's country: code,
  // description and ISO code of each.
  for (const char* suffix : {"PRO", "ORI", "DES", "CF"}) {
    const std::string s(suffix);
    Decimal(*rs, ("CODICE" + s).c_str(), 4);
    Text(*rs, ("DESCR" + s).c_str(), DataType::VarChar, 40);
    Text(*rs, ("CODISO" + s).c_str(), DataType::VarChar, 2);
  }
  Decimal(*rs, "INDTIPOSTATO", 2);
  Decimal(*rs, "INDNATURA", 2);
  Text(*rs, "NOMENCLATURA", DataType::Char, 8);
  Decimal(*rs, "VALSTAT", 14);
  Decimal(*rs, "INDCONS", 14, 2);
  Decimal(*rs, "INDTRASP", 4);
  Text(*rs, "PROVDEST", DataType::Char, 2);
  Text(*rs, "PROVORIG", DataType::Char, 2);
  Decimal(*rs, "IMPORTO", 13);
  Decimal(*rs, "IMPORTOVAL", 13);
  Decimal(*rs, "MASSA", 14);
  Decimal(*rs, "UNSUPPL", 14);
  Decimal(*rs, "PROGRESSIVO", 4);
  Decimal(*rs, "RIGA", 2);
  Decimal(*rs, "FOGLIO", 1);
  if (laser) {
    Decimal(*rs, "IN02_INDOPER", 2);
    Text(*rs, "IN02_NUMDOCORIG", DataType::Char, 15);
    Text(*rs, "IN02_DATADOCORIG", DataType::Date, 10);
    Text(*rs, "IN02_CODICE_IN03", DataType::Char, 1);
    Text(*rs, "IN02_CODICE_IN04", DataType::Char, 1);
    Text(*rs, "CODISOPAG", DataType::VarChar, 2);
    Decimal(*rs, "IN02_SEZDOG", 6);
    Decimal(*rs, "IN02_PROTDICH", 6);
    Decimal(*rs, "IN02_PROGRSEZ3", 5);
  }
  rs->Open();
  return rs;
}

RecordsetPtr NewFormPages(bool laser) {
  RecordsetPtr rs = NewInMemory();
  Decimal(*rs, "RIGA", 2);
  for (const char* name : {"TOTALEAC", "TOTPRECAC", "TOTALEAC2", "TOTPRECAC2", "TOTRETT", "TOTRETTPREC"}) {
    Decimal(*rs, name, 13);
  }
  if (laser) {
    for (const char* name : {"TOTALEAC_SER", "TOTPRECAC_SER", "TOTRETT_SER", "TOTRETTPREC_SER"}) {
      Decimal(*rs, name, 13);
    }
  }
  rs->Open();
  return rs;
}

}  // namespace zelmora::forms
