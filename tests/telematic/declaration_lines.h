// Declaration lines built in memory with the columns of the declaration
// statement (monthly ones included or not), for the record builders.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
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
  explicit DeclarationLines(bool monthly) {
    Text("IN01_DITTA_CG18", DataType::Integer);
    Small("IN01_INDTIPODOC");
    Small("IN02_MESERIF");
    Small("IN02_ANNORIF");
    Small("CG41_TIPOCF_CG44");
    Text("CG41_CLIFOR_CG44", DataType::Integer);
    Text("CG16_CODICE", DataType::Integer);
    Text("CG16_PARTIVA");
    Text("CG16_RAGSOANAG", DataType::VarWChar);
    Amount("IMPORTO");
    Amount("IMPORTOVAL");
    Small("CG07_INDTIPOSTATO");
    Small("CG07_CODICECF");
    Text("CG07_CODISOCF");
    Text("CG07_DESCRCF");
    Small("IN02_INDNATURA");
    Text("IN02_NOMENCLATURA");
    Small("IN02_INDTIPODATI");
    if (monthly) {
      for (const char* name : {"IN02_INDCONS", "IN02_INDTRASP", "IN02_PAESEPRO_CG07", "IN02_PAESEORI_CG07",
                               "IN02_PAESEDES_CG07", "CG07_CODICEPRO"}) {
        Small(name);
      }
      Text("CG07_DESCRPRO");
      Text("CG07_CODISOPRO");
      Small("CG07_CODICEORI");
      Text("CG07_DESCRORI");
      Text("CG07_CODISOORI");
      Small("CG07_CODICEDES");
      Text("CG07_DESCRDES");
      Text("CG07_CODISODES");
      Text("IN02_PROVDEST");
      Text("IN02_PROVORIG");
      Amount("VALSTAT");
      Amount("IMPMASSA", 3);
      Amount("IMPUNSUPPL", 3);
    }
    Text("IN02_CODICE_IN03");
    Text("IN02_CODICE_IN04");
    Text("IN02_SEZORIG");
    Text("IN02_NUMDOCORIG");
    Text("IN02_DATADOCORIG", DataType::DBTimeStamp);
    Text("CG07_CODISOPAG");
    Small("IN02_INDOPER");
    Text("IN02_SEZDOG", DataType::Integer);
    Text("IN02_PROTDICH", DataType::Integer);
    Text("IN02_PROGRSEZ3", DataType::Integer);
    Amount("RETTIFICA");
    Amount("RETTIFICAVAL");
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
  void Field(const char* name, DataType type, int32_t size, uint8_t precision = 0, uint8_t scale = 0) {
    FieldInfo field;
    field.name = name;
    field.type = type;
    field.definedSize = size;
    field.attributes = kFieldIsNullable;
    field.precision = precision;
    field.numericScale = scale;
    fields_.push_back(field);
  }
  void Text(const char* name, DataType type = DataType::VarChar) { Field(name, type, 20); }
  void Small(const char* name) { Field(name, DataType::SmallInt, 2); }
  void Amount(const char* name, uint8_t scale = 2) { Field(name, DataType::Decimal, 19, 38, scale); }

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

}  // namespace zelmora::testing
