// The figures of the four sections of a declaration (goods, goods
// corrections, services, services corrections): how many lines each has and
// what they add up to. The 2010 submission frontispiece and the form
// preparations both set them; the laser cover page prints them.
//
// The two writers leave a figure in different forms, and the cover page
// prints it as it was left, so a figure says which form it holds: the form
// preparations start from zero, count lines and add amounts (a line without
// an amount makes its section's total unknown); the frontispiece keeps the
// digits it wrote into its count and total fields ("00012").
#pragma once

#include <cstdint>
#include <string>

#include "platform/decimal.h"
#include "platform/variant.h"

namespace zelmora {

class SectionFigure {
 public:
  enum class Kind {
    kUnset,    // no procedure has set it
    kZero,     // reset, nothing counted yet
    kCount,    // a number of lines
    kAmount,   // a sum of amounts
    kUnknown,  // a sum over a line without an amount
    kWritten,  // the digits of a frontispiece field
  };

  void Reset() {
    *this = SectionFigure();
    kind_ = Kind::kZero;
  }
  void SetCount(int32_t lines);
  // Adds a form line's amount (Null when it has none) to the section's sum.
  void AddAmount(const Variant& amount);
  void SetWritten(std::string digits);

  // Lines counted (0 when none were).
  int32_t Lines() const { return kind_ == Kind::kCount ? count_ : 0; }
  // The figure as a value of the host's runtime, which is how the cover
  // page takes it: Empty, 0, the count, the sum, Null or the digits.
  Variant AsVariant() const;

 private:
  Kind kind_ = Kind::kUnset;
  int32_t count_ = 0;
  Decimal amount_;
  std::string digits_;
};

struct SectionFigures {
  SectionFigure lines;
  SectionFigure total;
};

struct DeclarationFigures {
  SectionFigures goods, goodsCorrections, services, servicesCorrections;
  // The corrections' totals with their sign, as the 2010 frontispiece adds them.
  Decimal goodsCorrectionsSigned, servicesCorrectionsSigned;
};

}  // namespace zelmora
