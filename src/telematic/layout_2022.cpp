// The layout in force for reference periods from January 2022: the 2010
// records with the sales frontispiece at 135 (the count of section 5),
// monthly goods records carrying the nature's column B (and, for sales, the
// country of origin), no quarterly purchases list, and section 5 (call-off
// stock). The table is built from the 2010 one with those changes made, so
// that what the two layouts share is written once; it is what the 2022
// writer fills, what the format check reads and what the summaries look up.
#include <stdexcept>
#include <string>
#include <vector>

#include "telematic/layout_2022_facts.h"
#include "telematic/record_layout.h"

namespace zelmora::telematic {

namespace {

using namespace field_kinds;

void SetLiteral(RecordSpec& record, FieldSource fill, std::string_view literal) {
  for (FieldSpec& field : record.fields) {
    if (field.fill == fill) field.literal = literal;
  }
}

// A detail record of the table being changed (the layout is this builder's own).
RecordSpec& Find(LayoutSpec& layout, char type, char list, char periodicity) {
  const RecordSpec* record = FindRecord(layout, type, list, periodicity);
  if (record == nullptr) throw std::logic_error("the 2010 layout has no record " + std::string(1, type));
  return const_cast<RecordSpec&>(*record);
}

// The 2010 table with what the 2022 layout changed in it.
LayoutSpec Build() {
  LayoutSpec layout = Layout2010();
  layout.name = "2022";

  // Each list has its own frontispiece: the sales one counts section 5,
  // the purchases one is monthly only.
  RecordSpec sales = layout.frontispieces.front();
  RecordSpec purchases = sales;
  sales.list = 'C';
  sales.length = 135;
  sales.fields.push_back({131, 5, D, "call-off stock lines", FieldSource::kCount5});
  SetLiteral(sales, FieldSource::kList, "C");
  purchases.list = 'A';
  SetLiteral(purchases, FieldSource::kList, "A");
  SetLiteral(purchases, FieldSource::kPeriodicity, "M");
  layout.frontispieces = {sales, purchases};

  // No quarterly purchases list.
  std::erase_if(layout.details, [](const RecordSpec& r) { return r.list == 'A' && r.periodicity == 'T'; });

  // Monthly goods records end with the nature's column B (and, for sales,
  // the country of origin).
  RecordSpec& salesGoods = Find(layout, '1', 'C', 'M');
  salesGoods.length = 106;
  salesGoods.fields.push_back({104, 1, X, "nature of transaction B", FieldSource::kNatureB});
  salesGoods.fields.push_back({105, 2, X, "country of origin", FieldSource::kOriginCountry});
  RecordSpec& purchaseGoods = Find(layout, '1', 'A', 'M');
  purchaseGoods.length = 119;
  purchaseGoods.fields.push_back({119, 1, X, "nature of transaction B", FieldSource::kNatureB});

  // A services correction names a section-3 line above zero.
  if (kSection3LineAboveZero) {
    for (RecordSpec& record : layout.details) {
      for (FieldSpec& field : record.fields) {
        if (field.fill == FieldSource::kSection3Line) {
          field.low = 1;
          field.high = 99999;
        }
      }
    }
  }

  // Record 5, call-off stock (sales only), after the prefix every record
  // shares.
  std::vector<FieldSpec> callOff;
  for (const FieldSpec& field : salesGoods.fields) {
    if (field.start < 29) callOff.push_back(field);
  }
  for (const FieldSpec& field : CallOffStockFields()) callOff.push_back(field);
  layout.details.push_back({'5', 'C', 0, "5 call-off stock", kCallOffRecordLength, callOff});

  for (RecordSpec& record : layout.frontispieces) SetLiteral(record, FieldSource::kType, "0|1|2|3|4|5");
  for (RecordSpec& record : layout.details) SetLiteral(record, FieldSource::kType, "0|1|2|3|4|5");
  return layout;
}

SubmissionFormat BuildFormat() {
  // The header is that of the 2010 layout.
  SubmissionFormat f = Format2010();
  DeriveDeclarationFormat(Layout2022(), f);
  return f;
}

}  // namespace

const LayoutSpec& Layout2022() {
  static const LayoutSpec layout = Build();
  return layout;
}

const SubmissionFormat& Format2022() {
  static const SubmissionFormat format = BuildFormat();
  return format;
}

}  // namespace zelmora::telematic
