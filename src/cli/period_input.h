// The business object's input as the period commands start it: the
// database (a connection string, as DatabaseConnection gives it), the
// company, the year and the month that ends the period, and the layouts in
// force from 2010.
#pragma once

#include <memory>
#include <string>

#include "component/clsin_inputintra.h"

namespace zelmora::cli {

std::shared_ptr<CLSIN_INPUTINTRA> PeriodInput(const std::string& connection, int32_t company, int year, int period);

}  // namespace zelmora::cli
