// Declaration lines built in memory with the columns of the declaration
// statement (monthly ones included or not), for the record builders.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "facade/clsin_intrabo.h"
#include "platform/decimal.h"
#include "platform/recordset.h"
#include "platform/variant.h"
#include "support/data_blocks.h"

namespace zelmora::testing {

inline Variant Dec(const char* text) { return Variant::Dec(*Decimal::Parse(text)); }
inline Variant Int(int16_t value) { return Variant::Integer(value); }
inline Variant Str(const char* text) { return Variant::String(text); }
inline Variant Day(int y, int m, int d) { return Variant::FromDate(*Date::FromYMD(y, m, d)); }

class DeclarationLines {
 public:
  // The columns as "NAME:kind", the kind t text, w wide text, i whole
  // number, s small whole number, d day, a amount, m amount of 3 decimals.
  explicit DeclarationLines(bool monthly) {
    std::string names =
        "IN01_DITTA_CG18:i IN01_INDTIPODOC:s IN02_MESERIF:s IN02_ANNORIF:s CG41_TIPOCF_CG44:s CG41_CLIFOR_CG44:i "
        "CG16_CODICE:i CG16_PARTIVA:t CG16_RAGSOANAG:w IMPORTO:a IMPORTOVAL:a CG07_INDTIPOSTATO:s CG07_CODICECF:s "
        "CG07_CODISOCF:t CG07_DESCRCF:t IN02_INDNATURA:s IN02_NOMENCLATURA:t IN02_INDTIPODATI:s ";
    if (monthly) {
      names +=
          "IN02_INDCONS:s IN02_INDTRASP:s IN02_PAESEPRO_CG07:s IN02_PAESEORI_CG07:s IN02_PAESEDES_CG07:s "
          "CG07_CODICEPRO:s CG07_DESCRPRO:t CG07_CODISOPRO:t CG07_CODICEORI:s CG07_DESCRORI:t CG07_CODISOORI:t "
          "CG07_CODICEDES:s CG07_DESCRDES:t CG07_CODISODES:t IN02_PROVDEST:t IN02_PROVORIG:t VALSTAT:a IMPMASSA:m "
          "IMPUNSUPPL:m ";
    }
    names +=
        "IN02_CODICE_IN03:t IN02_CODICE_IN04:t IN02_SEZORIG:t IN02_NUMDOCORIG:t IN02_DATADOCORIG:d "
        "CG07_CODISOPAG:t IN02_INDOPER:s IN02_SEZDOG:i IN02_PROTDICH:i IN02_PROGRSEZ3:i RETTIFICA:a RETTIFICAVAL:a ";
    std::istringstream columns(names);
    for (std::string column; columns >> column;) {
      const std::string name = column.substr(0, column.size() - 2);
      switch (column.back()) {
        case 's': Field(name, DataType::SmallInt, 2); break;
        case 'a': Field(name, DataType::Decimal, 19, 38, 2); break;
        case 'm': Field(name, DataType::Decimal, 19, 38, 3); break;
        case 'i': Field(name, DataType::Integer, 20); break;
        case 'w': Field(name, DataType::VarWChar, 20); break;
        case 'd': Field(name, DataType::DBTimeStamp, 20); break;
        default: Field(name, DataType::VarChar, 20);
      }
    }
  }

  // A line: the values given by column name, Null elsewhere.
  DeclarationLines& Add(const std::map<std::string, Variant>& values) {
    Row row(fields_.size(), Variant::Null());
    for (const auto& [name, value] : values) row[&FieldOf(name) - fields_.data()] = value;
    rows_.push_back(std::move(row));
    return *this;
  }

  // A line written "COLUMN=value COLUMN=value ...", each value read by its
  // column's type (a day as YYYY-MM-DD), a text with blanks in single quotes.
  DeclarationLines& Add(const std::string& line) {
    std::map<std::string, Variant> values;
    for (size_t at = 0; at < line.size();) {
      const size_t equals = line.find('=', at);
      const std::string name = line.substr(at, equals - at);
      const bool quoted = line[equals + 1] == '\'';
      const size_t from = equals + 1 + quoted;
      const size_t end = quoted ? line.find('\'', from) : std::min(line.find(' ', from), line.size());
      const std::string text = line.substr(from, end - from);
      at = end + quoted + 1;
      switch (FieldOf(name).type) {
        case DataType::SmallInt: values[name] = Int(static_cast<int16_t>(std::stoi(text))); break;
        case DataType::Integer: values[name] = Variant::Long(std::stoi(text)); break;
        case DataType::Decimal: values[name] = Dec(text.c_str()); break;
        case DataType::DBTimeStamp: values[name] = Variant::FromDate(*Date::ParseIso(text)); break;
        default: values[name] = Str(text.c_str());
      }
    }
    return Add(values);
  }

  RecordsetPtr Recordset() const { return Recordset::FromRows(fields_, rows_); }

 private:
  const FieldInfo& FieldOf(const std::string& name) const {
    for (const FieldInfo& field : fields_) {
      if (field.name == name) return field;
    }
    throw std::runtime_error("no column " + name);
  }
  void Field(const std::string& name, DataType type, int32_t size, uint8_t precision = 0, uint8_t scale = 0) {
    FieldInfo field;
    field.name = name;
    field.type = type;
    field.definedSize = size;
    field.attributes = kFieldIsNullable;
    field.precision = precision;
    field.numericScale = scale;
    fields_.push_back(field);
  }

  std::vector<FieldInfo> fields_;
  std::vector<Row> rows_;
};

// The lines of the block `name` of telematic/declaration_lines.txt.
inline RecordsetPtr LinesOf(const std::string& name, bool monthly) {
  for (const DataBlock& block : ReadBlocks("telematic/declaration_lines.txt")) {
    if (block.lines[0] != name) continue;
    DeclarationLines lines(monthly);
    for (size_t i = 1; i < block.lines.size(); ++i) lines.Add(block.lines[i]);
    return lines.Recordset();
  }
  throw std::runtime_error("no lines " + name);
}

// A business object with an input object holding the declarant's data.
inline std::unique_ptr<CLSIN_INTRABO> Declarant() {
  auto object = std::make_unique<CLSIN_INTRABO>();
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->PartitaIva = Str("01234567890");
  input->NumFloppy = Int(7);
  input->Anno = Int(2024);
  object->SetCInput(input);
  return object;
}

// The same declarant with the list, periodicity and (when given) period.
inline std::unique_ptr<CLSIN_INTRABO> Declarant(int16_t tipoStampa, int16_t tipoIntra, int16_t periodo = 0) {
  auto object = Declarant();
  object->CInput()->TipoStampa = Int(tipoStampa);
  object->CInput()->TipoIntra = Int(tipoIntra);
  if (periodo != 0) object->CInput()->PeriodoStampa = Int(periodo);
  return object;
}

}  // namespace zelmora::testing
