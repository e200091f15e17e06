#include "component/section_figures.h"

#include <utility>

namespace zelmora {

void SectionFigure::SetCount(int32_t lines) {
  *this = SectionFigure();
  kind_ = Kind::kCount;
  count_ = lines;
}

void SectionFigure::AddAmount(const Variant& amount) {
  // The runtime's addition decides: Null makes the sum unknown, and stays so.
  const Variant sum = Add(AsVariant(), amount);
  *this = SectionFigure();
  if (sum.IsNull()) {
    kind_ = Kind::kUnknown;
  } else {
    kind_ = Kind::kAmount;
    amount_ = sum.ToDecimal();
  }
}

void SectionFigure::SetWritten(std::string digits) {
  *this = SectionFigure();
  kind_ = Kind::kWritten;
  digits_ = std::move(digits);
}

Variant SectionFigure::AsVariant() const {
  switch (kind_) {
    case Kind::kUnset: return Variant();
    case Kind::kZero: return Variant::Integer(0);
    case Kind::kCount: return Variant::Long(count_);
    case Kind::kAmount: return Variant::Dec(amount_);
    case Kind::kUnknown: return Variant::Null();
    case Kind::kWritten: return Variant::String(digits_);
  }
  return Variant();
}

}  // namespace zelmora
