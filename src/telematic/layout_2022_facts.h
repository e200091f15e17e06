// The facts of the 2022 layout that rest on one source only and await the
// official technical annex: the letters of triangular operations, the
// call-off stock record, the padding of five-digit service codes and the
// rule on the section-3 line a services correction names. A correction of
// any of them is an edit here.
#pragma once

#include <cstddef>
#include <vector>

#include "telematic/record_layout.h"

namespace zelmora::telematic {

// The nature's column A for a host code: 1 to 9 their digit, the triangular
// codes 21 to 29 a letter; 0 when the code has no 2022 value (6 and 26 are
// withdrawn, anything else unknown).
inline char NatureColumnA2022(int code) {
  if (code >= 1 && code <= 9) return code == 6 ? '\0' : static_cast<char>('0' + code);
  switch (code) {
    case 21: return 'A';
    case 22: return 'B';
    case 23: return 'C';
    case 24: return 'D';
    case 25: return 'E';
    case 27: return 'F';
    case 28: return 'G';
    case 29: return 'H';
    default: return '\0';
  }
}
// The host codes the 2022 table withdrew.
inline bool NatureWithdrawn2022(int code) { return code == 6 || code == 26; }

// A service code of five digits is padded on the right with this character
// to the field's six.
constexpr char kServiceCodePad = '0';

// The progressive of the section-3 line a services correction names must be
// above zero.
constexpr bool kSection3LineAboveZero = true;

// Record 5, call-off stock: its length and the fields after the prefix.
constexpr size_t kCallOffRecordLength = 57;
inline std::vector<FieldSpec> CallOffStockFields() {
  return {{29, 2, FieldKind::kText, "consignee member state", FieldSource::kConsigneeState},
          {31, 12, FieldKind::kText, "consignee VAT", FieldSource::kConsigneeVat},
          {43, 1, FieldKind::kLiteral, "operation", FieldSource::kCallOffOperation, "1|2|3"},
          {44, 2, FieldKind::kText, "new consignee member state", FieldSource::kNewConsigneeState},
          {46, 12, FieldKind::kText, "new consignee VAT", FieldSource::kNewConsigneeVat}};
}

}  // namespace zelmora::telematic
