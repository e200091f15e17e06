// The declaration lines a submission is written from: the statement of the
// declaration builders run through the record source, without the lines
// whose amounts are all zero.
#pragma once

#include <string>

#include "component/intra_context.h"
#include "platform/recordset.h"

namespace zelmora::telematic {

// The filter that leaves out all-zero lines; monthly declarations also keep
// lines with only a statistical value.
std::string ZeroFilter(const Variant& tipoIntra);

// The declaration statement for the current CInput, run through the record
// source (merging service lines when asked) or, with `plain`, executed as it
// is; then the zero filter. `selected` receives the count before the filter.
RecordsetPtr FilteredDeclarationLines(IntraContext& context, bool plain, int32_t* selected = nullptr);

}  // namespace zelmora::telematic
