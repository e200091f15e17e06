// What the two telematic submission drivers (the 2010 layout and the layout
// in force from January 2022) share: the file's name and the company's
// periodicity of each list, and the start of each list of a submission.
#pragma once

#include <string>

#include "component/intra_context.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

// User code, month and day of sending, ".I" and the two-digit progressive:
// ABCD0315.I01.
std::string SubmissionFileName(const CLSIN_INPUTINTRA& input);

// The company's Intrastat periodicity of sales (list 0) or purchases (list 1).
Variant CompanyPeriodicity(const IntraContext& context, int list);

// Starts list `list` (0 sales, 1 purchases) of a submission: with `both`
// the input is set to that list and the company's periodicity for it; the
// summary gets the list and periodicity the input then holds.
SubmissionList StartList(IntraContext& context, bool both, int list);

}  // namespace zelmora::telematic
