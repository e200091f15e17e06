// What the two telematic submission drivers (the 2010 layout and the layout
// in force from January 2022) share: the file's name and the company's
// periodicity of each list.
#pragma once

#include <string>

#include "component/intra_context.h"

namespace zelmora::telematic {

// User code, month and day of sending, ".I" and the two-digit progressive:
// ABCD0315.I01.
std::string SubmissionFileName(const CLSIN_INPUTINTRA& input);

// The company's Intrastat periodicity of sales (list 0) or purchases (list 1).
Variant CompanyPeriodicity(const IntraContext& context, int list);

}  // namespace zelmora::telematic
