#include "cli/table_output.h"

#include <algorithm>

#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

std::string CsvQuoted(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string FitText(const std::string& text, size_t width, bool right) {
  std::string cut = !right && Utf8Length(text) > width ? Utf8Left(text, width) : text;
  const std::string pad(width - std::min(width, Utf8Length(cut)), ' ');
  return right ? pad + cut : cut + pad;
}

std::string FieldText(const FieldInfo& field, const Variant& value) {
  if (value.IsEmptyOrNull()) return {};
  switch (value.type()) {
    case VarType::Date: return value.AsDate().ToIso();
    case VarType::Decimal: return value.AsDecimal().ToFixed(field.numericScale);
    case VarType::Boolean: return value.AsBoolean() ? "1" : "0";
    default: return value.ToString();
  }
}

void WriteCsv(const Recordset& rows, std::ostream& out) {
  for (size_t i = 0; i < rows.FieldCount(); ++i) out << (i ? "," : "") << CsvQuoted(rows.Field(i).name);
  out << "\r\n";
  for (const Row* row : rows.VisibleRows()) {
    for (size_t i = 0; i < rows.FieldCount(); ++i) {
      out << (i ? "," : "") << CsvQuoted(FieldText(rows.Field(i), (*row)[i]));
    }
    out << "\r\n";
  }
}

void WriteTable(const Recordset& rows, const std::vector<TableColumn>& columns, std::ostream& out) {
  std::vector<std::vector<std::string>> cells;
  std::vector<size_t> widths;
  for (const TableColumn& column : columns) widths.push_back(Utf8Length(column.heading));
  for (const Row* row : rows.VisibleRows()) {
    std::vector<std::string> line;
    for (size_t c = 0; c < columns.size(); ++c) {
      line.push_back(columns[c].text(*row));
      widths[c] = std::max(widths[c], Utf8Length(line.back()));
    }
    cells.push_back(std::move(line));
  }
  for (size_t c = 0; c < columns.size(); ++c) {
    if (columns[c].maxWidth && !columns[c].rightAligned) {
      widths[c] = std::min(widths[c], std::max(columns[c].maxWidth, Utf8Length(columns[c].heading)));
    }
  }
  auto writeLine = [&](const std::vector<std::string>& line) {
    std::string text;
    for (size_t c = 0; c < columns.size(); ++c) {
      text += (c ? "  " : "") + FitText(line[c], widths[c], columns[c].rightAligned);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << "\n";
  };
  std::vector<std::string> headings;
  std::vector<std::string> rules;
  for (size_t c = 0; c < columns.size(); ++c) {
    headings.push_back(columns[c].heading);
    rules.push_back(std::string(widths[c], '-'));
  }
  writeLine(headings);
  writeLine(rules);
  for (const auto& line : cells) writeLine(line);
}

}  // namespace zelmora::cli
