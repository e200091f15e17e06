#include "support/recordset_text.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace zelmora::testing {

std::string ValueText(const Variant& v) {
  switch (v.type()) {
    case VarType::Null: return "n";
    case VarType::Long: return "l" + std::to_string(v.AsLong());
    case VarType::Integer: return "i" + std::to_string(v.AsInteger());
    case VarType::Decimal: return "d" + v.AsDecimal().ToFixed(v.AsDecimal().scale());
    case VarType::Double: return "f" + v.ToString();
    case VarType::String: return "s'" + v.AsString() + "'";
    case VarType::Date: return "t" + v.AsDate().ToIso();
    case VarType::Boolean: return v.AsBoolean() ? "bTrue" : "bFalse";
    default: return "?";
  }
}

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
      out += (i ? " | " : "") + ValueText((*row)[i]);
    }
    out += "\n";
  }
  return out;
}

std::string SortedRows(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  if (lines.size() > 1) std::sort(lines.begin() + 1, lines.end());
  std::string out;
  for (const std::string& line : lines) out += line;
  return out;
}

std::string ColumnText(const Recordset& rs, size_t column) {
  std::string out;
  for (const Row* row : rs.VisibleRows()) out += (out.empty() ? "" : ",") + (*row)[column].Text();
  return out;
}

}  // namespace zelmora::testing
