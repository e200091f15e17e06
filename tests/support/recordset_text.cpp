#include "support/recordset_text.h"

namespace zelmora::testing {

std::string RecordsetText(const Recordset& rs) {
  std::string out;
  for (size_t i = 0; i < rs.FieldCount(); ++i) {
    const FieldInfo& f = rs.Field(i);
    out += (i ? " | " : "") + f.name + ":" + std::to_string(static_cast<int>(f.type));
    if (f.type == DataType::Decimal) {
      out += "(" + std::to_string(f.precision) + "," + std::to_string(f.numericScale) + ")";
    } else if (f.type == DataType::VarChar || f.type == DataType::Char || f.type == DataType::VarWChar) {
      out += "(" + std::to_string(f.definedSize) + ")";
    }
  }
  out += "\n";
  for (const Row* row : rs.VisibleRows()) {
    for (size_t i = 0; i < row->size(); ++i) {
      const Variant& v = (*row)[i];
      std::string text;
      switch (v.type()) {
        case VarType::Null: text = "n"; break;
        case VarType::Long: text = "l" + std::to_string(v.AsLong()); break;
        case VarType::Integer: text = "i" + std::to_string(v.AsInteger()); break;
        case VarType::Decimal: text = "d" + v.AsDecimal().ToFixed(v.AsDecimal().scale()); break;
        case VarType::Double: text = "f" + v.ToString(); break;
        case VarType::String: text = "s'" + v.AsString() + "'"; break;
        case VarType::Date: text = "t" + v.AsDate().ToIso(); break;
        case VarType::Boolean: text = v.AsBoolean() ? "bTrue" : "bFalse"; break;
        default: text = "?"; break;
      }
      out += (i ? " | " : "") + text;
    }
    out += "\n";
  }
  return out;
}

}  // namespace zelmora::testing
