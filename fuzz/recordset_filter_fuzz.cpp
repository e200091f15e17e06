// Fuzzes the recordset filter: the input is a criterion set on a small
// in-memory recordset with a field of each kind (text, decimal, whole
// number, floating point, boolean, date) and a row of Nulls. A criterion
// that does not parse or bind fails with an Error, which is fine; anything
// else escaping, a crash or a sanitizer report is a fault. After a filter
// is in place the target walks the visible rows, searches with Find and
// clones, so that evaluation runs too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/error.h"
#include "platform/recordset.h"

namespace {

using namespace zelmora;

Variant Dec(std::string_view text) { return Variant::Dec(*Decimal::Parse(text)); }
Variant Day(int y, int m, int d) { return Variant::FromDate(*Date::FromYMD(y, m, d)); }

RecordsetPtr Sample() {
  std::vector<FieldInfo> fields = {
      {"NAME", DataType::VarChar, 40, kFieldIsNullable, 0, 0},
      {"AMOUNT", DataType::Decimal, 0, kFieldIsNullable, 18, 2},
      {"KIND", DataType::Integer, 0, kFieldIsNullable, 0, 0},
      {"RATE", DataType::Double, 0, kFieldIsNullable, 0, 0},
      {"FLAG", DataType::Boolean, 0, kFieldIsNullable, 0, 0},
      {"DAY", DataType::Date, 0, kFieldIsNullable, 0, 0},
      {"CODE", DataType::Char, 8, kFieldIsNullable, 0, 0},
  };
  std::vector<Row> rows = {
      {Variant::String("alpha"), Dec("10.50"), Variant::Long(1), Variant::Double(0.25), Variant::Boolean(true),
       Day(2024, 3, 31), Variant::String("84713000")},
      {Variant::String("O'Brien"), Dec("-3.25"), Variant::Long(-2), Variant::Double(-1e300),
       Variant::Boolean(false), Day(1899, 12, 30), Variant::String("  ")},
      {Variant::String("\xC3\x80 la carte%_*"), Dec("99999999999999.99"), Variant::Long(2147483647),
       Variant::Double(1e-300), Variant::Boolean(true), Day(9999, 12, 31), Variant::String("")},
      {Variant::String("f"), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
       Variant::Null()},
  };
  return Recordset::FromRows(std::move(fields), std::move(rows));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view criteria(reinterpret_cast<const char*>(data), size);
  static const RecordsetPtr base = Sample();
  RecordsetPtr rs = base->Clone();
  try {
    rs->SetFilter(criteria);
  } catch (const Error&) {
    return 0;
  }
  size_t seen = 0;
  for (const Row* row : rs->VisibleRows()) seen += row->size();
  (void)seen;
  (void)rs->RecordCount();
  try {
    if (rs->RecordCount() > 0) rs->MoveFirst();
    while (!rs->EOF()) rs->MoveNext();
  } catch (const Error&) {
  }
  // The same text as one comparison for Find, from the first visible row.
  RecordsetPtr finder = base->Clone();
  try {
    finder->MoveFirst();
    finder->Find(criteria);
  } catch (const Error&) {
  }
  return 0;
}
