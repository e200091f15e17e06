#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "telematic/record_layout.h"

namespace zelmora {
namespace {

using telematic::FieldKind;
using telematic::FieldSpec;
using telematic::LayoutSpec;
using telematic::RecordSpec;

// What is wrong with a record's table: a gap or an overlap between two
// fields, a record longer or shorter than its fields, a literal of another
// width than its field's.
std::string TableFaults(const RecordSpec& record) {
  std::string faults;
  const std::string name = std::string(record.name) + " " + (record.list ? std::string(1, record.list) : "") +
                           (record.periodicity ? std::string(1, record.periodicity) : "");
  size_t next = 1;
  for (const FieldSpec& field : record.fields) {
    if (field.start != next) {
      faults += name + ": " + std::string(field.name) + " starts at " + std::to_string(field.start) +
                ", the previous field ends at " + std::to_string(next - 1) + "\n";
    }
    next = field.start + field.length;
    if (field.kind != FieldKind::kLiteral) continue;
    for (size_t at = 0;;) {
      const size_t bar = field.literal.find('|', at);
      const std::string_view value = field.literal.substr(at, bar == std::string_view::npos ? bar : bar - at);
      if (value.size() != field.length) {
        faults += name + ": " + std::string(field.name) + " allows '" + std::string(value) + "' in " +
                  std::to_string(field.length) + " characters\n";
      }
      if (bar == std::string_view::npos) break;
      at = bar + 1;
    }
  }
  if (next != record.length + 1) {
    faults += name + ": the fields end at " + std::to_string(next - 1) + ", the record at " +
              std::to_string(record.length) + "\n";
  }
  return faults;
}

// The header and every record of the three layouts are tiled by their fields, and the writers
// find a record for every line of every list and periodicity they write.
TEST(LayoutTables, FieldsTileEveryRecordAndEveryLineHasARecord) {
  const LayoutSpec* layouts[] = {&telematic::LayoutLegacy(), &telematic::Layout2010(), &telematic::Layout2022()};
  std::string faults = TableFaults(telematic::HeaderRecord());
  for (const LayoutSpec* layout : layouts) {
    for (const RecordSpec& record : layout->frontispieces) faults += TableFaults(record);
    for (const RecordSpec& record : layout->details) faults += TableFaults(record);
  }
  EXPECT_EQ(faults, "");

  std::string missing;
  auto expect = [&](const LayoutSpec& layout, std::string_view types, std::string_view lists,
                    std::string_view periodicities) {
    for (char type : types) {
      for (char list : lists) {
        for (char periodicity : periodicities) {
          if (!telematic::FindRecord(layout, type, list, periodicity)) {
            missing += std::string(layout.name) + " " + type + list + periodicity + "\n";
          }
        }
      }
    }
  };
  expect(telematic::LayoutLegacy(), "012", "CA", "MT");
  expect(telematic::LayoutLegacy(), "01", "CA", "A");
  expect(telematic::Layout2010(), "01234", "CA", "MT");
  expect(telematic::Layout2022(), "01234", "C", "MT");
  expect(telematic::Layout2022(), "01234", "A", "M");
  expect(telematic::Layout2022(), "5", "C", "MT");
  EXPECT_EQ(missing, "");
}

}  // namespace
}  // namespace zelmora
